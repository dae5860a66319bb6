// The two ways the game ships and how each fails: the single file played from
// file:// with the network cut off; the opening page inside both before any
// script runs; the hosted site offline after one visit and after a new build;
// the picture sharp at four times its size; the hosted site with a picture
// missing or corrupt; a browser without WebAssembly.
import { after, before, describe, test } from 'node:test';
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import { cpSync, mkdtempSync, readFileSync, readdirSync, rmSync, statSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import {
  expected, fileUrl, launch, look, nativeBin, nativeRoute, open, replay, root, seen, routesDir, serve, settle, singleFile, siteDir, webDir,
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

  test('both editions carry the opening page as the engine shows it at start-up, drawn before any script runs', { timeout: 120_000 }, async () => {
    // The site with the opening picture's own file gone: the page has it.
    const server = await serve(undefined, { [stem(main[0].picture)]: null });
    const description = JSON.parse(readFileSync(join(webDir, 'obj', 'engine.json'), 'utf8')).window.pictures
      .find((p) => p.file === main[0].picture).description;
    try {
      for (const url of [server.url, fileUrl(singleFile)]) {
        const markup = {};
        for (const javaScriptEnabled of [false, true]) {
          const context = await browser.newContext({ javaScriptEnabled, viewport: { width: 800, height: 600 } });
          const page = await context.newPage();
          try {
            await page.goto(url, { timeout: 15_000 });
            if (javaScriptEnabled) await settle(page, 15_000);
            const now = await look(page);
            assert.deepStrictEqual(seen(now), expected(main[0]), `${url}, scripts ${javaScriptEnabled ? 'on' : 'off'}`);
            assert.strictEqual(now.game, javaScriptEnabled ? 'ready' : 'loading');
            markup[javaScriptEnabled] = await page.evaluate(() => ({
              form: document.getElementById('Form6').outerHTML,
              picture: document.getElementById('P1').getAttribute('aria-label'),
              focused: document.activeElement.id,
              drawn: document.querySelector('#P1 > img').complete && document.querySelector('#P1 > img').naturalWidth > 0,
              // The glyphs of the opening page come with it.
              glyphs: document.fonts.check(`12px "${getComputedStyle(document.body).fontFamily.split(',')[0].replace(/"/g, '')}"`,
                document.getElementById('T1').value),
            }));
          } finally {
            await context.close();
          }
        }
        assert.deepStrictEqual(markup.false, { ...markup.false, picture: description, focused: main[1].click, drawn: true, glyphs: true }, url);
        assert.deepStrictEqual(markup.true, markup.false, `${url}: the engine's opening page changes nothing in the page's`);
      }
    } finally {
      await server.close();
    }
    assert.ok(statSync(singleFile).size < 1_000_000, 'the single file stays under 1 MB');
  });

  test('the site plays offline after one visit, and a new build takes over on the next load, its old files gone', { timeout: 120_000 }, async () => {
    const dir = mkdtempSync(join(tmpdir(), 'suirei-site-'));
    cpSync(siteDir, dir, { recursive: true });
    let server = await serve(dir);
    const port = Number(new URL(server.url).port);
    const context = await browser.newContext({ viewport: { width: 800, height: 600 } });
    // Each visit opens the game afresh, as a player who comes back does.
    const visit = async () => {
      for (const p of context.pages()) await p.close();
      const page = await context.newPage();
      await open(page, server.url);
      return page;
    };
    try {
      let page = await visit();
      // The worker has taken over, with every file of the site but itself
      // (as the worker sees its cache).
      const kept = readdirSync(dir, { recursive: true }).filter((f) => statSync(join(dir, f)).isFile()).length - 1;
      const worker = context.serviceWorkers()[0] ?? await context.waitForEvent('serviceworker', { timeout: 15_000 });
      const until = async (what, done) => {
        for (const t0 = Date.now(); !(await done());) {
          assert.ok(Date.now() - t0 < 15_000, what);
          await new Promise((ok) => setTimeout(ok, 100));
        }
      };
      await until('the worker keeps the site', () => worker.evaluate(async (n) => self.registration.active?.state === 'activated' &&
        (await (await caches.open(`suirei-${VERSION}`)).keys()).length === n, kept));
      await server.close();
      page = await visit();
      await replay(page, main, assert, 12, 'offline');

      // A new build: another page and another worker.
      writeFileSync(join(dir, 'index.html'), readFileSync(join(dir, 'index.html'), 'utf8').replace('<head>', '<head>\n<meta name="build" content="new">'));
      writeFileSync(join(dir, 'service-worker.js'), readFileSync(join(dir, 'service-worker.js'), 'utf8').replace(/^const VERSION = .*$/m, 'const VERSION = "new";'));
      server = await serve(dir, {}, port);
      page = await visit();
      assert.strictEqual(await page.locator('meta[name=build]').count(), 0, 'the visit after the new build is served still plays the old one');
      await until('the new worker takes over, the old cache gone', () => page.evaluate(async () => {
        const r = await navigator.serviceWorker.getRegistration();
        return r.active?.state === 'activated' && !r.installing && !r.waiting && (await caches.keys()).join() === 'suirei-new';
      }));
      page = await visit();
      assert.strictEqual(await page.locator('meta[name=build]').count(), 1, 'the next visit plays the new build');
      assert.deepStrictEqual(seen(await look(page)), expected(main[0]));
    } finally {
      await context.close();
      await server.close();
      rmSync(dir, { recursive: true, force: true });
    }
  });

  test('the picture is drawn sharp at four times its size: as its scene drawn at that size, not its bitmap enlarged', { timeout: 60_000 }, async () => {
    const server = await serve();
    const context = await browser.newContext({ viewport: { width: 477, height: 284 }, deviceScaleFactor: 4 });
    const page = await context.newPage();
    const dir = mkdtempSync(join(tmpdir(), 'suirei-sharp-'));
    const name = stem(main[0].picture);
    try {
      await open(page, `${server.url}?scale=1`);
      const inside = await page.evaluate(() => {
        const img = document.querySelector('#P1 > img').getBoundingClientRect();
        return { x: img.x, y: img.y, width: img.width, height: img.height };
      });
      const shot = join(dir, 'page.png');
      await page.screenshot({ path: shot, clip: inside });
      const [w, h] = [inside.width * 4, inside.height * 4];
      const run = (cmd, args) => {
        const r = spawnSync(cmd, args, { encoding: 'utf8', timeout: 60_000 });
        return r;
      };
      const parts = readdirSync(join(root, 'assets', 'parts')).flatMap((f) => ['--parts', join(root, 'assets', 'parts', f)]);
      const drawn = join(dir, 'drawn.png');
      assert.strictEqual(run(join(nativeBin, 'suirei-picgen'), [...parts, '--scale', '4', join(root, 'assets', `${name}.svg`), drawn]).status, 0);
      const enlarged = join(dir, 'enlarged.png');
      run('convert', [join(nativeBin, `${name}.bmp`), '-filter', 'Triangle', '-resize', `${w}x${h}!`, enlarged]);
      const rmse = (a) => {
        const r = run('compare', ['-metric', 'RMSE', a, '-resize', `${w}x${h}!`, drawn, 'null:']);
        return Number(/\(([\d.e-]+)\)/.exec(r.stderr)[1]);
      };
      const [sharp, soft] = [rmse(shot), rmse(enlarged)];
      assert.ok(sharp < 0.04 && sharp < soft / 2, `the page's picture differs from the scene drawn at 4× by ${sharp}, the enlarged bitmap by ${soft}`);
    } finally {
      await context.close();
      await server.close();
      rmSync(dir, { recursive: true, force: true });
    }
  });

  describe('the hosted site with a bad picture', () => {
    // The first picture a click loads (the opening one comes inside the
    // page).
    const first = main.findIndex((l) => l.picture !== main[0].picture);
    const later = stem(main[first].picture);
    const cases = [
      ['a later picture missing', later, null],
      ['a later picture not a picture at all', later, Buffer.from('this is not a picture\n'.repeat(40))],
      ['a later picture cut short', later, 'half'],
      ['a later picture with one byte flipped in the middle', later, 'flip'],
      // Whole and valid, with 100 MB more of it.
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
          else replacement = Buffer.concat([whole, Buffer.from('<!--'), Buffer.alloc(100 << 20, 0x20), Buffer.from('-->')]);
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
