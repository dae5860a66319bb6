// The player's mouse and keyboard around the window's own buttons:
//  - while the frames of the strike play (or a picture is on its way), every
//    key and click is dropped, and a press that began then is no click when
//    it is released later; the browser's own shortcuts (Ctrl+R, Ctrl+W, F5…)
//    always pass;
//  - after 終了 only the offer to begin again takes input;
//  - Enter held down presses a button once, as Space does;
//  - a click on the page text, the picture or anywhere around the buttons
//    leaves the keyboard focus where the engine says, so that Space goes on
//    reading, as it does on the desktop.
import { phase } from './phase.js';

export function watchInput({ form, restart, onClick, onFocusLost }) {
  const element = form.element;
  let pressedWhileBusy = false;

  const drop = (e) => {
    e.preventDefault();
    e.stopImmediatePropagation();
  };
  const busy = () => phase() === 'playing' || phase() === 'ended';

  const onKey = (e) => {
    if (!busy()) return;
    if (phase() === 'ended' && e.target === restart) return;
    if (e.ctrlKey || e.metaKey || e.altKey || /^F\d+$/.test(e.key)) return;
    drop(e);
  };
  for (const type of ['keydown', 'keyup', 'keypress']) addEventListener(type, onKey, true);

  element.addEventListener('keydown', (e) => {
    if (e.repeat && e.key === 'Enter') e.preventDefault();
  });

  addEventListener('pointerdown', (e) => {
    pressedWhileBusy = phase() !== 'ready' && element.contains(e.target);
    if (phase() === 'playing') drop(e);
  }, true);

  addEventListener('click', (e) => {
    const lateRelease = pressedWhileBusy;
    pressedWhileBusy = false;
    if (element.contains(e.target) && (phase() !== 'ready' || lateRelease)) drop(e);
  }, true);

  element.addEventListener('click', (e) => {
    const button = e.target.closest('button');
    if (button) onClick(button.id);
  });

  // A click anywhere but on a button: the text box takes the focus (or the
  // page does), and no button has it any more. Text the player selects in
  // the text box keeps it, to be copied.
  addEventListener('click', (e) => {
    if (phase() !== 'ready' || e.target.closest('button')) return;
    const t1 = form.T1;
    if (e.target === t1 && t1.selectionStart !== t1.selectionEnd) return;
    if (!form.focusedButton()) onFocusLost();
  });
}
