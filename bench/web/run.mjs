// The browser edition's benchmarks, in one run, in Debian's headless chromium:
//   - load to the first painted page (text and picture up), each load in a
//     fresh browser, from file:// (suirei.html) and from a local server
//     (build-web/site), beside an inkjs anchor page of the same shape;
//   - one click to the next painted page, along the main route;
//   - the sizes of suirei.html and of the site;
//   - the engine's time per click in WebAssembly (node) and natively, the
//     same loop (bench/web/engine.cpp) built twice.
// Writes bench/web-results.md. Run through bench/web-run.
import { spawnSync } from 'node:child_process';
import { createServer } from 'node:http';
import { cpus, loadavg } from 'node:os';
import { existsSync, mkdirSync, readFileSync, readdirSync, statSync, writeFileSync } from 'node:fs';
import { dirname, extname, join, normalize, resolve, sep } from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';
import { gzipSync } from 'node:zlib';
import { chromium } from 'playwright-core';
import { buildAnchor } from './anchor.mjs';
import { startGame, startXvfb } from '../../tests/web/qt.mjs';

const root = resolve(fileURLToPath(new URL('../..', import.meta.url)));
const web = resolve(process.env.SUIREI_WEB_DIR ?? join(root, 'build-web'));
const native = resolve(process.env.SUIREI_NATIVE_BIN ?? join(root, 'build', 'bin'));
const work = join(web, 'bench');
const runs = Number(process.argv[2] ?? 15);
const mainRoute = join(root, 'tests', 'routes', 'main.txt');
const ARGS = ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
  '--disable-background-networking', '--disable-component-update', '--disable-sync'];

const median = (xs) => { const s = [...xs].sort((a, b) => a - b); return s.length % 2 ? s[s.length >> 1] : (s[s.length / 2 - 1] + s[s.length / 2]) / 2; };
const pct = (xs, p) => { const s = [...xs].sort((a, b) => a - b); return s[Math.min(s.length - 1, Math.floor(p * s.length))]; };
const ms = (x) => `${x.toFixed(1)} ms`;
const kb = (n) => `${(n / 1024).toFixed(0)} KiB`;
const log = (...a) => console.error('bench/web:', ...a);

function serve(dir) {
  const base = resolve(dir);
  const types = { '.html': 'text/html; charset=utf-8', '.js': 'text/javascript', '.wasm': 'application/wasm', '.json': 'application/json', '.png': 'image/png', '.bmp': 'image/bmp', '.css': 'text/css', '.woff2': 'font/woff2', '.ttf': 'font/ttf', '.otf': 'font/otf' };
  const server = createServer((req, res) => {
    let file = normalize(join(base, decodeURIComponent(new URL(req.url, 'http://x').pathname)));
    if (!file.startsWith(base)) { res.writeHead(403).end(); return; }
    if (existsSync(file) && statSync(file).isDirectory()) file = join(file, 'index.html');
    if (!existsSync(file)) { res.writeHead(404).end(); return; }
    res.writeHead(200, { 'content-type': types[extname(file)] ?? 'application/octet-stream', 'cache-control': 'no-store' }).end(readFileSync(file));
  });
  return new Promise((ok) => server.listen(0, '127.0.0.1', () => ok({
    url: `http://127.0.0.1:${server.address().port}/`,
    close: () => new Promise((done) => { server.closeAllConnections(); server.close(done); }),
  })));
}

// Marks, inside the page, when the page first says it takes clicks and the
// frame after that has been painted; and, for every mouse release, how long
// until the frame after it has been painted.
const INSTRUMENT = () => {
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

// A fresh (cold) browser, the page instrumented and loaded to its first
// painted page; `then` measures on it before the browser closes.
async function inFreshBrowser(url, then) {
  const browser = await chromium.launch({ executablePath: '/usr/bin/chromium', args: ARGS, timeout: 30_000 });
  try {
    const page = await browser.newPage({ viewport: { width: 800, height: 600 } });
    await page.addInitScript(INSTRUMENT);
    await page.goto(url, { timeout: 30_000 });
    await page.waitForFunction(() => window.__painted !== undefined, null, { timeout: 30_000 });
    return await then(page);
  } finally {
    await browser.close();
  }
}

const loadOnce = (url) => inFreshBrowser(url, (page) => page.evaluate(() => ({
  painted: window.__painted,
  fcp: performance.getEntriesByName('first-contentful-paint')[0]?.startTime ?? null,
})));

// Clicks along the route (the driver's button ids) with the mouse, until the
// first click that starts the strike or the route's end.
function clicks(url, ids, limit) {
  return inFreshBrowser(url, async (page) => {
    let n = 0;
    for (const id of ids) {
      if (n >= limit) break;
      const target = page.locator(id.startsWith('Command') ? `#${id}` : id).first();
      const box = await target.boundingBox({ timeout: 5_000 });
      await page.mouse.click(box.x + box.width / 2, box.y + box.height / 2);
      n++;
      await page.waitForFunction((n) => window.__clicks.length >= n && document.documentElement.dataset.game !== 'playing', n, { timeout: 10_000 });
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
  let total = 0, gz = 0;
  const files = [];
  const walk = (d) => {
    for (const e of readdirSync(d, { withFileTypes: true })) {
      const p = join(d, e.name);
      if (e.isDirectory()) walk(p);
      else {
        const b = readFileSync(p);
        total += b.length;
        gz += gzipSync(b, { level: 9 }).length;
        files.push([p.slice(dir.length + 1), b.length]);
      }
    }
  };
  walk(dir);
  return { total, gz, files: files.sort((a, b) => b[1] - a[1]) };
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
const driver = run(join(native, 'suirei-play'), [], { input: readFileSync(mainRoute) }).trim().split('\n').map((l) => JSON.parse(l));

log('building the inkjs anchor');
const anchor = buildAnchor({
  out: join(work, 'anchor'),
  pages: driver.slice(0, 11).map((l) => l.text),
  picture: join(native, driver[0].picture),
});

log('building the engine loop, native and WebAssembly');
const engine = buildEngineBench();

const suireiSite = await serve(join(web, 'site'));
const anchorSite = await serve(anchor.site);
const configs = [
  ['suirei', 'file://', pathToFileURL(join(web, 'suirei.html')).href],
  ['suirei', 'http', suireiSite.url],
  ['inkjs anchor', 'file://', pathToFileURL(anchor.single).href],
  ['inkjs anchor', 'http', anchorSite.url],
];
const loads = configs.map(() => ({ painted: [], fcp: [] }));
log(`load to first painted page: ${runs} cold loads of each of ${configs.length}`);
for (let i = 0; i < runs; i++) {
  // Interleaved, so a slow stretch of the machine falls on all alike.
  for (let c = 0; c < configs.length; c++) {
    const r = await loadOnce(configs[c][2]).catch((e) => { throw new Error(`${configs[c].slice(0, 2).join(' ')}: ${e.message}`); });
    loads[c].painted.push(r.painted);
    if (r.fcp !== null) loads[c].fcp.push(r.fcp);
  }
}

log('one click to the next painted page');
const strike = driver.findIndex((l) => l.frames.length > 1);
const routeIds = driver.slice(1, strike).map((l) => l.click);
const suireiClicks = await clicks(`${suireiSite.url}?scale=1`, routeIds, routeIds.length);
const anchorClicks = await clicks(anchorSite.url, Array(60).fill('#choices button'), 60);
await suireiSite.close();
await anchorSite.close();

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
md.push('## Load to the first painted page', '');
md.push(`Each load in a fresh browser (cold), from navigation start until the first frame painted after the page says it takes clicks (\`data-game="ready"\`: text and picture up). Median of ${runs}, loads interleaved. The anchor is an inkjs page of the same shape (one scene, one picture, the system font), built by bench/web/anchor.mjs: one file of ${kb(anchor.bytes)}, or a folder over http.`, '');
md.push('| page | from | median | 90th percentile | first contentful paint (median) |', '|---|---|---|---|---|');
configs.forEach(([what, from], c) => {
  md.push(`| ${what} | ${from} | ${ms(median(loads[c].painted))} | ${ms(pct(loads[c].painted, 0.9))} | ${loads[c].fcp.length ? ms(median(loads[c].fcp)) : '—'} |`);
});
md.push(`| the desktop window (Qt, Xvfb) | its folder | ${ms(median(desktop.start))} | ${ms(pct(desktop.start, 0.9))} | — |`);
const ratio = (a, b) => (median(loads[a].painted) / median(loads[b].painted)).toFixed(2);
md.push('', `suirei / anchor, medians of the same run: ${ratio(0, 2)} from file://, ${ratio(1, 3)} over http. On this shared two-core machine the medians of one build move by 20 ms or more from run to run with the other work on it; the ratio within one run is the figure to compare.`);
md.push('', 'Goal: no slower than the anchor. The anchor measured 86 ms (file://) and 118 ms (http) when the goal was set. The desktop window is timed from the start of its process to its first painted frame (its own `SUIREI_BENCH_TRACE`), under one Xvfb server, in the same run.', '');
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
