// The game's window, Form6, built from the engine's description of it: its
// size, colour and font, and every control in tab order at its place with
// its caption. It draws what the engine says the window shows and puts the
// keyboard focus where the engine says; it decides nothing itself.
//
// T1 is a <textarea>: its value is the engine's page text with every CR LF
// turned into LF, since a text box keeps line breaks as LF alone.

const px = (n) => `${n}px`;

function place(el, [x, y, width, height]) {
  Object.assign(el.style, { left: px(x), top: px(y), width: px(width), height: px(height) });
}

export class Form6 {
  // `fontFamily`: the page's own font, first choice before the window's list.
  constructor(description, pictures, fontFamily) {
    const { title, width, height, background, font, controls } = description;
    this.width = width;
    this.height = height;
    this.pictures = pictures;
    this.element = document.getElementById('Form6');
    this.buttons = new Map();
    const form = this.element;
    form.setAttribute('aria-label', title);
    form.tabIndex = -1;
    Object.assign(form.style, { width: px(width), height: px(height), backgroundColor: `rgb(${background.join(',')})` });
    const root = document.documentElement.style;
    root.setProperty('--font-pixels', px(font.pixels));
    root.setProperty('--line-height', px(font.lineHeight));
    root.setProperty('--page-margin', px(font.margin));
    const families = fontFamily ? [fontFamily, ...font.families] : font.families;
    root.setProperty('--fonts', [...families.map((f) => JSON.stringify(f)), 'sans-serif'].join(', '));

    for (const c of controls) {
      let el;
      if (c.kind === 'picture') {
        el = this.P1 = document.createElement('div');
        el.setAttribute('role', 'img');
      } else if (c.kind === 'text') {
        el = this.T1 = document.createElement('textarea');
        Object.assign(el, { readOnly: true, spellcheck: false, tabIndex: -1 });
        el.setAttribute('wrap', 'off');
      } else {
        el = document.createElement('button');
        el.type = 'button';
        el.hidden = true;
        el.textContent = c.caption;
        this.buttons.set(c.name, el);
      }
      el.id = c.name;
      if (c.label !== c.caption) el.setAttribute('aria-label', c.label);
      place(el, c.rect);
      form.append(el);
    }
  }

  // A page of the engine's answer, or a frame of the strike: the picture
  // (decoded already), the text and the shown buttons.
  draw(view) {
    const img = this.pictures.get(view.picture).shown;
    if (this.P1.firstChild !== img) this.P1.replaceChildren(img);
    this.P1.dataset.file = view.picture;
    this.T1.value = view.text.replaceAll('\r\n', '\n');
    this.T1.scrollTop = 0;
    this.T1.scrollLeft = 0;
    for (const [name, button] of this.buttons) button.hidden = !view.visible.includes(name);
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
