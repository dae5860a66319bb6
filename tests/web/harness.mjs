// What the browser tests share: where the builds are, the native play driver,
// a small static server on the loopback, Debian's chromium through
// playwright-core, and a look at the page the way a player sees it.
import { spawnSync } from 'node:child_process';
import { createServer } from 'node:http';
import { existsSync, readFileSync, readdirSync, statSync } from 'node:fs';
import { extname, join, normalize, resolve, sep } from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';
import { chromium } from 'playwright-core';

export const root = resolve(fileURLToPath(new URL('../..', import.meta.url)));
export const webDir = resolve(process.env.SUIREI_WEB_DIR ?? join(root, 'build-web'));
export const siteDir = join(webDir, 'site');
export const singleFile = join(webDir, 'suirei.html');
export const nativeBin = resolve(process.env.SUIREI_NATIVE_BIN ?? join(root, 'build', 'bin'));
export const nativePlay = join(nativeBin, 'suirei-play');
export const routesDir = join(root, 'tests', 'routes');

// Every wait in these tests is bounded; a hung page fails its test instead of
// hanging the suite.
export const STEP_MS = 5_000;

export const CHROMIUM = process.env.SUIREI_CHROMIUM ?? '/usr/bin/chromium';
export const CHROMIUM_ARGS = [
  '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
  '--disable-background-networking', '--disable-component-update', '--disable-sync',
];

export function launch(extraArgs = []) {
  return chromium.launch({
    executablePath: CHROMIUM,
    args: [...CHROMIUM_ARGS, ...extraArgs],
    timeout: 30_000,
  });
}

export const routeFiles = () =>
  readdirSync(routesDir).filter((f) => f.endsWith('.txt') && f !== 'CMakeLists.txt').sort().map((f) => join(routesDir, f));

// The native driver's answer for a list of clicks: the start-up page first,
// then one object per click line.
export function nativeLines(input) {
  const r = spawnSync(nativePlay, [], { input, encoding: 'utf8', timeout: 30_000 });
  if (r.status !== 0) throw new Error(`${nativePlay} failed: ${r.stderr || r.error}`);
  return r.stdout.trimEnd().split('\n').map((l) => JSON.parse(l));
}

export const nativeRoute = (file) => nativeLines(readFileSync(file, 'utf8'));

// What a player sees in the page: T1's text, the buttons on screen in window
// order, the picture P1 shows, the story state and the page's own phase.
// A button counts as shown only if it is laid out and not made invisible, so a
// style that overrides the hidden attribute does not pass for hidden.
export function look(page) {
  return page.evaluate(() => {
    const shown = (el) => {
      if (!el) return false;
      const s = getComputedStyle(el);
      return s.visibility !== 'hidden' && s.display !== 'none' && el.getClientRects().length > 0;
    };
    const visible = [];
    for (let i = 1; i <= 12; i++) if (shown(document.getElementById(`Command${i}`))) visible.push(`Command${i}`);
    const form = document.getElementById('Form6');
    const p1 = document.getElementById('P1');
    const t1 = document.getElementById('T1');
    return {
      game: document.documentElement.dataset.game,
      state: form && form.dataset.state !== undefined ? Number(form.dataset.state) : null,
      visible,
      text: t1 ? t1.value : null,
      picture: p1 ? p1.getAttribute('data-file') : null,
      // The page's lines must fit T1 as they stand: none cut off at the
      // right edge, none below the last row.
      overflow: t1 ? { width: t1.scrollWidth - t1.clientWidth, height: t1.scrollHeight - t1.clientHeight } : null,
    };
  });
}

// The driver's line in the page's terms: a textarea's value has LF where the
// engine writes CR LF.
export const expected = (line) => ({
  state: line.state,
  visible: line.visible,
  text: line.text.replace(/\r\n/g, '\n'),
  picture: line.picture,
});

export const seen = (l) => ({ state: l.state, visible: l.visible, text: l.text, picture: l.picture });

// Waits until the page takes clicks again (or has ended, or failed).
export async function settle(page, timeout = STEP_MS) {
  await page.waitForFunction(
    () => ['ready', 'ended', 'error'].includes(document.documentElement.dataset.game),
    null, { timeout, polling: 'raf' });
}

// Opens the game and waits for its opening page.
export async function open(page, url) {
  await page.goto(url, { timeout: 15_000 });
  await settle(page, 15_000);
}

// A static server for build-web/site (or another folder) on 127.0.0.1 and a
// free port. `replace` maps a file's base name without extension (say
// "kuron") to null, to answer 404 for it, to HOLD, never to answer it, or to
// a Buffer served in its place. Returns { url, close, requests }.
const TYPES = {
  '.html': 'text/html; charset=utf-8', '.js': 'text/javascript', '.mjs': 'text/javascript',
  '.wasm': 'application/wasm', '.css': 'text/css', '.json': 'application/json',
  '.png': 'image/png', '.bmp': 'image/bmp', '.woff2': 'font/woff2', '.woff': 'font/woff',
  '.ttf': 'font/ttf', '.otf': 'font/otf', '.svg': 'image/svg+xml', '.txt': 'text/plain; charset=utf-8',
  '.ico': 'image/x-icon',
};

export const HOLD = Symbol('hold');

export function serve(dir = siteDir, replace = {}) {
  const base = resolve(dir);
  const requests = [];
  const server = createServer((req, res) => {
    const path = decodeURIComponent(new URL(req.url, 'http://x').pathname);
    requests.push(path);
    let file = normalize(join(base, path));
    if (file !== base && !file.startsWith(base + sep)) { res.writeHead(403).end(); return; }
    if (existsSync(file) && statSync(file).isDirectory()) file = join(file, 'index.html');
    const name = file.slice(file.lastIndexOf(sep) + 1);
    const stem = name.replace(/\.[^.]*$/, '');
    const headers = { 'content-type': TYPES[extname(file)] ?? 'application/octet-stream', 'cache-control': 'no-store' };
    if (Object.hasOwn(replace, stem)) {
      if (replace[stem] === HOLD) return;  // the connection stays open, unanswered
      if (replace[stem] === null) { res.writeHead(404, { 'content-type': 'text/plain' }).end('not found'); return; }
      res.writeHead(200, headers).end(replace[stem]);
      return;
    }
    if (!existsSync(file)) { res.writeHead(404, { 'content-type': 'text/plain' }).end('not found'); return; }
    res.writeHead(200, headers).end(readFileSync(file));
  });
  return new Promise((ok, fail) => {
    server.once('error', fail);
    server.listen(0, '127.0.0.1', () => {
      const { port } = server.address();
      ok({
        url: `http://127.0.0.1:${port}/`,
        requests,
        close: () => new Promise((done) => { server.closeAllConnections(); server.close(() => done()); }),
      });
    });
  });
}

export const fileUrl = (path) => pathToFileURL(path).href;

// A PNG file rewritten: `edit` takes its chunks ({ type, data }, in order)
// and returns the chunks to write, each of which gets its right checksum.
const CRC = Array.from({ length: 256 }, (_, n) => {
  let c = n;
  for (let k = 0; k < 8; k++) c = c & 1 ? 0xedb88320 ^ (c >>> 1) : c >>> 1;
  return c >>> 0;
});
export function rewritePng(png, edit) {
  const chunks = [];
  for (let at = 8; at < png.length;) {
    const length = png.readUInt32BE(at);
    chunks.push({ type: png.toString('latin1', at + 4, at + 8), data: png.subarray(at + 8, at + 8 + length) });
    at += 12 + length;
  }
  const out = [png.subarray(0, 8)];
  for (const { type, data } of edit(chunks)) {
    const head = Buffer.alloc(8);
    head.writeUInt32BE(data.length);
    head.write(type, 4, 'latin1');
    let c = 0xffffffff;
    for (const b of head.subarray(4)) c = CRC[(c ^ b) & 0xff] ^ (c >>> 8);
    for (const b of data) c = CRC[(c ^ b) & 0xff] ^ (c >>> 8);
    const tail = Buffer.alloc(4);
    tail.writeUInt32BE((c ^ 0xffffffff) >>> 0);
    out.push(head, data, tail);
  }
  return Buffer.concat(out);
}

// Clicks one button the way a player does (a real mouse click on it, which
// fails if the button is covered or not on screen) and waits for the page to
// take clicks again.
export async function click(page, id) {
  await page.click(`#${id}`, { timeout: STEP_MS });
  await settle(page);
}

// Plays the driver's lines in the page and checks, after start-up and after
// every click, that the page shows what the driver printed. Stops after
// `count` clicks if given. Returns the number of clicks made.
export async function replay(page, lines, assert, count = Infinity, label = '') {
  const first = await look(page);
  assert.deepStrictEqual(seen(first), expected(lines[0]), `${label} start-up page`);
  assert.deepStrictEqual(first.overflow, { width: 0, height: 0 }, `${label} start-up: T1's text overflows its box`);
  let n = 0;
  for (const line of lines.slice(1)) {
    if (n >= count) break;
    assert.ok(line.click, `${label} the route has a click the driver refused: ${JSON.stringify(line)}`);
    await click(page, line.click);
    n++;
    const now = await look(page);
    assert.deepStrictEqual(seen(now), expected(line), `${label} click ${n} (${line.click}) from state ${lines[n - 1].state}`);
    assert.strictEqual(now.game, line.ended ? 'ended' : 'ready', `${label} click ${n}: the page's phase`);
    assert.deepStrictEqual(now.overflow, { width: 0, height: 0 }, `${label} click ${n}: T1's text overflows its box`);
  }
  return n;
}
