// The two ways the game ships and how each fails: the single file played from
// file:// with the network cut off; the hosted site with a picture missing or
// corrupt; a browser without WebAssembly.
import { after, before, describe, test } from 'node:test';
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import { mkdtempSync, readFileSync, readdirSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import {
  fileUrl, launch, look, nativeRoute, open, replay, rewritePng, root, routesDir, serve, settle, singleFile, siteDir, webDir,
} from './harness.mjs';

const main = nativeRoute(join(routesDir, 'main.txt'));
const stem = (file) => file.replace(/\.[^.]*$/, '');

describe('the editions', () => {
  let browser;
  before(async () => { browser = await launch(); });
  after(async () => { await browser?.close(); });

  test('the single file plays its first pages from file:// with no network at all', { timeout: 120_000 }, async () => {
    const context = await browser.newContext({ offline: true, viewport: { width: 800, height: 600 } });
    const outside = [];
    context.on('request', (r) => { if (!/^(file|data|blob):/.test(r.url())) outside.push(r.url()); });
    await context.route('**/*', (route) => {
      const url = route.request().url();
      if (/^(file|data|blob):/.test(url)) return route.continue();
      outside.push(url);
      return route.abort();
    });
    const page = await context.newPage();
    const files = [];
    page.on('request', (r) => { if (r.url().startsWith('file:')) files.push(r.url()); });
    try {
      await open(page, fileUrl(singleFile));
      await replay(page, main, assert, 30, 'suirei.html');
      assert.deepStrictEqual(outside, [], 'requests that left the file');
      assert.deepStrictEqual([...new Set(files)], [fileUrl(singleFile)], 'the file reads nothing beside itself');
      // The page's text is set in a font the file carries, not one the
      // machine happens to have.
      const font = await page.evaluate(async () => {
        await document.fonts.ready;
        const family = getComputedStyle(document.getElementById('T1')).fontFamily.split(',')[0].trim().replace(/^["']|["']$/g, '');
        const faces = [...document.fonts].filter((f) => f.family.replace(/^["']|["']$/g, '') === family);
        return { family, faces: faces.map((f) => f.status) };
      });
      assert.ok(font.faces.includes('loaded'), `T1's font ${font.family} is embedded and loaded (${font.faces})`);
    } finally {
      await context.close();
    }
  });

  describe('the hosted site with a bad picture', () => {
    // The opening picture, and the first one a click loads.
    const opening = stem(main[0].picture);
    const first = main.findIndex((l) => l.picture !== main[0].picture);
    const later = stem(main[first].picture);
    const cases = [
      ['the opening picture missing', opening, null],
      ['a later picture missing', later, null],
      ['a later picture not a picture at all', later, Buffer.from('this is not a picture\n'.repeat(40))],
      ['the opening picture cut short', opening, 'half'],
      ['a later picture with one byte flipped in the middle', later, 'flip'],
      // Whole and valid, with 100 MB of a private chunk of its own.
      ['a later picture of 100 MB', later, 'huge'],
    ];
    for (const [name, file, body] of cases) {
      test(`${name} (${file}): the page says which file, and never shows a half-drawn window`, { timeout: 60_000 }, async () => {
        let replacement = body;
        if (typeof body === 'string') {
          // Whatever form the site serves the picture in: its first half, or
          // all of it with the middle byte flipped.
          const found = [];
          const walk = (d) => {
            for (const e of readdirSync(d, { withFileTypes: true })) {
              if (e.isDirectory()) walk(join(d, e.name));
              else if (stem(e.name) === file) found.push(join(d, e.name));
            }
          };
          walk(siteDir);
          assert.strictEqual(found.length, 1, `the site holds ${file} once: ${found}`);
          const whole = readFileSync(found[0]);
          replacement = Buffer.from(whole);
          if (body === 'half') replacement = replacement.subarray(0, whole.length >> 1);
          else if (body === 'flip') replacement[whole.length >> 1] ^= 0xff;
          else replacement = rewritePng(whole, (c) => [...c.slice(0, -1), { type: 'prVt', data: Buffer.alloc(100 << 20) }, c.at(-1)]);
        }
        const server = await serve(undefined, { [file]: replacement });
        const page = await browser.newPage({ viewport: { width: 800, height: 600 } });
        try {
          await page.goto(server.url, { timeout: 15_000 });
          await settle(page, 15_000);
          // A picture the page loads only when the story needs it fails on
          // that click at the latest.
          for (let k = 1; k <= first && (await look(page)).game === 'ready'; k++) {
            await page.evaluate((id) => document.getElementById(id).click(), main[k].click);
            await settle(page);
          }
          assert.strictEqual((await look(page)).game, 'error');
          await assertClearError(page, new RegExp(file), file);
        } finally {
          await page.close();
          await server.close();
        }
      });
    }
  });

  test('every character the page can show is in its embedded font: the engine\'s texts and the page\'s own words', () => {
    // The font inside the single file, read by fontTools.
    const html = readFileSync(singleFile, 'utf8');
    const table = JSON.parse(html.match(/<script type="application\/json" id="suirei-files">(.*?)<\/script>/s)[1]);
    const dir = mkdtempSync(join(tmpdir(), 'suirei-font-'));
    let cmap;
    try {
      const font = join(dir, 'font.woff2');
      writeFileSync(font, Buffer.from(table.font.data, 'base64'));
      const read = spawnSync('/usr/bin/python3', ['-c',
        'import sys; from fontTools.ttLib import TTFont; print(" ".join(str(c) for c in TTFont(sys.argv[1]).getBestCmap()))', font],
      { encoding: 'utf8', timeout: 60_000 });
      assert.strictEqual(read.status, 0, read.stderr);
      cmap = new Set(read.stdout.trim().split(' ').map((c) => String.fromCodePoint(Number(c))));
    } finally {
      rmSync(dir, { recursive: true, force: true });
    }
    // Every text the engine can put on the window, and the words the page
    // writes itself (its messages, the offer to begin again): the text of its
    // HTML and its scripts, comments aside.
    const strings = spawnSync(process.execPath, [join(webDir, 'obj', 'suirei-strings.js')], { encoding: 'utf8', timeout: 60_000 });
    assert.strictEqual(strings.status, 0, strings.stderr);
    const pageDir = join(root, 'web', 'page');
    const own = readdirSync(pageDir).map((f) => {
      const text = readFileSync(join(pageDir, f), 'utf8');
      if (f.endsWith('.html')) return text.replace(/<!--.*?-->/gs, '').replace(/<[^>]*>/g, '');
      if (f.endsWith('.js')) return text.replace(/\/\*.*?\*\//gs, '').replace(/^\s*\/\/.*$/gm, '').replace(/\s\/\/\s.*$/gm, '');
      return '';
    });
    const shown = new Set([...strings.stdout, ...own.join('')].filter((c) => !/\s/.test(c)));
    const missing = [...shown].filter((c) => !cmap.has(c));
    assert.deepStrictEqual(missing, [], 'characters the font lacks');
  });

  test('a browser without WebAssembly gets a clear message', { timeout: 60_000 }, async () => {
    const server = await serve();
    const page = await browser.newPage({ viewport: { width: 800, height: 600 } });
    await page.addInitScript(() => { delete globalThis.WebAssembly; });
    try {
      await page.goto(server.url, { timeout: 15_000 });
      await settle(page, 15_000);
      assert.strictEqual((await look(page)).game, 'error');
      await assertClearError(page, /WebAssembly/i, null);
    } finally {
      await page.close();
      await server.close();
    }
  });
});

// The message is on screen and names the problem; the window is either
// hidden or whole, with the picture it shows really drawn.
async function assertClearError(page, names, file) {
  const message = page.locator('#message');
  assert.ok(await message.isVisible(), '#message is shown');
  const text = (await message.innerText()).trim();
  assert.match(text, names, `the message names the problem: ${JSON.stringify(text)}`);
  const box = await message.boundingBox();
  const view = page.viewportSize();
  assert.ok(box.x >= 0 && box.y >= 0 && box.x < view.width && box.y < view.height, 'the message is inside the view');
  if (await page.locator('#Form6').isVisible()) {
    const p1 = await page.evaluate(() => {
      const p = document.getElementById('P1');
      const img = p.tagName === 'IMG' ? p : p.querySelector('img, canvas');
      return {
        file: p.getAttribute('data-file'),
        drawn: !!img && (img.tagName === 'CANVAS' ? img.width > 0 : img.complete && img.naturalWidth > 0),
      };
    });
    assert.ok(p1.file && p1.drawn, `the window is shown, so its picture must be whole: ${JSON.stringify(p1)}`);
    if (file) assert.notStrictEqual(stem(p1.file), file, 'the window does not stand over the broken picture');
  }
}
