// The game's engine, compiled to WebAssembly, and the calls the page makes.
// Each call answers with JSON: the window's description, or what the window
// shows now (state, visible buttons, text, picture, the frames of the strike,
// whether the game has ended, and where the keyboard focus goes). A button is
// named as the engine names it, Command1 to Command12; `focused` is the
// button that has the keyboard focus, or null.
import SuireiEngine from './suirei-engine.js';
import { EngineBroken, EngineRefused } from './errors.js';

const number = (button) => (button ? Number(button.slice('Command'.length)) : 0);

export class Engine {
  #module;

  constructor(module) { this.#module = module; }

  // The engine from its code (the bytes of suirei-engine.wasm).
  static async load(source, wasm) {
    try {
      return new Engine(await SuireiEngine({ wasmBinary: wasm, print() {}, printErr() {} }));
    } catch (e) {
      throw new EngineBroken(source, e);
    }
  }

  #answer(pointer) {
    const reply = JSON.parse(this.#module.UTF8ToString(pointer));
    if (reply.error) throw new EngineRefused(reply.error);
    return reply;
  }

  window() { return this.#answer(this.#module._suirei_window()); }
  // A new game from the opening page, at load and after 終了; nothing is
  // loaded again.
  start() { return this.#answer(this.#module._suirei_start()); }
  click(button, focused) { return this.#answer(this.#module._suirei_click(number(button), number(focused))); }
  // Where the focus goes from `focused`: a click of no button.
  focus(focused) { return this.click(null, focused).focus; }
}
