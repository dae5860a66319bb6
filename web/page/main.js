// The page: one more front end of the game, beside the desktop window. It
// draws what the engine (compiled to WebAssembly) says and hands the player's
// clicks back to it. Everything shown in the window — its controls and
// captions, the page text, which buttons are up, which picture, the frames of
// the strike, where the keyboard focus goes — comes from the engine; nothing
// of the story lives here. The page arrives with the opening page drawn (the
// build made it from the engine); clicks made before the engine is in are
// carried out once it is (early.js).
import { offerFullscreen, registerWorker } from './app.js';
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

const oneToOne = document.documentElement.dataset.scale === '1';
const after = document.getElementById('after');
const restartButton = document.getElementById('restart');
const spoken = document.getElementById('spoken');
const sleep = (ms) => new Promise((done) => { setTimeout(done, ms); });

let engine;
let form;
let pictures;
let font = { ready: Promise.resolve(), in: true };

// A screen reader hears each new page once, through the polite live region:
// its text alone, without the blank lines between slots, as the engine says
// it. T1 keeps the engine's text exactly.
function announce(text) {
  if (text && spoken.textContent !== text) spoken.textContent = text;
}

const fail = (e) => { if (phase() !== 'error') showFailure(e); };
const refit = () => { if (form) fit(form, after, oneToOne); };

// Shows an answer of the engine. Its pictures first: when one is still on
// its way, input waits with it, as during the strike. Then the frames of the
// strike, each held as long as the engine says, and what the click left,
// with the keyboard focus where the engine says.
async function show(reply, { focus = true } = {}) {
  const needed = [...reply.frames.map((f) => f.picture), reply.picture].map((file) => pictures.get(file));
  if (needed.some((p) => !p.shown) || !font.in) {
    setPhase('playing');
    await Promise.all([...needed.map((p) => p.image()), font.ready]);
  }
  for (const [i, frame] of reply.frames.entries()) {
    setPhase('playing');
    form.draw(frame);
    form.element.dataset.frame = String(i + 1);
    announce(frame.spoken);
    await sleep(frame.hold);
  }
  delete form.element.dataset.frame;
  form.draw(reply);
  form.element.dataset.state = String(reply.state);
  announce(reply.spoken);
  if (reply.ended) {
    end();
    return;
  }
  setPhase('ready');
  if (focus) form.applyFocus(reply.focus);
}

async function click(button, focused = form.focusedButton()) {
  if (phase() !== 'ready') return;
  try {
    await show(engine.click(button, focused));
  } catch (e) {
    fail(e);
  }
}

// After 終了 the window dims and takes no input; the offer to begin again
// takes the keyboard, and a screen reader hears that the game has ended.
// The keyboard stays free: Tab leaves the offer and comes back to it.
function end() {
  setPhase('ended');
  form.setOpen(false);
  after.hidden = false;
  refit();
  restartButton.focus();
  announce(document.getElementById('after-note').textContent);
}

// A new game from the opening page, with nothing loaded again: the engine and
// every picture are here already.
async function restart() {
  if (phase() !== 'ended') return;
  const opening = engine.start();
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
  pictures = new Pictures(files.pictures);
  const code = new Source('engine', 'suirei-engine.wasm', files.engine);
  engine = await Engine.load(code, await code.bytes());

  const description = engine.window();
  pictures.describe(description.pictures);
  form = new Form6(description, pictures);
  watchInput({ form, onClick: click, onFocusLost: () => form.applyFocus(engine.focus(null)) });
  restartButton.addEventListener('click', () => { restart().catch(fail); });
  addEventListener('resize', refit);

  // The engine's opening page is the one the page came with: drawing it
  // changes nothing on the screen. The focus is where the page put it, on the
  // button that moves the story on, unless the player has moved it.
  const opening = engine.start();
  await pictures.get(opening.picture).image();
  await show(opening, { focus: !form.focusedButton() });
  // The opening page has its glyphs already; the full font, asked for once
  // the game takes clicks, is awaited by the first page that needs it.
  font = { ready: loadFont(files.font), in: false };
  font.ready.then(() => { font.in = true; });
  for (const { button, focused } of globalThis.suireiEarly?.ready() ?? []) {
    if (phase() === 'ready' && !form.buttons.get(button)?.hidden) await click(button, focused);
  }
  offerFullscreen(document.getElementById('fullscreen'));
  refit();
  if (files.worker) registerWorker(files.worker);

  // The other pictures one by one once the first page is on the screen, so
  // that neither its painting nor the player's first click waits for them.
  await painted();
  await pictures.loadAll();
}

// Nothing fails silently: whatever goes wrong is said in #message.
addEventListener('error', (e) => fail(e.error ?? e.message));
addEventListener('unhandledrejection', (e) => fail(e.reason));
// A page cut short has said so already (whole.js). The opening page is
// painted without any script, so the engine starts loading at once.
const painted = () => new Promise((done) => { requestAnimationFrame(() => setTimeout(done, 0)); });
if (phase() !== 'error') start().catch(fail);
