// The scene pictures, one record each. A picture is fetched (or taken from
// the single file), checked whole and decoded before it is shown; the window
// never shows a scene without its picture. A picture the story needs that is
// missing, damaged or held back stops the game with its name.
import { FileMissing, PictureDamaged } from './errors.js';
import { Source } from './files.js';
import { PngDamage, checkPng } from './png.js';

export class Picture {
  #image = null;

  constructor(file, entry, description = '') {
    this.source = new Source('picture', file, entry);
    this.description = description;
    this.shown = null;  // the decoded <img>, once it is
  }

  get file() { return this.source.name; }

  // The decoded picture, checked whole.
  image() {
    if (!this.#image) this.#image = this.#load();
    return this.#image;
  }

  async #load() {
    const bytes = await this.source.bytes();
    // The browser decodes the picture while the page checks the file.
    const img = new Image();
    img.alt = this.description;
    img.draggable = false;
    img.src = URL.createObjectURL(new Blob([bytes], { type: 'image/png' }));
    const decoded = img.decode().then(() => true, () => false);
    let size;
    try {
      size = await checkPng(bytes);
    } catch (e) {
      if (e instanceof PngDamage) throw new PictureDamaged(this.source, e.message);
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
      if (!p) continue;
      p.description = description;
      if (p.shown) p.shown.alt = description;
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
