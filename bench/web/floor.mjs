// The floor the opening page is measured against: the same opening page as
// static HTML, with the same inline picture and font and the same style, and
// no script at all: the least a browser needs to paint it. It is cut from the
// built page itself, so that it stays the same page: every script, the files
// the page fetches ahead (preload, manifest, icons), the note that the game is
// loading and the words for a browser without JavaScript are taken out.
import { mkdirSync, readFileSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';

export function buildFloor({ page, out }) {
  const built = readFileSync(page, 'utf8');
  const floor = built
    .replace(/<script\b[^>]*>[\s\S]*?<\/script>\n?/g, '')
    .replace(/<link\b[^>]*>\n?/g, '')
    .replace(/<noscript>[\s\S]*?<\/noscript>\n?/g, '')
    .replace(/<!--[\s\S]*?-->\n?/g, '')
    .replace('data-game="loading"', 'data-game="ready"');
  for (const need of ['id="Form6"', 'id="P1"', 'id="T1"', '@font-face', 'src="data:image/svg+xml']) {
    if (!floor.includes(need)) throw new Error(`${page} has no ${need}: the floor would not be the opening page`);
  }
  if (/<script/i.test(floor)) throw new Error(`the floor cut from ${page} still holds a script`);
  mkdirSync(join(out, 'site'), { recursive: true });
  writeFileSync(join(out, 'floor.html'), floor);
  writeFileSync(join(out, 'site', 'index.html'), floor);
  return { single: join(out, 'floor.html'), site: join(out, 'site'), bytes: Buffer.byteLength(floor) };
}
