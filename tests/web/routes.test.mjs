// Every route file played in the hosted page, click by click, against what the
// native play driver prints for the same clicks: T1's text, the buttons on
// screen, the picture and the story state after start-up and after every click.
import { after, before, describe, test } from 'node:test';
import assert from 'node:assert/strict';
import { basename } from 'node:path';
import { launch, nativeRoute, open, replay, routeFiles, serve } from './harness.mjs';

describe('routes in the page', () => {
  let browser, server;
  before(async () => {
    server = await serve();
    browser = await launch();
  });
  after(async () => {
    await browser?.close();
    await server?.close();
  });

  for (const file of routeFiles()) {
    test(basename(file, '.txt'), { timeout: 300_000 }, async () => {
      const lines = nativeRoute(file);
      const page = await browser.newPage({ viewport: { width: 800, height: 600 } });
      try {
        await open(page, server.url);
        const clicks = await replay(page, lines, assert, Infinity, basename(file));
        assert.strictEqual(clicks, lines.length - 1);
      } finally {
        await page.close();
      }
    });
  }
});
