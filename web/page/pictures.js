// The scene pictures, one record each: drawings the browser draws sharp at
// whatever size the window is shown. A picture is fetched (or taken from the
// single file), checked whole and decoded before it is shown; the window
// never shows a scene without its picture. The opening picture comes inside
// the page, drawn in P1 from the start. A picture the story needs that is
// missing, damaged or held back stops the game with its name.
import { FileMissing, PictureDamaged } from './errors.js';
import { Source } from './files.js';
import { SvgDamage, checkSvg } from './svg.js';

export class Picture {
  #image = null;

  constructor(file, entry) {
    this.source = new Source('picture', file, entry);
    this.description = '';  // what it shows, once the engine has said
    this.shown = null;  // the decoded <img>, once it is
    // The <img> the page came with, for the picture inside it.
    this.inline = entry.inline ? document.querySelector('#P1 > img') : null;
  }

  // The decoded picture, checked whole.
  image() {
    if (!this.#image) this.#image = this.#load();
    return this.#image;
  }

  async #load() {
    if (this.inline) {
      // On the screen already, unless it failed to decode.
      const drawn = this.inline.complete && this.inline.naturalWidth > 0;
      if (!drawn && !(await this.inline.decode().then(() => true, () => false))) throw new PictureDamaged(this.source, 'does not decode');
      this.shown = this.inline;
      return this.inline;
    }
    const bytes = await this.source.bytes();
    // The browser decodes the picture while the page checks the file.
    const img = new Image();
    img.alt = '';
    img.draggable = false;
    img.src = URL.createObjectURL(new Blob([bytes], { type: 'image/svg+xml' }));
    const decoded = img.decode().then(() => true, () => false);
    let size;
    try {
      size = checkSvg(bytes);
    } catch (e) {
      if (e instanceof SvgDamage) throw new PictureDamaged(this.source, e.message);
      throw e;
    }
    if (!(await decoded)) throw new PictureDamaged(this.source, 'does not decode');
    if (img.naturalWidth !== size.width || img.naturalHeight !== size.height) {
      throw new PictureDamaged(this.source, `decodes to ${img.naturalWidth} × ${img.naturalHeight}`);
    }
    this.shown = img;
    return img;
  }
}

// Every scene picture, by the file name the engine uses.
export class Pictures {
  #all = new Map();

  constructor(entries) {
    for (const [file, entry] of Object.entries(entries)) this.#all.set(file, new Picture(file, entry));
  }

  // What each picture shows, from the engine's window description.
  describe(pictures) {
    for (const { file, description } of pictures) {
      const p = this.#all.get(file);
      if (p) p.description = description;
    }
  }

  get(file) {
    const p = this.#all.get(file);
    if (!p) throw new FileMissing(new Source('picture', file, {}));
    return p;
  }

  // Every picture in turn, after the ones the player sees first.
  async loadAll() {
    for (const p of this.#all.values()) await p.image();
  }
}
