// The browser edition's benchmarks, in one run, in Debian's headless chromium:
//   - the opening page's first paint and the time until the page carries out
//     clicks, each load in a fresh browser, from file:// (suirei.html) and
//     from a local server (build-web/site), beside the floor (the same opening
//     page with no script at all, bench/web/floor.mjs) and an inkjs anchor
//     page of the same shape; and the same over an emulated slow network;
//   - one click to the next painted page, along the main route;
//   - the sizes of suirei.html and of the site;
//   - the engine's time per click in WebAssembly (node) and natively, the
//     same loop (bench/web/engine.cpp) built twice.
// Writes bench/web-results.md. Run through bench/web-run.
import { spawnSync } from 'node:child_process';
import { cpus, loadavg } from 'node:os';
import { existsSync, mkdirSync, readFileSync, readdirSync, statSync, writeFileSync } from 'node:fs';
import { dirname, join } from 'node:path';
import { pathToFileURL } from 'node:url';
import { gzipSync } from 'node:zlib';
import { buildAnchor } from './anchor.mjs';
import { buildFloor } from './floor.mjs';
import {
  launch, nativeBin as native, nativeRoute, root, routesDir, serve, webDir as web,
} from '../../tests/web/harness.mjs';
import { startGame, startXvfb } from '../../tests/web/qt.mjs';

const work = join(web, 'bench');
const runs = Number(process.argv[2] ?? 15);
const mainRoute = join(routesDir, 'main.txt');

const median = (xs) => { const s = [...xs].sort((a, b) => a - b); return s.length % 2 ? s[s.length >> 1] : (s[s.length / 2 - 1] + s[s.length / 2]) / 2; };
const pct = (xs, p) => { const s = [...xs].sort((a, b) => a - b); return s[Math.min(s.length - 1, Math.floor(p * s.length))]; };
const ms = (x) => `${x.toFixed(1)} ms`;
const kb = (n) => `${(n / 1024).toFixed(0)} KiB`;
const log = (...a) => console.error('bench/web:', ...a);

// Marks, inside the page, when the page first says it takes clicks and the
// frame after that has been painted; when the scene picture is painted (its
// element timing); and, for every mouse release, how long until the frame
// after it has been painted.
const INSTRUMENT = () => {
  new MutationObserver((changes) => {
    for (const c of changes) for (const n of c.addedNodes) if (n.localName === 'img') n.setAttribute('elementtiming', 'scene');
  }).observe(document, { childList: true, subtree: true });
  new PerformanceObserver((list) => {
    for (const e of list.getEntries()) window.__scene ??= e.renderTime || e.loadTime;
  }).observe({ type: 'element', buffered: true });
  const afterPaint = (f) => requestAnimationFrame(() => {
    const ch = new MessageChannel();
    ch.port1.onmessage = () => f(performance.now());
    ch.port2.postMessage(null);
  });
  const seen = new MutationObserver(() => {
    if (document.documentElement?.dataset.game === 'ready') {
      seen.disconnect();
      window.__ready = performance.now();
      afterPaint((t) => { window.__painted = t; });
    }
  });
  seen.observe(document, { attributes: true, subtree: true, attributeFilter: ['data-game'] });
  window.__clicks = [];
  addEventListener('mouseup', (e) => {
    const t0 = e.timeStamp;
    afterPaint((t) => window.__clicks.push(t - t0));
  }, true);
};

// The slow network: 400 kbit/s each way, 400 ms round trip.
const SLOW = { offline: false, latency: 400, downloadThroughput: 400_000 / 8, uploadThroughput: 400_000 / 8 };

// A fresh (cold) browser, the page instrumented and loaded until it takes
// clicks (the floor: until its picture is painted); `then` measures on it
// before the browser closes.
async function inFreshBrowser(url, then, { network = null } = {}) {
  const browser = await launch();
  try {
    const page = await browser.newPage({ viewport: { width: 800, height: 600 } });
    if (network) {
      const cdp = await page.context().newCDPSession(page);
      await cdp.send('Network.enable');
      await cdp.send('Network.emulateNetworkConditions', network);
    }
    await page.addInitScript(INSTRUMENT);
    await page.goto(url, { timeout: 60_000 });
    await page.waitForFunction(() => window.__painted !== undefined || (!document.querySelector('script') && window.__scene),
      null, { timeout: 60_000 });
    return await then(page);
  } finally {
    await browser.close();
  }
}

// First contentful paint; the opening page complete (its text and its
// picture painted: for the anchor, whose text its script writes, the first
// frame after it takes clicks); and when the page carries out clicks.
const loadOnce = (url, options) => inFreshBrowser(url, (page) => page.evaluate(() => {
  const fcp = performance.getEntriesByName('first-contentful-paint')[0]?.startTime ?? null;
  const scriptWrites = Boolean(document.getElementById('choices'));
  return {
    fcp,
    complete: scriptWrites ? window.__painted : Math.max(fcp, window.__scene),
    ready: window.__ready ?? null,
  };
}), options);

// Clicks along the route (the driver's button ids) with the mouse, until the
// first click that starts the strike or the route's end.
function clicks(url, ids) {
  return inFreshBrowser(url, async (page) => {
    for (const [i, id] of ids.entries()) {
      const target = page.locator(id.startsWith('Command') ? `#${id}` : id).first();
      const box = await target.boundingBox({ timeout: 5_000 });
      await page.mouse.click(box.x + box.width / 2, box.y + box.height / 2);
      await page.waitForFunction((n) => window.__clicks.length >= n && document.documentElement.dataset.game !== 'playing', i + 1, { timeout: 10_000 });
    }
    return await page.evaluate(() => window.__clicks);
  });
}

function run(cmd, args, opts = {}) {
  const r = spawnSync(cmd, args, { encoding: 'utf8', maxBuffer: 64 << 20, ...opts });
  if (r.status !== 0) throw new Error(`${cmd} ${args.join(' ')}: ${r.stderr || r.error}`);
  return r.stdout;
}

function sizeOf(dir) {
  const files = readdirSync(dir, { recursive: true }).filter((f) => statSync(join(dir, f)).isFile())
    .map((f) => [f, readFileSync(join(dir, f))]);
  return {
    total: files.reduce((n, [, b]) => n + b.length, 0),
    gz: files.reduce((n, [, b]) => n + gzipSync(b, { level: 9 }).length, 0),
    files: files.map(([f, b]) => [f, b.length]).sort((a, b) => b[1] - a[1]),
  };
}

// The engine loop, natively and in WebAssembly, from the same sources with
// the same optimisation: the native build's and the browser build's.
function buildEngineBench() {
  run('cmake', ['--build', dirname(native), '--target', 'suirei_engine_loop']);
  run('cmake', ['--build', web, '--target', 'suirei-engine-loop']);
  return { native: join(native, 'suirei_engine_loop'), wasm: join(web, 'obj', 'suirei-engine-loop.js') };
}

// ── main ──
for (const need of [join(web, 'suirei.html'), join(web, 'site', 'index.html'), join(native, 'suirei-play'), join(native, 'kuron.bmp')]) {
  if (!existsSync(need)) { log(`${need} is missing: run ./scripts/web --build-only first`); process.exit(2); }
}
mkdirSync(work, { recursive: true });
const driver = nativeRoute(mainRoute);

log('building the inkjs anchor');
const anchor = buildAnchor({
  out: join(work, 'anchor'),
  pages: driver.slice(0, 11).map((l) => l.text),
  picture: join(native, driver[0].picture),
});

log('building the engine loop, native and WebAssembly');
const engine = buildEngineBench();

log('building the floor');
const floor = buildFloor({ page: join(web, 'site', 'index.html'), out: join(work, 'floor') });

const sites = await Promise.all([join(web, 'site'), floor.site, anchor.site].map((dir) => serve(dir)));
const [suireiSite, floorSite, anchorSite] = sites;
const configs = [
  ['suirei', 'file://', pathToFileURL(join(web, 'suirei.html')).href],
  ['suirei', 'http', suireiSite.url],
  ['floor', 'file://', pathToFileURL(floor.single).href],
  ['floor', 'http', floorSite.url],
  ['inkjs anchor', 'file://', pathToFileURL(anchor.single).href],
  ['inkjs anchor', 'http', anchorSite.url],
];
const measure = async (list, n, options) => {
  const out = list.map(() => ({ fcp: [], complete: [], ready: [] }));
  for (let i = 0; i < n; i++) {
    // Interleaved, so a slow stretch of the machine falls on all alike.
    for (let c = 0; c < list.length; c++) {
      const r = await loadOnce(list[c][2], options).catch((e) => { throw new Error(`${list[c].slice(0, 2).join(' ')}: ${e.message}`); });
      for (const k of ['fcp', 'complete', 'ready']) if (r[k] !== null) out[c][k].push(r[k]);
    }
  }
  return out;
};
log(`the opening page: ${runs} cold loads of each of ${configs.length}`);
const loads = await measure(configs, runs);
const slowRuns = Math.max(3, Math.round(runs / 3));
const slowConfigs = configs.filter(([, from]) => from === 'http');
log(`the opening page on a slow network: ${slowRuns} cold loads of each of ${slowConfigs.length}`);
const slow = await measure(slowConfigs, slowRuns, { network: SLOW });

log('one click to the next painted page');
const strike = driver.findIndex((l) => l.frames.length > 1);
const routeIds = driver.slice(1, strike).map((l) => l.click);
const suireiClicks = await clicks(`${suireiSite.url}?scale=1`, routeIds);
const anchorClicks = await clicks(anchorSite.url, Array(60).fill('#choices button'));
for (const s of sites) await s.close();

log('the desktop window under Xvfb: start to first paint, click to paint');
const desktop = { start: [], clicks: [] };
{
  const x = await startXvfb();
  try {
    for (let i = 0; i < runs; i++) {
      const game = await startGame(x);
      desktop.start.push(await game.firstPaint());
      if (i === 0) {
        for (const id of routeIds) await game.click(id);
        desktop.clicks = game.clickPaints();
      }
      game.stop();
      await new Promise((ok) => setTimeout(ok, 200));
    }
  } finally {
    x.stop();
  }
}

log('the engine per click');
const eng = { native: [], wasm: [] };
for (let i = 0; i < 5; i++) {
  eng.native.push(JSON.parse(run(engine.native, [mainRoute])));
  eng.wasm.push(JSON.parse(run(process.execPath, [engine.wasm, mainRoute])));
}
const engMed = (k, f) => median(eng[k].map((r) => r[f]));

const single = statSync(join(web, 'suirei.html')).size;
const singleGz = gzipSync(readFileSync(join(web, 'suirei.html')), { level: 9 }).length;
const site = sizeOf(join(web, 'site'));

// ── the table ──
const cpu = cpus()[0]?.model ?? 'unknown';
const chromiumVersion = run('/usr/bin/chromium', ['--version']).trim();
const date = new Date().toISOString().replace('T', ' ').slice(0, 16);
const md = [];
md.push('# The browser edition: benchmark results', '');
md.push(`Measured ${date} UTC by \`bench/web-run\` on ${cpus().length} × ${cpu}, ${process.platform}, ${chromiumVersion} (headless, \`--disable-gpu\`), node ${process.version}; load average at the end ${loadavg().map((x) => x.toFixed(2)).join(' ')}.`, '');
const med = (xs) => (xs.length ? ms(median(xs)) : '—');
const ratioOf = (a, b) => (a.length && b.length ? (median(a) / median(b)).toFixed(2) : '—');
md.push('## The opening page', '');
md.push(`Each load in a fresh browser (cold), times from navigation start, median of ${runs}, loads interleaved. *First contentful paint*: the browser's own mark. *Opening page complete*: its text and its picture painted (the later of the first contentful paint and the picture's element timing; the anchor writes its text by script, so for it the first frame painted after it takes clicks). *Carries out clicks*: the page says it takes clicks (\`data-game="ready"\`); suirei keeps a click made earlier and carries it out then. The floor is the same opening page with no script at all (bench/web/floor.mjs cuts it from the built page): the least a browser needs to paint it. The anchor is an inkjs page of the same shape (one scene, one picture, the system font), built by bench/web/anchor.mjs: one file of ${kb(anchor.bytes)}, or a folder over http.`, '');
md.push('| page | from | first contentful paint | opening page complete | 90th percentile | carries out clicks |', '|---|---|---|---|---|---|');
configs.forEach(([what, from], c) => {
  md.push(`| ${what} | ${from} | ${med(loads[c].fcp)} | ${med(loads[c].complete)} | ${loads[c].complete.length ? ms(pct(loads[c].complete, 0.9)) : '—'} | ${med(loads[c].ready)} |`);
});
md.push(`| the desktop window (Qt, Xvfb) | its folder | — | ${ms(median(desktop.start))} | ${ms(pct(desktop.start, 0.9))} | — |`);
const at = (what, from) => configs.findIndex((c) => c[0] === what && c[1] === from);
const line = (from) => {
  const [s, f, a] = [at('suirei', from), at('floor', from), at('inkjs anchor', from)];
  return `${from}: opening page complete ${ratioOf(loads[s].complete, loads[f].complete)} × the floor's and ${ratioOf(loads[s].complete, loads[a].complete)} × the anchor's; carries out clicks at ${ratioOf(loads[s].ready, loads[a].ready)} × the anchor's time`;
};
md.push('', `suirei, medians of the same run: ${line('file://')}; ${line('http')}. Goals: the opening page within 1.2 × the floor and below the anchor; clicks carried out at most 0.8 × the anchor's time. On this shared two-core machine the medians of one build move by 20 ms or more from run to run with the other work on it; the ratios within one run are the figures to compare. The desktop window is timed from the start of its process to its first painted frame (its own \`SUIREI_BENCH_TRACE\`), under one Xvfb server, in the same run.`, '');
md.push('### On a slow network', '');
md.push(`The same over http with Chromium's network emulation at 400 kbit/s each way and 400 ms round trip; median of ${slowRuns} cold loads each. Goal: the opening page readable within 1.5 s.`, '');
md.push('| page | first contentful paint | opening page complete | carries out clicks |', '|---|---|---|---|');
slowConfigs.forEach(([what], c) => md.push(`| ${what} | ${med(slow[c].fcp)} | ${med(slow[c].complete)} | ${med(slow[c].ready)} |`));
md.push('');
md.push('## One click to the next painted page', '');
md.push(`From the mouse release (the event's own time stamp) to the end of the first frame painted after it, clicked with the mouse through playwright. suirei: the main route's ${suireiClicks.length} clicks up to the strike, served over http at \`?scale=1\`; anchor: ${anchorClicks.length} clicks of its read-on button.`, '');
md.push('| page | median | 90th percentile | slowest | goal |', '|---|---|---|---|---|');
for (const [what, xs] of [['suirei', suireiClicks], ['inkjs anchor', anchorClicks], ['the desktop window (Qt, Xvfb; its own trace)', desktop.clicks]]) {
  md.push(`| ${what} | ${ms(median(xs))} | ${ms(pct(xs, 0.9))} | ${ms(Math.max(...xs))} | one 60 Hz frame, 16.7 ms (anchor 7 ms) |`);
}
md.push('', '## Sizes', '');
md.push('| what | bytes | gzip -9 | goal |', '|---|---|---|---|');
md.push(`| build-web/suirei.html | ${single} (${kb(single)}) | ${kb(singleGz)} | < 1.5 MB, < 1 MB if possible |`);
md.push(`| build-web/site/ (${site.files.length} files) | ${site.total} (${kb(site.total)}) | ${kb(site.gz)} | |`);
md.push('', `Largest files of the site: ${site.files.slice(0, 5).map(([f, b]) => `${f} ${kb(b)}`).join(', ')}.`, '');
md.push('## The engine per click', '');
md.push(`The same loop (bench/web/engine.cpp: start-up and the main route's ${eng.native[0].clicks} clicks on a memory screen, over and over) built with g++ -O2 and with Debian's em++ -O2 (run by node ${process.version}); median of 5 runs, each the median of 21 batches.`, '');
md.push('| build | one game | start-up | one click | ratio |', '|---|---|---|---|---|');
const nClick = engMed('native', 'click_ns');
for (const k of ['native', 'wasm']) {
  md.push(`| ${k === 'native' ? 'native (x86-64)' : 'WebAssembly (node)'} | ${(engMed(k, 'game_ns') / 1000).toFixed(1)} µs | ${engMed(k, 'start_ns').toFixed(0)} ns | ${engMed(k, 'click_ns').toFixed(0)} ns | ${(engMed(k, 'click_ns') / nClick).toFixed(1)} × |`);
}
md.push('', 'For the desktop window beside its toolkit, see bench/results.md.', '');
const outFile = join(root, 'bench', 'web-results.md');
writeFileSync(outFile, md.join('\n'));
console.log(md.join('\n'));
log(`wrote ${outFile}`);
