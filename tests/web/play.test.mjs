// The page's own behaviour around the story: the strike at Iruka played as
// held frames with input dropped, quitting and beginning again, the keyboard
// after a choice, clicks made before the engine is in, what a screen reader
// hears, and fingers on a phone.
import { after, before, describe, test } from 'node:test';
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import { join } from 'node:path';
import {
  STEP_MS, expected, launch, look, nativeLines, nativeRoute, open, routesDir, seen, serve, settle, webDir,
} from './harness.mjs';

// The clicks of a route, as button ids, the way the driver resolved them.
const clicksOf = (lines) => lines.slice(1).map((l) => l.click);

// Plays clicks quickly from inside the page (the route tests play every click
// with the mouse); waits for each click to be taken before the next.
async function fastForward(page, ids) {
  await page.evaluate(async (ids) => {
    const ready = () => new Promise((ok, fail) => {
      const t0 = performance.now();
      const poll = () => {
        const g = document.documentElement.dataset.game;
        if (g === 'ready' || g === 'ended') ok();
        else if (performance.now() - t0 > 5000) fail(new Error(`page stuck in "${g}"`));
        else setTimeout(poll, 5);
      };
      poll();
    });
    for (const id of ids) {
      document.getElementById(id).click();
      await ready();
    }
  }, ids);
}

// Records every picture P1 shows from now on, with the time, the page's phase
// and T1's text at that moment.
const watchPictures = (page) => page.evaluate(() => {
  const p1 = document.getElementById('P1');
  const t1 = document.getElementById('T1');
  window.__shown = [];
  new MutationObserver(() => {
    window.__shown.push({
      file: p1.getAttribute('data-file'), at: performance.now(),
      game: document.documentElement.dataset.game, text: t1.value,
    });
  }).observe(p1, { attributes: true, attributeFilter: ['data-file'] });
});
const shownPictures = async (page) => {
  const all = await page.evaluate(() => window.__shown);
  return all.filter((s, i) => i === 0 || s.file !== all[i - 1].file);  // a frame set twice is one frame
};

// The desktop rectangles of the buttons at scale 1 (x, y, w, h in pixels).
const CENTRE = {
  Command1: [200, 20], Command2: [200, 52], Command3: [200, 84], Command4: [300, 20],
  Command5: [300, 60], Command6: [300, 100], Command7: [412, 20], Command8: [412, 60],
  Command9: [200, 108], Command10: [376, 100], Command11: [416, 100], Command12: [456, 100],
};

describe('the page', () => {
  let browser, server;
  const main = nativeRoute(join(routesDir, 'main.txt'));
  const rash = nativeRoute(join(routesDir, 'rash.txt'));
  before(async () => {
    server = await serve();
    browser = await launch();
  });
  after(async () => {
    await browser?.close();
    await server?.close();
  });

  async function at(lines, clicks, viewport = { width: 477, height: 284 }) {
    const page = await browser.newPage({ viewport });
    await open(page, `${server.url}?scale=1`);
    await fastForward(page, clicksOf(lines).slice(0, clicks));
    assert.deepStrictEqual(seen(await look(page)), expected(lines[clicks]), `after ${clicks} clicks`);
    return page;
  }

  test('the strike plays its frames in order, each held, and drops every click and key meanwhile', { timeout: 60_000 }, async () => {
    const strike = main.findIndex((l) => l.frames.length > 1);
    assert.ok(strike > 0, 'the main route has the strike');
    const frames = main[strike].frames;
    const page = await at(main, strike - 1);
    try {
      const before = await look(page);
      await watchPictures(page);
      await page.click(`#${main[strike].click}`, { timeout: STEP_MS });
      // While the first frames are up: the mouse on every button that is on
      // screen and on Talk's place, which the strike's end shows; Space and
      // Enter on the focused button; Tab and Space again.
      await page.waitForFunction(() => document.documentElement.dataset.game === 'playing', null, { timeout: STEP_MS });
      const during = await look(page);
      assert.strictEqual(during.game, 'playing');
      for (const id of new Set([...during.visible, 'Command1', 'Command12'])) await page.mouse.click(...CENTRE[id]);
      // The browser's own shortcuts pass: they reach the page's listeners
      // unhandled, where the game's keys do not.
      await page.evaluate(() => {
        window.__keys = [];
        addEventListener('keydown', (e) => { if (!e.defaultPrevented) window.__keys.push(e.key); });
      });
      for (const key of ['Space', 'Enter', 'Tab', 'Space', 'Control+r', 'Tab', 'Control+w', 'Enter']) await page.keyboard.press(key);
      assert.deepStrictEqual(await page.evaluate(() => window.__keys.filter((k) => k !== 'Control')), ['r', 'w'],
        'the keys that passed during the strike');
      // A press on 終了 that began during the frames and ends after them is
      // no click either.
      await page.mouse.move(...CENTRE.Command12);
      await page.mouse.down();
      assert.strictEqual((await look(page)).game, 'playing', 'the frames were still playing while the input came');
      await settle(page, 10_000);
      await page.mouse.up();
      await page.waitForTimeout(100);

      const shown = await shownPictures(page);
      assert.deepStrictEqual(shown.map((s) => s.file), frames, 'the pictures shown, in order');
      for (let i = 1; i < shown.length; i++) {
        const held = shown[i].at - shown[i - 1].at;
        assert.ok(held >= 190, `${shown[i - 1].file} held ${held.toFixed(1)} ms, at least 190 expected`);
      }
      // The battle cry stands on the page, one line, while the frames play.
      const cry = shown[0].text;
      assert.ok(cry.length > 0 && !cry.includes('\n') && cry !== before.text, `T1 during the strike: ${JSON.stringify(cry)}`);
      for (const s of shown.slice(0, -1)) {
        assert.strictEqual(s.game, 'playing', `${s.file} shown while playing`);
        assert.strictEqual(s.text, cry, `${s.file} shown with the battle cry`);
      }
      // Afterwards the page is what the click left, and the story goes on as
      // the driver's does: nothing clicked during the frames was kept.
      const now = await look(page);
      assert.deepStrictEqual(seen(now), expected(main[strike]), 'after the strike');
      assert.strictEqual(now.game, 'ready');
      await page.click(`#${main[strike + 1].click}`, { timeout: STEP_MS });
      await settle(page);
      assert.deepStrictEqual(seen(await look(page)), expected(main[strike + 1]), 'the click after the strike');
    } finally {
      await page.close();
    }
  });

  test('the other answer at the strike shows its one picture with no frames', { timeout: 60_000 }, async () => {
    const choice = main.findIndex((l) => l.frames.length > 1);
    // The rash route answers 1 where the main route answers 2.
    const i = rash.findIndex((l, k) => k > 0 && rash[k - 1].state === main[choice - 1].state && l.click !== main[choice].click);
    assert.ok(i > 0, 'the rash route answers the strike choice the other way');
    assert.deepStrictEqual(rash[i].frames, [rash[i].picture]);
    const page = await at(rash, i - 1);
    try {
      await watchPictures(page);
      await page.click(`#${rash[i].click}`, { timeout: STEP_MS });
      await settle(page);
      const shown = await shownPictures(page);
      assert.deepStrictEqual(shown.map((s) => s.file), rash[i].frames);
      assert.ok(shown.every((s) => s.game !== 'playing'), 'no strike played');
      assert.deepStrictEqual(seen(await look(page)), expected(rash[i]));
    } finally {
      await page.close();
    }
  });

  test('quit stops every control, dims the window, and restart begins at the opening page', { timeout: 60_000 }, async () => {
    const clicks = 8;  // on the first choice page, with 1, 2 and quit on screen
    const quitLines = nativeLines(`${clicksOf(main).slice(0, clicks).join('\n')}\nCommand12\n`);
    const page = await at(main, clicks);
    try {
      const form = await page.locator('#Form6').boundingBox();
      const lit = await page.screenshot({ clip: form });
      await page.click('#Command12', { timeout: STEP_MS });
      await settle(page);
      const ended = await look(page);
      assert.strictEqual(ended.game, 'ended');
      assert.deepStrictEqual(seen(ended), expected(quitLines.at(-1)), 'the page as quit left it');

      // A screen reader hears that the game has ended.
      assert.strictEqual(await page.locator('#spoken').textContent(), await page.locator('#after-note').textContent());
      // Nothing in the window responds: the mouse on every button's place
      // (which also takes the focus off the offer), the buttons' own click,
      // keys with the focus on no control.
      for (const [x, y] of Object.values(CENTRE)) await page.mouse.click(x, y);
      await page.evaluate(() => { for (let i = 1; i <= 12; i++) document.getElementById(`Command${i}`).click(); });
      for (const key of ['Space', 'Enter', 'ArrowDown', 'Space']) await page.keyboard.press(key);
      await page.waitForTimeout(300);
      const still = await look(page);
      assert.deepStrictEqual(still, ended, 'nothing changed after quit');
      // The keyboard is not trapped: Tab goes on through the page's controls
      // and comes back to the offer.
      const tabbed = [];
      for (let i = 0; i < 4; i++) {
        await page.keyboard.press('Tab');
        tabbed.push(await page.evaluate(() => document.activeElement?.id || document.activeElement?.localName));
      }
      assert.ok(tabbed.includes('restart'), `Tab reaches the offer to begin again: ${tabbed}`);
      assert.deepStrictEqual(await look(page), ended, 'Tab changed nothing');

      // Dimmed: the window is darker than it was.
      const dim = await page.screenshot({ clip: form });
      const brightness = async (png) => page.evaluate(async (b64) => {
        const img = new Image();
        img.src = `data:image/png;base64,${b64}`;
        await img.decode();
        const c = new OffscreenCanvas(img.width, img.height);
        const g = c.getContext('2d');
        g.drawImage(img, 0, 0);
        const d = g.getImageData(0, 0, img.width, img.height).data;
        let sum = 0;
        for (let k = 0; k < d.length; k += 4) sum += d[k] + d[k + 1] + d[k + 2];
        return sum / (d.length / 4) / 3;
      }, png.toString('base64'));
      const [b0, b1] = [await brightness(lit), await brightness(dim)];
      assert.ok(b1 < b0 * 0.9, `the window dims after quit (mean brightness ${b0.toFixed(1)} → ${b1.toFixed(1)})`);

      // Restart stands outside the window and begins again at the opening page.
      const restart = page.locator('#restart');
      assert.ok(await restart.isVisible(), '#restart is shown');
      // (Both as they stand now: at 1:1 the page scrolls to the offer.)
      const [r, w] = [await restart.boundingBox(), await page.locator('#Form6').boundingBox()];
      const apart = r.x >= w.x + w.width || r.x + r.width <= w.x || r.y >= w.y + w.height || r.y + r.height <= w.y;
      assert.ok(apart, `#restart ${JSON.stringify(r)} stands outside the window ${JSON.stringify(w)}`);
      // Enter on the offer begins again (the Tabs above took the focus
      // away), and so does Space: after 終了 the offer has the focus.
      await restart.focus();
      for (const key of ['Enter', 'Space']) {
        if (key === 'Space') {
          await page.click('#Command12', { timeout: STEP_MS });
          await settle(page);
        }
        await page.keyboard.press(key);
        await settle(page);
        assert.deepStrictEqual(seen(await look(page)), expected(main[0]), `${key} on the offer: the opening page again`);
        await page.click(`#${main[1].click}`, { timeout: STEP_MS });
        await settle(page);
        assert.deepStrictEqual(seen(await look(page)), expected(main[1]), `${key} on the offer: and the story plays again`);
      }
    } finally {
      await page.close();
    }
  });

  test('without ?scale=1 the window fills the view, keeping its proportions and every control in place', { timeout: 60_000 }, async () => {
    for (const [vw, vh] of [[954, 568], [640, 360], [1280, 900], [360, 640]]) {
      const page = await browser.newPage({ viewport: { width: vw, height: vh } });
      try {
        await open(page, server.url);
        const boxes = await page.evaluate(() => Object.fromEntries(['Form6', 'P1', 'T1', 'Command9', 'Command12'].map((id) => {
          const r = document.getElementById(id).getBoundingClientRect();
          return [id, [r.x, r.y, r.width, r.height]];
        })));
        const [x, y, w, h] = boxes.Form6;
        const s = w / 477;
        const at = `${vw}×${vh}`;
        assert.ok(Math.abs(h / 284 - s) < 0.002, `${at}: proportions kept (${w} × ${h})`);
        assert.ok(x >= -0.5 && y >= -0.5 && x + w <= vw + 0.5 && y + h <= vh + 0.5, `${at}: the window lies inside the view`);
        // (but for a strip for the page's own controls, the loading note and
        // the fullscreen control, where the view has the window's shape)
        const strip = 2 * Math.min(32, 0.06 * Math.min(vw, vh));
        assert.ok([w - vw, h - vh, w - vw + strip, h - vh + strip].some((d) => Math.abs(d) < 1),
          `${at}: the window fills the view one way (${w} × ${h})`);
        assert.ok(Math.abs(x - (vw - x - w)) < 1 && Math.abs(y - (vh - y - h)) < 1, `${at}: the window stands in the middle`);
        for (const [id, [cx, cy, cw, ch]] of Object.entries({ P1: [8, 0, 145, 121], T1: [8, 128, 449, 153], Command9: [160, 96, 81, 25], Command12: [440, 88, 33, 25] })) {
          const want = [x + cx * s, y + cy * s, cw * s, ch * s];
          assert.ok(boxes[id].every((v, i) => Math.abs(v - want[i]) < 0.5), `${at}: ${id} at ${boxes[id]}, expected ${want}`);
        }
        await page.click(`#${main[1].click}`, { timeout: STEP_MS });
        await settle(page);
        assert.deepStrictEqual(seen(await look(page)), expected(main[1]), `${at}: a click on the scaled window`);
      } finally {
        await page.close();
      }
    }
  });

  test('Space reads the story on: held Enter turns one page, Space on 話す hands the focus to 相手が話す, and a click on the text, the picture or the page around keeps Space reading', { timeout: 60_000 }, async () => {
    const page = await at(main, 0, { width: 800, height: 600 });
    const focused = () => page.evaluate(() => document.activeElement?.id ?? null);
    const step = async (k, how) => {
      await settle(page);
      assert.deepStrictEqual(seen(await look(page)), expected(main[k]), `${how}: page ${k}`);
    };
    try {
      await page.focus('#Command9');
      for (let i = 0; i < 4; i++) await page.keyboard.down('Enter');  // the key repeats
      await page.keyboard.up('Enter');
      await step(1, 'Enter held down');
      for (let k = 2; k <= 4; k++) {
        await page.keyboard.press('Space');
        await step(k, 'Space');
      }
      assert.strictEqual(await focused(), 'Command1', 'Read on hid itself: the focus is on 話す');
      await page.keyboard.press('Space');
      await step(5, 'Space on 話す');
      assert.strictEqual(await focused(), 'Command2', 'the focus is on 相手が話す, whose turn it is');
      // Clicks off the buttons: the text box, the picture, the page beside
      // the window.
      for (const [k, where] of [[6, '#T1'], [7, '#P1'], [8, [700, 500]]]) {
        if (typeof where === 'string') await page.click(where, { timeout: STEP_MS });
        else await page.mouse.click(...where);
        await page.keyboard.press('Space');
        await step(k, `Space after a click on ${where}`);
      }
    } finally {
      await page.close();
    }
  });

  test('in a view of 100 × 60 the window can be scrolled to and played, and after 終了 the offer to begin again is in view', { timeout: 60_000 }, async () => {
    const view = { width: 100, height: 60 };
    // The part of an element inside the view, or null.
    const inView = async (selector) => {
      const b = await page.locator(selector).boundingBox();
      const [x0, y0] = [Math.max(b.x, 0), Math.max(b.y, 0)];
      const [x1, y1] = [Math.min(b.x + b.width, view.width), Math.min(b.y + b.height, view.height)];
      return x1 - x0 >= 1 && y1 - y0 >= 1 ? [(x0 + x1) / 2, (y0 + y1) / 2] : null;
    };
    let page;
    for (const query of ['?scale=1', '']) {
      page = await browser.newPage({ viewport: view });
      try {
        await open(page, server.url + query);
        const { width } = await page.locator('#Form6').boundingBox();
        // The player scrolls with the mouse wheel until the button shows,
        // then clicks it where it stands.
        for (const [k, id] of [[1, main[1].click], [null, 'Command12']]) {
          let at = await inView(`#${id}`);
          for (let i = 0; !at && i < 20; i++) {
            const b = await page.locator(`#${id}`).boundingBox();
            await page.mouse.move(50, 30);
            await page.mouse.wheel(b.x > view.width ? 40 : 0, b.y > view.height ? 40 : 0);
            await page.waitForTimeout(50);
            at = await inView(`#${id}`);
          }
          assert.ok(at, `${query}: ${id} can be scrolled into the view`);
          await page.mouse.click(...at);
          await settle(page);
          if (k) assert.deepStrictEqual(seen(await look(page)), expected(main[k]), `${query}: ${id} clicked`);
        }
        assert.strictEqual((await look(page)).game, 'ended');
        const offer = await inView('#restart');
        assert.ok(offer, `${query}: the offer to begin again is in the view`);
        // The window shrinks no smaller than in play to make room, and the
        // wheel takes the player back up to it.
        const form = () => page.locator('#Form6').boundingBox();
        assert.ok((await form()).width > width - 1, `${query}: the window after 終了 is ${(await form()).width} wide, in play ${width}`);
        for (let i = 0; (await form()).y < -0.5 && i < 20; i++) {
          await page.mouse.wheel(0, -40);
          await page.waitForTimeout(50);
        }
        assert.ok((await form()).y >= -0.5, `${query}: the window can be scrolled back into the view after 終了`);
        await page.locator('#restart').scrollIntoViewIfNeeded();
        await page.mouse.click(...(await inView('#restart')));
        await settle(page);
        assert.deepStrictEqual(seen(await look(page)), expected(main[0]), `${query}: a new game`);
      } finally {
        await page.close();
      }
    }
  });

  test('after choosing 1 or 2 with the keyboard, focus is on a button that moves the story on, and Space moves it', { timeout: 60_000 }, async () => {
    const clicks = 7;  // the first choice page
    assert.deepStrictEqual(main[clicks].visible.filter((b) => b === 'Command10' || b === 'Command11'), ['Command10', 'Command11']);
    const prefix = clicksOf(main).slice(0, clicks);
    for (const choice of ['Command10', 'Command11']) {
      const chosen = nativeLines([...prefix, choice].join('\n')).at(-1);
      // The buttons that move the story on from there, as the driver tells.
      const movers = chosen.visible.filter((b) => b !== 'Command12' &&
        nativeLines([...prefix, choice, b].join('\n')).at(-1).state !== chosen.state);
      assert.ok(movers.length > 0, `${choice}: something moves the story on`);
      const page = await at(main, clicks);
      try {
        // Tab walks the shown controls only, until the choice has focus.
        await page.evaluate(() => document.activeElement?.blur());
        let focused = null;
        for (let k = 0; k < 20 && focused !== choice; k++) {
          await page.keyboard.press('Tab');
          focused = await page.evaluate(() => document.activeElement?.id ?? null);
          if (focused && /^Command\d+$/.test(focused)) {
            assert.ok(main[clicks].visible.includes(focused), `Tab reached ${focused}, which is not on screen`);
          }
        }
        assert.strictEqual(focused, choice, `Tab reaches ${choice}`);
        await page.keyboard.press('Space');
        await settle(page);
        assert.deepStrictEqual(seen(await look(page)), expected(chosen), `${choice} pressed with Space`);
        const now = await page.evaluate(() => document.activeElement?.id ?? null);
        assert.ok(movers.includes(now), `${choice}: focus is on ${now}, expected one of ${movers}`);
        await page.keyboard.press('Space');
        await settle(page);
        const next = nativeLines([...prefix, choice, now].join('\n')).at(-1);
        assert.deepStrictEqual(seen(await look(page)), expected(next), `${choice}: Space again on ${now}`);
      } finally {
        await page.close();
      }
    }
  });

  test('a click made while the engine loads is carried out once it is in, exactly once', { timeout: 60_000 }, async () => {
    let release;
    const held = await serve(undefined, { 'suirei-engine': new Promise((ok) => { release = ok; }) });
    const page = await browser.newPage({ viewport: { width: 800, height: 600 } });
    try {
      await page.goto(held.url, { timeout: 15_000 });
      await page.locator('#Command9').waitFor({ state: 'visible', timeout: STEP_MS });
      // The opening page stands, and outside the window the page says it is
      // still loading.
      assert.deepStrictEqual(seen(await look(page)), expected(main[0]));
      const [note, form] = [await page.locator('#loading').boundingBox(), await page.locator('#Form6').boundingBox()];
      assert.ok(note && (note.x >= form.x + form.width || note.y >= form.y + form.height), `the loading note ${JSON.stringify(note)} stands outside the window`);
      await page.click('#Command9', { timeout: STEP_MS });
      assert.strictEqual((await look(page)).game, 'loading');
      release();
      await settle(page, 15_000);
      await page.waitForTimeout(300);
      assert.deepStrictEqual(seen(await look(page)), expected(main[1]), 'the click was carried out once');
      assert.ok(!(await page.locator('#loading').isVisible()), 'the loading note is gone');
    } finally {
      await page.close();
      await held.close();
    }
  });

  test('a screen reader hears each new page once, 「1」 and 「2」 say what they mean, and the picture is named by its scene', { timeout: 60_000 }, async () => {
    const choicePage = 7;
    const page = await at(main, 0, { width: 800, height: 600 });
    try {
      assert.strictEqual(await page.evaluate(() => document.activeElement.id), main[1].click, 'the focus is on the button that reads on');
      await page.evaluate(() => {
        const live = document.getElementById('spoken');
        window.__heard = [];
        new MutationObserver(() => window.__heard.push(live.textContent)).observe(live, { childList: true, characterData: true, subtree: true });
      });
      for (let k = 1; k <= choicePage; k++) await page.keyboard.press('Space').then(() => settle(page));
      assert.deepStrictEqual(seen(await look(page)), expected(main[choicePage]));
      // Each page that changed, once, without the blank lines; T1 keeps the
      // engine's text as it is.
      const heard = main.slice(1, choicePage + 1).filter((l, i) => l.text !== main[i].text)
        .map((l) => l.text.split('\r\n').filter((line) => line).join('\n'));
      assert.deepStrictEqual(await page.evaluate(() => window.__heard), heard);

      const cdp = await page.context().newCDPSession(page);
      const { nodes } = await cdp.send('Accessibility.getFullAXTree');
      const ax = (name) => nodes.find((n) => !n.ignored && n.name?.value === name);
      const choice = main[choicePage].text.split('\r\n').find((line) => line.startsWith('１'));
      for (const caption of ['1', '2']) {
        assert.strictEqual(ax(caption)?.description?.value, choice, `「${caption}」 is described by the choice line`);
      }
      const description = JSON.parse(readFileSync(join(webDir, 'obj', 'engine.json'), 'utf8')).window.pictures
        .find((p) => p.file === main[choicePage].picture).description;
      assert.strictEqual(ax(description)?.role?.value, 'image', `P1 is the image ${description}`);
    } finally {
      await page.close();
    }
  });

  test('on a phone each button answers a finger in the space around it, the nearer one between two', { timeout: 120_000 }, async () => {
    const choicePage = 7;
    for (const viewport of [{ width: 844, height: 390 }, { width: 390, height: 844 }]) {
      const context = await browser.newContext({ viewport, hasTouch: true, isMobile: true, deviceScaleFactor: 3 });
      const page = await context.newPage();
      try {
        await open(page, server.url);
        await fastForward(page, clicksOf(main).slice(0, choicePage));
        // Which button a tap at (x, y) presses, the game kept where it is.
        await page.evaluate(() => addEventListener('click', (e) => {
          if (e.target.localName !== 'button') return;
          window.__pressed = e.target.id;
          e.stopImmediatePropagation();
        }, true));
        const pressed = async (x, y) => {
          await page.evaluate(() => { window.__pressed = null; });
          await page.touchscreen.tap(x, y);
          return page.evaluate(() => window.__pressed);
        };
        // The hit area of each shown button, walked out from its centre.
        const hit = {};
        for (const id of main[choicePage].visible) {
          const b = await page.locator(`#${id}`).boundingBox();
          const [cx, cy] = [b.x + b.width / 2, b.y + b.height / 2];
          const reach = async (dx, dy) => {
            let d = 0;
            while (d < 100 && (await pressed(cx + (d + 1) * dx, cy + (d + 1) * dy)) === id) d++;
            return d;
          };
          const [l, r, u, w] = [await reach(-1, 0), await reach(1, 0), await reach(0, -1), await reach(0, 1)];
          hit[id] = { drawn: [b.width, b.height], hit: [l + r + 1, u + w + 1] };
          assert.ok(l + r + 1 >= b.width - 1 && u + w + 1 > b.height + 8, `${viewport.width}×${viewport.height}: ${id} answers beyond its edges: ${JSON.stringify(hit[id])}`);
        }
        // Between 「2」 and 終了: the nearer one.
        const [two, quit] = [await page.locator('#Command11').boundingBox(), await page.locator('#Command12').boundingBox()];
        const middle = (two.x + two.width + quit.x) / 2;
        const y = two.y + two.height / 2;
        assert.strictEqual(await pressed(middle - 1, y), 'Command11');
        assert.strictEqual(await pressed(middle + 1, y), 'Command12');
        assert.deepStrictEqual(seen(await look(page)), expected(main[choicePage]), 'nothing was clicked for real');
        console.log(`hit areas at ${viewport.width}×${viewport.height} (CSS px, width × height): ${JSON.stringify(hit)}`);
      } finally {
        await context.close();
      }
    }
  });
});
