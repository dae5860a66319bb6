// The game's files: the engine, the font and the scene pictures. The build
// lists them in #suirei-files, each with its place on the site (url) or, in
// the single file, its bytes (data, base64), with the largest file the game
// reads (maxBytes, from the engine: the desktop windows refuse pictures above
// it, and no file of the page comes near it). A file on the site that stops
// arriving, or that is larger, fails with an error naming it; nothing waits
// forever.
import { FileMissing, FileStalled, FileTooLarge } from './errors.js';

// The longest wait for the next piece of a file.
export const STALL_SECONDS = 15;

let table;
export function fileTable() {
  table ??= JSON.parse(document.getElementById('suirei-files').textContent);
  return table;
}

// One of the game's files, with its place in the table.
export class Source {
  constructor(kind, name, entry) {
    this.kind = kind;  // 'picture', 'engine' or 'font'
    this.name = name;
    this.url = entry.url ?? null;  // null inside the single file
    this.data = entry.data ?? null;
  }

  bytes() {
    return this.data !== null ? Promise.resolve(base64Bytes(this.data)) : download(this);
  }
}

function base64Bytes(text) {
  if (Uint8Array.fromBase64) return Uint8Array.fromBase64(text);
  const chars = atob(text);
  const bytes = new Uint8Array(chars.length);
  for (let i = 0; i < chars.length; i++) bytes[i] = chars.charCodeAt(i);
  return bytes;
}

async function download(file) {
  const abort = new AbortController();
  let stalled = false;
  let timer;
  const wait = () => {
    clearTimeout(timer);
    timer = setTimeout(() => { stalled = true; abort.abort(); }, STALL_SECONDS * 1000);
  };
  wait();
  try {
    const response = await fetch(file.url, { signal: abort.signal });
    if (!response.ok) throw new FileMissing(file, `${response.status} ${response.statusText}`.trim());
    const limit = fileTable().maxBytes;
    if (Number(response.headers.get('content-length')) > limit) throw new FileTooLarge(file, limit);
    const reader = response.body.getReader();
    const parts = [];
    let size = 0;
    for (;;) {
      wait();
      const { done, value } = await reader.read();
      if (done) break;
      size += value.length;
      if (size > limit) throw new FileTooLarge(file, limit);
      parts.push(value);
    }
    return new Uint8Array(await new Blob(parts).arrayBuffer());
  } catch (e) {
    if (stalled) throw new FileStalled(file, STALL_SECONDS);
    if (e instanceof FileMissing || e instanceof FileTooLarge) throw e;
    throw new FileMissing(file);
  } finally {
    clearTimeout(timer);
    abort.abort();  // a refused file is not read on to its end
  }
}
