// The anchor the browser edition is measured against: a page built on inkjs,
// a general-purpose web story runtime, showing one scene of the game's shape
// (one picture, a page of text, a button to read on) in the system font.
// Its pages are the game's first pages as the native driver prints them,
// compiled to ink at bench time. Built twice: one self-contained file, and a
// folder for the local server.
import { spawnSync } from 'node:child_process';
import { mkdirSync, readFileSync, writeFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { join } from 'node:path';

const require = createRequire(import.meta.url);

// Escapes what ink would read as markup.
const inkLine = (s) => s.replace(/[\\{}|[\]#~*+\-=<>/]/g, (c) => `\\${c}`);

export function buildAnchor({ out, pages, picture }) {
  const { Compiler } = require('inkjs/full');
  let source = '-> p0\n';
  pages.forEach((text, i) => {
    source += `=== p${i} ===\n`;
    for (const line of text.split('\r\n')) if (line.trim()) source += `${inkLine(line)}\n`;
    source += `* [▶] -> p${(i + 1) % pages.length}\n`;
  });
  const story = new Compiler(source).Compile().ToJson();
  const runtime = readFileSync(require.resolve('inkjs'), 'utf8');
  const png = spawnSync('convert', [picture, 'png:-'], { maxBuffer: 16 << 20 });
  if (png.status !== 0) throw new Error(`convert ${picture}: ${png.stderr}`);

  const style = `body{margin:0;background:#ff8080;font:13px sans-serif}
#w{position:relative;width:477px;height:284px}
#pic{position:absolute;left:8px;top:0;width:145px;height:121px;border:1px solid #000;box-sizing:border-box}
#text{position:absolute;left:8px;top:128px;width:449px;height:153px;background:#fff;border:1px solid #888;box-sizing:border-box;padding:2px;margin:0;white-space:pre;line-height:13px}
#choices{position:absolute;left:160px;top:96px}
button{width:81px;height:25px}`;
  const play = (load) => `
(async () => {
  const story = new inkjs.Story(${load});
  const text = document.getElementById('text');
  const choices = document.getElementById('choices');
  const show = () => {
    let s = '';
    while (story.canContinue) s += story.Continue();
    text.textContent = s;
    choices.textContent = '';
    story.currentChoices.forEach((c) => {
      const b = document.createElement('button');
      b.textContent = c.text;
      b.onclick = () => { story.ChooseChoiceIndex(c.index); show(); };
      choices.appendChild(b);
    });
  };
  await document.getElementById('pic').decode();
  show();
  document.documentElement.dataset.game = 'ready';
})();`;

  // The page, with its picture at `img`, the runtime's <script> and the story
  // from `load`.
  const page = (img, runtimeScript, load) => `<!doctype html><html lang="ja"><meta charset="utf-8"><title>anchor</title><style>${style}</style>
<div id="w"><img id="pic" alt="" src="${img}"><pre id="text"></pre><div id="choices"></div></div>
${runtimeScript}<script>${play(load)}</script></html>`;

  mkdirSync(join(out, 'site'), { recursive: true });
  const single = page(`data:image/png;base64,${png.stdout.toString('base64')}`, `<script>${runtime}</script>`, JSON.stringify(story));
  writeFileSync(join(out, 'anchor.html'), single);
  writeFileSync(join(out, 'site', 'index.html'), page('scene.png', '<script src="ink.js"></script>', "await (await fetch('story.json')).text()"));
  writeFileSync(join(out, 'site', 'ink.js'), runtime);
  writeFileSync(join(out, 'site', 'story.json'), story);
  writeFileSync(join(out, 'site', 'scene.png'), png.stdout);
  return { single: join(out, 'anchor.html'), site: join(out, 'site'), bytes: Buffer.byteLength(single) };
}
