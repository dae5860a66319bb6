// The play driver compiled for node against the native one: every route file,
// and the protocol's odd corners, byte for byte.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import { existsSync, readFileSync } from 'node:fs';
import { basename, join, relative } from 'node:path';
import { nativePlay, root, routeFiles, routesDir, webDir } from './harness.mjs';

const nodePlay = join(webDir, 'suirei-play.js');
const compare = join(routesDir, 'compare.sh');

const run = (cmd, args, input) =>
  spawnSync(cmd, args, { input, timeout: 60_000, maxBuffer: 64 << 20 });

function same(input, label, args = []) {
  const a = run(nativePlay, args, input);
  const b = run(process.execPath, [nodePlay, ...args], input);
  assert.strictEqual(b.error, undefined, `${label}: ${b.error}`);
  assert.strictEqual(b.status, a.status, `${label}: exit status (stderr: ${b.stderr})`);
  if (!b.stdout.equals(a.stdout)) {
    const [al, bl] = [a.stdout.toString().split('\n'), b.stdout.toString().split('\n')];
    const i = al.findIndex((l, k) => l !== bl[k]);
    assert.fail(`${label}: standard output differs at line ${i + 1} of ${al.length}\nnative: ${al[i]}\nnode:   ${bl[i] ?? '(nothing)'}`);
  }
  return { a, b };
}

test('the node driver prints what the native driver prints on every route', { timeout: 300_000 }, () => {
  if (existsSync(compare)) {
    // The routes' own comparison script, with its calling convention.
    const r = spawnSync('bash', [compare, relative(root, nativePlay), '--', 'node', relative(root, nodePlay)],
      { cwd: root, timeout: 280_000, encoding: 'utf8' });
    assert.strictEqual(r.status, 0, `compare.sh failed:\n${r.stdout}\n${r.stderr}`);
    return;
  }
  for (const file of routeFiles()) same(readFileSync(file), basename(file));
});

test('the node driver answers bad lines, comments, CR LF and a missing last newline as the native one', () => {
  const input = [
    '# a comment', '', '  続きを読む  ', 'Command9\r', 'no-such-button', 'Command12x',
    '話す', 'Command11', '\t', 'Command9',
  ].join('\n');  // no newline after the last click
  same(Buffer.from(input), 'odd lines');
  same(Buffer.alloc(0), 'no input');
  same(Buffer.from('Command9\nCommand12\nCommand9\n'), 'clicks after quit');
});

test('the node driver refuses arguments as the native one', () => {
  for (const args of [['--help'], ['extra']]) {
    const { a, b } = same(Buffer.alloc(0), args.join(' '), args);
    assert.strictEqual(b.stderr.toString(), a.stderr.toString(), `${args}: usage text`);
  }
});

test('the node driver fails on a closed or full standard stream as the native one, with the same message', () => {
  for (const redirect of ['<&-', '>&-', '>/dev/full', '< /']) {
    const shell = (cmd) => spawnSync('bash', ['-c', `printf 'Command9\\nCommand9\\n' | ${cmd} ${redirect}`], { timeout: 60_000 });
    const [a, b] = [shell(`'${nativePlay}'`), shell(`'${process.execPath}' '${nodePlay}'`)];
    assert.strictEqual(a.status, 1, `${redirect}: the native driver fails`);
    assert.strictEqual(b.status, a.status, `${redirect}: exit status`);
    assert.strictEqual(b.stderr.toString(), a.stderr.toString(), `${redirect}: standard error`);
    assert.ok(b.stdout.equals(a.stdout), `${redirect}: standard output`);
  }
});
