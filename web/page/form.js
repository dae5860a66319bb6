// The game's window, Form6. The page arrives with it drawn: the build made
// its markup from the engine's layout table and from the opening page as
// start-up leaves it (web/prerender.cpp), so the window stands before the
// engine has loaded. Here the page takes hold of that window, control by
// control in the engine's tab order, draws on it what the engine says the
// window shows and puts the keyboard focus where the engine says; it decides
// nothing itself.
//
// T1 is a <textarea>: its value is the engine's page text with every CR LF
// turned into LF, since a text box keeps line breaks as LF alone. P1 is named
// for screen readers by what its picture shows; a button the engine
// describes (「1」 and 「2」, by the line that says what each means) carries
// that description while it is shown.
import { PageIncomplete } from './errors.js';

export class Form6 {
  constructor(description, pictures) {
    this.width = description.width;
    this.height = description.height;
    this.pictures = pictures;
    this.element = document.getElementById('Form6');
    this.buttons = new Map();
    for (const c of description.controls) {
      const el = document.getElementById(c.name);
      if (!el || el.parentElement !== this.element) throw new PageIncomplete();
      if (c.kind === 'picture') this.P1 = el;
      else if (c.kind === 'text') this.T1 = el;
      else this.buttons.set(c.name, el);
    }
  }

  // A page of the engine's answer, or a frame of the strike: the picture
  // (decoded already), the text and the shown buttons.
  draw(view) {
    const picture = this.pictures.get(view.picture);
    if (this.P1.firstElementChild !== picture.shown) this.P1.replaceChildren(picture.shown);
    this.P1.dataset.file = view.picture;
    this.P1.setAttribute('aria-label', picture.description);
    const text = view.text.replaceAll('\r\n', '\n');
    if (this.T1.value !== text) this.T1.value = text;
    this.T1.scrollTop = 0;
    this.T1.scrollLeft = 0;
    for (const [name, button] of this.buttons) {
      button.hidden = !view.visible.includes(name);
      const description = view.described?.[name];
      if (description) button.setAttribute('aria-description', description);
      else button.removeAttribute('aria-description');
    }
  }

  // The shown button that has the keyboard focus, or null.
  focusedButton() {
    const el = document.activeElement;
    for (const [name, button] of this.buttons) if (button === el && !button.hidden) return name;
    return null;
  }

  // The engine's focus decision: stay, move to a button, or none (the window
  // keeps the focus, on no button).
  applyFocus(decision) {
    if (decision.kind === 'move') this.buttons.get(decision.to).focus({ preventScroll: true });
    else if (decision.kind === 'none') this.element.focus({ preventScroll: true });
  }

  // After 終了 nothing in the window takes input; a new game opens it again.
  setOpen(open) {
    this.element.inert = !open;
    if (open) this.element.removeAttribute('aria-disabled');
    else this.element.setAttribute('aria-disabled', 'true');
    for (const button of this.buttons.values()) button.disabled = !open;
  }
}
