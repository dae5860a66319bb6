// The page's font, Suirei Gothic: its bytes in the single file, its file on
// the site. The window waits for it three seconds at most; without it the
// text shows in a Japanese font of the computer's, from the window's list.
import { Source } from './files.js';

const WAIT_MS = 3000;

export function loadFont(entry) {
  if (!entry || !globalThis.FontFace || !document.fonts) return Promise.resolve();
  const source = new Source('font', entry.url ?? entry.family, entry);
  const loaded = source.bytes().then((bytes) => {
    const face = new FontFace(entry.family, bytes);
    document.fonts.add(face);
    return face.load();
  });
  const late = new Promise((done) => { setTimeout(done, WAIT_MS); });
  return Promise.race([loaded, late]).catch(() => {});
}
