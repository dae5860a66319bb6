// Files that arrive wrong or not at all, and a server that goes away: a
// picture that is well-formed but no drawing the window can show, a file the
// server never answers, a single file cut short, and a new
// game after the server has gone. The page names the file at fault and never
// hangs; a new game needs no network.
import { after, before, describe, test } from 'node:test';
import assert from 'node:assert/strict';
import { mkdtempSync, readFileSync, readdirSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import {
  HOLD, STEP_MS, expected, fileUrl, launch, look, nativeRoute, open, routesDir, seen, serve, settle, singleFile,
  siteDir,
} from './harness.mjs';

const main = nativeRoute(join(routesDir, 'main.txt'));
const stem = (file) => file.replace(/\.[^.]*$/, '');
// The first click that shows another picture, and that picture.
const first = main.findIndex((l) => l.picture !== main[0].picture);
const later = stem(main[first].picture);
const picture = (name) => readFileSync(join(siteDir, 'pictures', `${name}.svg`), 'utf8');

// Clicks along the main route from where the page stands, `count` clicks at
// most, while it takes them.
async function play(page, count) {
  for (let k = 1; k <= count && (await look(page)).game === 'ready'; k++) {
    await page.evaluate((id) => document.getElementById(id).click(), main[k].click);
    await settle(page);
  }
}

async function assertFailed(page, names) {
  const now = await look(page);
  assert.strictEqual(now.game, 'error', 'the page has stopped');
  assert.ok(!(await page.locator('#Form6').isVisible()), 'the window is hidden');
  const text = await page.locator('#message').innerText();
  assert.match(text, names, `#message names the fault: ${JSON.stringify(text)}`);
}

describe('file faults', () => {
  let browser;
  before(async () => { browser = await launch(); });
  after(async () => { await browser?.close(); });

  test('a picture that is well-formed but no drawing the window can show stops the game, naming it', { timeout: 120_000 }, async () => {
    const drawing = picture(later);
    for (const [name, body] of [
      ['XML of another kind', drawing.replace(/^<svg\b/, '<html').replace(/<\/svg>$/, '</html>')],
      ['a drawing with no size', drawing.replace(/ (width|height)="[^"]*"/g, '')],
    ]) {
      const server = await serve(undefined, { [later]: Buffer.from(body) });
      const page = await browser.newPage({ viewport: { width: 800, height: 600 } });
      try {
        await open(page, server.url);
        await play(page, first);
        await assertFailed(page, new RegExp(`${later}.*壊れて`));
      } catch (e) {
        e.message = `${name} in ${later}: ${e.message}`;
        throw e;
      } finally {
        await page.close();
        await server.close();
      }
    }
  });

  test('a file the server never answers stops the page after its time limit, naming the file', { timeout: 120_000 }, async () => {
    // The engine while the opening page waits for it; a later picture on
    // the click that needs it. The page's clock is hurried past the limit
    // once the file has been asked for.
    for (const [file, clicks] of [['suirei-engine', 0], [later, first]]) {
      const server = await serve(undefined, { [file]: HOLD });
      const context = await browser.newContext({ viewport: { width: 800, height: 600 } });
      const page = await context.newPage();
      try {
        await page.clock.install();
        await page.goto(server.url, { timeout: 15_000 });
        if (clicks) {
          await settle(page, 15_000);
          await play(page, clicks - 1);
          await page.evaluate((id) => document.getElementById(id).click(), main[clicks].click);
        }
        for (const t0 = Date.now(); !server.requests.some((r) => stem(r.split('/').pop()) === file);) {
          assert.ok(Date.now() - t0 < STEP_MS, `the page asked for ${file}`);
          await new Promise((ok) => setTimeout(ok, 20));
        }
        assert.strictEqual((await look(page)).game, clicks ? 'playing' : 'loading', `waiting for ${file}`);
        await page.clock.fastForward('01:00');
        await settle(page);
        await assertFailed(page, new RegExp(`${file}.*届きません`));
      } finally {
        await context.close();
        await server.close();
      }
    }
  });

  test('「はじめから遊ぶ」 begins a new game with no network: the server has gone away', { timeout: 120_000 }, async () => {
    const server = await serve();
    const page = await browser.newPage({ viewport: { width: 800, height: 600 } });
    try {
      await open(page, server.url);
      // Every picture is in before the server goes (the opening one came
      // inside the page).
      await page.waitForFunction(
        (n) => performance.getEntriesByType('resource').filter((e) => e.name.includes('/pictures/')).length === n,
        readdirSync(join(siteDir, 'pictures')).length - 1, { timeout: 15_000 });
      await play(page, 3);
      await server.close();
      // Marks this document: a page loaded anew has lost the mark.
      await page.evaluate(() => { globalThis.suireiSameDocument = true; });
      await page.click('#Command12', { timeout: STEP_MS });
      await settle(page);
      await page.click('#restart', { timeout: STEP_MS });
      await settle(page);
      assert.strictEqual(await page.evaluate(() => globalThis.suireiSameDocument), true, 'no new page was loaded');
      assert.deepStrictEqual(seen(await look(page)), expected(main[0]), 'the opening page');
      await play(page, first);
      assert.deepStrictEqual(seen(await look(page)), expected(main[first]), 'and the story plays again');
    } finally {
      await page.close();
    }
  });

  test('a single file cut short says that it is incomplete, wherever it was cut', { timeout: 120_000 }, async () => {
    const whole = readFileSync(singleFile, 'utf8');
    const mark = (text, from = 0) => {
      const at = whole.indexOf(text, from);
      assert.ok(at > 0, `suirei.html holds ${text}`);
      return at;
    };
    const files = mark('id="suirei-files"');
    const game = mark('<script type="module">', files);
    const cuts = {
      'in the style sheet': mark('<style>') + 200,
      'among the pictures': files + ((game - files) >> 1),
      'in the game\'s script': game + 5000,
      'in the font licence': mark('IPA Font License Agreement', game) + 100,
    };
    const dir = mkdtempSync(join(tmpdir(), 'suirei-cut-'));
    try {
      for (const [where, at] of Object.entries(cuts)) {
        const path = join(dir, 'suirei.html');
        writeFileSync(path, Buffer.from(whole).subarray(0, Buffer.byteLength(whole.slice(0, at))));
        const page = await browser.newPage({ viewport: { width: 800, height: 600 } });
        try {
          await page.goto(fileUrl(path), { timeout: 15_000 });
          await settle(page, 15_000);
          await assertFailed(page, /suirei\.html.*途中で切れて/);
        } catch (e) {
          e.message = `cut ${where}: ${e.message}`;
          throw e;
        } finally {
          await page.close();
        }
      }
    } finally {
      rmSync(dir, { recursive: true, force: true });
    }
  });
});
