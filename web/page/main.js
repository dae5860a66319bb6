// The page: one more front end of the game, beside the desktop window. It
// draws what the engine (compiled to WebAssembly) says and hands the player's
// clicks back to it. Everything shown in the window — its controls and
// captions, the page text, which buttons are up, which picture, the frames of
// the strike, where the keyboard focus goes — comes from the engine; nothing
// of the story lives here.
import { Engine } from './engine.js';
import { NoWebAssembly, SiteOpenedFromDisk } from './errors.js';
import { showFailure } from './failure.js';
import { Source, fileTable } from './files.js';
import { fit } from './fit.js';
import { loadFont } from './font.js';
import { Form6 } from './form.js';
import { watchInput } from './input.js';
import { phase, setPhase } from './phase.js';
import { Pictures } from './pictures.js';

const oneToOne = new URLSearchParams(location.search).get('scale') === '1';
const after = document.getElementById('after');
const restartButton = document.getElementById('restart');
const sleep = (ms) => new Promise((done) => { setTimeout(done, ms); });

let engine;
let form;
let pictures;

const fail = (e) => { if (phase() !== 'error') showFailure(e); };
const refit = () => { if (form) fit(form, after, oneToOne); };

// Shows an answer of the engine. Its pictures first: when one is still on
// its way, input waits with it, as during the strike. Then the frames of the
// strike, each held as long as the engine says, and what the click left,
// with the keyboard focus where the engine says.
async function show(reply, { focus = true } = {}) {
  const needed = [...reply.frames.map((f) => f.picture), reply.picture].map((file) => pictures.get(file));
  if (needed.some((p) => !p.shown)) {
    setPhase('playing');
    await Promise.all(needed.map((p) => p.image()));
  }
  for (const [i, frame] of reply.frames.entries()) {
    setPhase('playing');
    form.draw(frame);
    form.element.dataset.frame = String(i + 1);
    await sleep(frame.hold);
  }
  delete form.element.dataset.frame;
  form.draw(reply);
  form.element.dataset.state = String(reply.state);
  if (reply.ended) {
    end();
    return;
  }
  setPhase('ready');
  if (focus) form.applyFocus(reply.focus);
}

function click(button) {
  if (phase() !== 'ready') return;
  try {
    show(engine.click(button, form.focusedButton())).catch(fail);
  } catch (e) {
    fail(e);
  }
}

// After 終了 the window dims and takes no input; the offer to begin again
// takes the keyboard.
function end() {
  setPhase('ended');
  form.setOpen(false);
  after.hidden = false;
  refit();
  restartButton.focus();
}

// A new game from the opening page, with nothing loaded again: the engine and
// every picture are here already.
async function restart() {
  if (phase() !== 'ended') return;
  const opening = engine.restart();
  after.hidden = true;
  form.setOpen(true);
  refit();
  await show(opening);
}

async function start() {
  if (typeof globalThis.WebAssembly?.instantiate !== 'function') throw new NoWebAssembly();
  const files = fileTable();
  // A browser reads no file beside a page opened from disk: the site's page
  // needs its server; the single file carries everything.
  if (location.protocol === 'file:' && files.engine.url) throw new SiteOpenedFromDisk();
  const fontReady = loadFont(files.font);
  pictures = new Pictures(files.pictures);
  // The opening picture is checked and decoded while the engine compiles.
  pictures.get(files.opening).image().catch(() => {});
  const code = new Source('engine', 'suirei-engine.wasm', files.engine);
  engine = await Engine.load(code, await code.bytes());

  const description = engine.window();
  pictures.describe(description.pictures);
  form = new Form6(description, pictures, files.font?.family);
  watchInput({ form, restart: restartButton, onClick: click, onFocusLost: () => form.applyFocus(engine.focus(null)) });
  restartButton.addEventListener('click', () => { restart().catch(fail); });
  addEventListener('resize', refit);

  const opening = engine.start();
  await Promise.all([pictures.get(opening.picture).image(), fontReady]);
  form.element.hidden = false;
  refit();
  await show(opening, { focus: false });

  // The other pictures one by one once the first page is on the screen, so
  // that neither its painting nor the player's first click waits for them.
  await new Promise((painted) => { requestAnimationFrame(() => setTimeout(painted, 0)); });
  await pictures.loadAll();
}

// Nothing fails silently: whatever goes wrong is said in #message.
addEventListener('error', (e) => fail(e.error ?? e.message));
addEventListener('unhandledrejection', (e) => fail(e.reason));
// A page cut short has said so already (whole.js).
if (phase() !== 'error') start().catch(fail);
