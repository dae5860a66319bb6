// The page at 1:1 beside the desktop window under Xvfb, on the same clicks:
// every control stands at the desktop's rectangle in both, measured from the
// page's boxes and from the salmon background left around the controls in the
// two screenshots (not from how the glyphs are smoothed). The screenshots stay
// in build-web/screenshots/ for a reader to compare.
import { after, before, describe, test } from 'node:test';
import assert from 'node:assert/strict';
import { copyFileSync, mkdirSync } from 'node:fs';
import { join } from 'node:path';
import { launch, look, nativeRoute, open, routesDir, seen, expected, serve, settle, webDir } from './harness.mjs';
import { pixels, startGame, startXvfb } from './qt.mjs';

// The desktop layout at 1:1: x, y, width, height of each control's outer
// rectangle in the window's client area.
const DESKTOP = {
  Form6: [0, 0, 477, 284], P1: [8, 0, 145, 121], T1: [8, 128, 449, 153],
  Command1: [160, 8, 81, 25], Command2: [160, 40, 81, 25], Command3: [160, 72, 81, 25],
  Command4: [248, 8, 105, 25], Command5: [248, 48, 105, 25], Command6: [248, 88, 105, 25],
  Command7: [360, 8, 105, 25], Command8: [360, 48, 105, 25], Command9: [160, 96, 81, 25],
  Command10: [360, 88, 33, 25], Command11: [400, 88, 33, 25], Command12: [440, 88, 33, 25],
};
const shots = join(webDir, 'screenshots');
const main = nativeRoute(join(routesDir, 'main.txt'));

// Clicks after which to compare, so that every control is on screen once:
// Read on alone; Talk and Other speaks; the first choice; Move; two sets of
// places. The last is kept as page.png and qt.png.
const AT = [3, 5, 7, 9, 105, 143];

const salmon = (rgb, i) => Math.abs(rgb[i] - 255) <= 6 && Math.abs(rgb[i + 1] - 128) <= 6 && Math.abs(rgb[i + 2] - 128) <= 6;
const inside = ([x, y, w, h], px, py) => px >= x && px < x + w && py >= y && py < y + h;

// The background around the controls in one screenshot: each shown control's
// edge is drawn (not background), the pixels just outside it are background
// unless another shown control stands there, and nothing is drawn where no
// control stands.
function checkMask(img, controls, label) {
  const { width, height, rgb } = img;
  assert.deepStrictEqual([width, height], [477, 284], `${label}: the window's size`);
  const bg = (x, y) => salmon(rgb, (y * width + x) * 3);
  const rects = controls.map((c) => DESKTOP[c]);
  for (const c of controls) {
    const [x, y, w, h] = DESKTOP[c];
    const ring = (d) => {
      const pts = [];
      for (let px = x - d; px < x + w + d; px++) pts.push([px, y - d], [px, y + h - 1 + d]);
      for (let py = y - d + 1; py < y + h - 1 + d; py++) pts.push([x - d, py], [x + w - 1 + d, py]);
      return pts.filter(([px, py]) => px >= 0 && py >= 0 && px < width && py < height);
    };
    const edge = ring(0);
    const drawn = edge.filter(([px, py]) => !bg(px, py)).length / edge.length;
    assert.ok(drawn >= 0.85, `${label}: ${c}'s edge at ${DESKTOP[c]} is drawn (${(drawn * 100).toFixed(1)} % of it)`);
    const around = ring(1).filter(([px, py]) => !rects.some((r) => inside(r, px, py)));
    if (around.length) {
      const clear = around.filter(([px, py]) => bg(px, py)).length / around.length;
      assert.ok(clear >= 0.9, `${label}: background just outside ${c} (${(clear * 100).toFixed(1)} % of it)`);
    }
  }
  let stray = 0;
  for (let y = 0; y < height; y++) {
    for (let x = 0; x < width; x++) if (!bg(x, y) && !rects.some((r) => inside(r, x, y))) stray++;
  }
  assert.ok(stray <= 10, `${label}: ${stray} pixels drawn where no control stands`);
}

describe('the page beside the desktop window', () => {
  let browser, server, x, game, page;
  before(async () => {
    mkdirSync(shots, { recursive: true });
    server = await serve();
    browser = await launch();
    x = await startXvfb();
    game = await startGame(x);
  });
  after(async () => {
    game?.stop();
    x?.stop();
    await browser?.close();
    await server?.close();
  });

  test('every control stands at the same pixels in the page and in the window', { timeout: 180_000 }, async () => {
    page = await browser.newPage({ viewport: { width: 477, height: 284 } });
    await open(page, `${server.url}?scale=1`);
    let done = 0;
    for (const k of AT) {
      for (; done < k; done++) {
        const id = main[done + 1].click;
        await game.click(id);
        await page.evaluate((id) => document.getElementById(id).click(), id);
        await settle(page);
      }
      const line = main[k];
      assert.deepStrictEqual(seen(await look(page)), expected(line), `page after ${k} clicks`);
      const controls = ['P1', 'T1', ...line.visible];

      // The page's own boxes.
      const boxes = await page.evaluate((ids) => Object.fromEntries(ids.map((id) => {
        const r = document.getElementById(id).getBoundingClientRect();
        return [id, [r.x, r.y, r.width, r.height]];
      })), ['Form6', ...controls]);
      for (const [id, box] of Object.entries(boxes)) {
        assert.ok(box.every((v, i) => Math.abs(v - DESKTOP[id][i]) < 0.01),
          `after ${k} clicks: ${id} stands at ${box}, the desktop at ${DESKTOP[id]}`);
      }

      // The two screenshots.
      const pagePng = join(shots, `page-${k}.png`);
      const qtPng = join(shots, `qt-${k}.png`);
      await page.mouse.move(476, 283);  // no hover on a button
      await page.screenshot({ path: pagePng });
      game.shot(qtPng);
      const [a, b] = [pixels(pagePng), pixels(qtPng)];
      checkMask(a, controls, `page after ${k} clicks`);
      checkMask(b, controls, `window after ${k} clicks`);
      let differ = 0;
      for (let i = 0; i < a.rgb.length; i += 3) if (salmon(a.rgb, i) !== salmon(b.rgb, i)) differ++;
      assert.ok(differ <= 0.01 * 477 * 284,
        `after ${k} clicks: ${differ} pixels are background in one and not the other`);
    }
    copyFileSync(join(shots, `page-${AT.at(-1)}.png`), join(shots, 'page.png'));
    copyFileSync(join(shots, `qt-${AT.at(-1)}.png`), join(shots, 'qt.png'));
    await page.close();
  });
});
