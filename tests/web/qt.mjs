// The desktop window under a private Xvfb server: started from the native
// build with its pictures beside it, clicked with xdotool as a player clicks,
// photographed with ImageMagick's import.
import { spawn, spawnSync } from 'node:child_process';
import { join, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';

const nativeBin = resolve(process.env.SUIREI_NATIVE_BIN ?? fileURLToPath(new URL('../../build/bin', import.meta.url)));

const sleep = (ms) => new Promise((ok) => setTimeout(ok, ms));

// Whatever this module started ends with the process, even when a test fails
// half-way.
const children = new Set();
process.once('exit', () => { for (const p of children) if (p.exitCode === null) p.kill('SIGTERM'); });

// The centre of each button at the desktop's 1:1 layout.
const CENTRE = {
  Command1: [200, 20], Command2: [200, 52], Command3: [200, 80], Command4: [300, 20],
  Command5: [300, 60], Command6: [300, 100], Command7: [412, 20], Command8: [412, 60],
  Command9: [200, 112], Command10: [376, 100], Command11: [416, 100], Command12: [456, 100],
};

function run(cmd, args, env, timeout = 10_000) {
  const r = spawnSync(cmd, args, { env, timeout, encoding: 'utf8' });
  if (r.status !== 0) throw new Error(`${cmd} ${args.join(' ')}: ${r.stderr || r.error || r.status}`);
  return r.stdout;
}

export async function startXvfb() {
  const xvfb = spawn('Xvfb', ['-displayfd', '3', '-screen', '0', '800x600x24', '-nolisten', 'tcp'],
    { stdio: ['ignore', 'ignore', 'pipe', 'pipe'] });
  children.add(xvfb);
  let err = '';
  xvfb.stderr.on('data', (d) => { err += d; });
  const display = await new Promise((ok, fail) => {
    let got = '';
    const timer = setTimeout(() => fail(new Error(`Xvfb gave no display: ${err}`)), 15_000);
    xvfb.stdio[3].on('data', (d) => {
      got += d;
      if (got.includes('\n')) { clearTimeout(timer); ok(`:${got.trim()}`); }
    });
    xvfb.once('exit', (code) => { clearTimeout(timer); fail(new Error(`Xvfb exited (${code}): ${err}`)); });
  });
  const env = { ...process.env, DISPLAY: display };
  delete env.WAYLAND_DISPLAY;
  for (let i = 0; ; i++) {
    if (spawnSync('xdpyinfo', [], { env, stdio: 'ignore', timeout: 5_000 }).status === 0) break;
    if (i > 100) throw new Error(`Xvfb ${display} does not answer xdpyinfo`);
    await sleep(100);
  }
  return { display, env, stop: () => { xvfb.kill('SIGTERM'); } };
}

// Starts the game on the display; resolves once its window is on screen.
// With the timing trace on, the window says after each click when the click
// reached the screen, which is when the next click may come.
export async function startGame(x) {
  const env = { ...x.env, SUIREI_BENCH_TRACE: '1', QT_QPA_PLATFORM: 'xcb' };
  const started = Date.now();
  const game = spawn(join(nativeBin, 'suirei'), [], { env, stdio: ['ignore', 'ignore', 'pipe'], cwd: '/' });
  children.add(game);
  let painted = 0;
  let log = '';
  game.stderr.on('data', (d) => {
    log += d;
    painted += (d.toString().match(/^click-paint /gm) ?? []).length;
  });
  const win = run('xdotool', ['search', '--sync', '--onlyvisible', '--name', '翠　嶺　秘　抄'], env, 20_000)
    .trim().split('\n')[0];
  const waitPaint = async (count, ms) => {
    for (const t0 = Date.now(); painted < count && Date.now() - t0 < ms;) await sleep(10);
    return painted >= count;
  };
  return {
    win,
    log: () => log,
    // From the start of the process to its first painted frame, and from
    // each mouse release to the paint after it, in ms, as the window says.
    firstPaint: async () => {
      for (const t0 = Date.now(); !/^first-paint /m.test(log) && Date.now() - t0 < 5_000;) await sleep(10);
      return Number(log.match(/^first-paint (\d+)/m)[1]) / 1e6 - started;
    },
    clickPaints: () => [...log.matchAll(/^click-paint (\d+)/gm)].map((m) => Number(m[1]) / 1e6),
    async click(id) {
      const before = painted;
      run('xdotool', ['mousemove', '--window', win, ...CENTRE[id].map(String), 'click', '1'], env);
      if (!(await waitPaint(before + 1, 3_000))) throw new Error(`the window did not repaint after ${id}`);
    },
    shot(file) {
      run('import', ['-window', win, file], env, 20_000);
    },
    stop() { game.kill('SIGTERM'); },
  };
}

// A screenshot's pixels, through ImageMagick: { width, height, rgb }.
export function pixels(file) {
  const [w, h] = run('identify', ['-format', '%w %h', file]).trim().split(' ').map(Number);
  const r = spawnSync('convert', [file, '-alpha', 'off', '-depth', '8', 'rgb:-'], { timeout: 20_000, maxBuffer: 64 << 20 });
  if (r.status !== 0) throw new Error(`convert ${file}: ${r.stderr}`);
  return { width: w, height: h, rgb: r.stdout };
}
