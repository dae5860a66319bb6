// Whether a PNG file is whole, down to its pixels. A browser draws what it
// can of a damaged picture (a file cut short shows its upper half; pixel data
// that fails to inflate may still load at its full size, drawn white), so the
// page checks for itself: the signature, every chunk up to IEND with its
// checksum, and the pixel data inflated to exactly the size the header gives,
// every row with a valid filter. Returns { width, height }; throws a
// PngDamage that says what is wrong.

import { MAX_BYTES } from './files.js';

export class PngDamage extends Error {}

let crcTable = null;

function crc32(bytes, from, to) {
  if (!crcTable) {
    crcTable = new Uint32Array(256);
    for (let n = 0; n < 256; n++) {
      let c = n;
      for (let k = 0; k < 8; k++) c = c & 1 ? 0xedb88320 ^ (c >>> 1) : c >>> 1;
      crcTable[n] = c;
    }
  }
  let crc = 0xffffffff;
  for (let i = from; i < to; i++) crc = crcTable[(crc ^ bytes[i]) & 0xff] ^ (crc >>> 8);
  return (crc ^ 0xffffffff) >>> 0;
}

const SIGNATURE = [0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a];
const CHANNELS = { 0: 1, 2: 3, 3: 1, 4: 2, 6: 4 };
// Adam7: each pass's first column and row, and its steps.
const PASSES = [[0, 0, 8, 8], [4, 0, 8, 8], [0, 4, 4, 8], [2, 0, 4, 4], [0, 2, 2, 4], [1, 0, 2, 2], [0, 1, 1, 2]];

// The chunks of the file, checked: the header's fields and the pixel data.
function chunks(b) {
  if (b.length < 8 || SIGNATURE.some((x, i) => b[i] !== x)) throw new PngDamage('not a PNG file');
  const view = new DataView(b.buffer, b.byteOffset, b.byteLength);
  const data = [];
  let header = null;
  for (let at = 8; ;) {
    if (at + 12 > b.length) throw new PngDamage('cut short');
    const length = view.getUint32(at);
    const end = at + 8 + length;
    if (end + 4 > b.length) throw new PngDamage('cut short');
    if (crc32(b, at + 4, end) !== view.getUint32(end)) throw new PngDamage(`checksum wrong at byte ${at}`);
    const type = String.fromCharCode(...b.subarray(at + 4, at + 8));
    if (!header && type !== 'IHDR') throw new PngDamage('no header');
    if (type === 'IHDR') {
      header = {
        width: view.getUint32(at + 8), height: view.getUint32(at + 12),
        depth: b[at + 16], colour: b[at + 17], interlaced: b[at + 20] === 1,
      };
    } else if (type === 'IDAT') {
      data.push(b.subarray(at + 8, end));
    } else if (type === 'IEND') {
      return { header, data };
    }
    at = end + 4;
  }
}

// The bytes the pixel data inflates to: each row of each pass with its
// filter byte.
function rawRows({ width, height, depth, colour, interlaced }) {
  const bits = (CHANNELS[colour] ?? 0) * depth;
  if (!bits || !width || !height) throw new PngDamage('a header no picture has');
  if ((width * height * bits) / 8 > MAX_BYTES) throw new PngDamage(`${width} × ${height} pixels, far more than a scene has`);
  const rowBytes = (w) => 1 + Math.ceil((w * bits) / 8);
  if (!interlaced) return Array(height).fill(rowBytes(width));
  const rows = [];
  for (const [x0, y0, dx, dy] of PASSES) {
    const w = Math.ceil((width - x0) / dx);
    const h = Math.ceil((height - y0) / dy);
    if (w > 0 && h > 0) for (let y = 0; y < h; y++) rows.push(rowBytes(w));
  }
  return rows;
}

export async function checkPng(bytes) {
  const { header, data } = chunks(bytes);
  const rows = rawRows(header);
  const expected = rows.reduce((a, b) => a + b, 0);
  if (!data.length) throw new PngDamage('no pixel data');
  if (typeof DecompressionStream === 'function') {
    const inflate = new DecompressionStream('deflate');
    const writer = inflate.writable.getWriter();
    for (const part of data) writer.write(part).catch(() => {});
    writer.close().catch(() => {});
    const reader = inflate.readable.getReader();
    let size = 0;
    let row = 0;
    let rowStart = 0;  // where the current row begins, counted in inflated bytes
    try {
      for (;;) {
        const { done, value } = await reader.read();
        if (done) break;
        // Every row begins with its filter, 0 to 4.
        while (row < rows.length && rowStart < size + value.length) {
          if (value[rowStart - size] > 4) throw new PngDamage(`row ${row} has no valid filter`);
          rowStart += rows[row++];
        }
        size += value.length;
        if (size > expected) throw new PngDamage('more pixel data than the picture holds');
      }
    } catch (e) {
      reader.cancel().catch(() => {});
      throw e instanceof PngDamage ? e : new PngDamage(`pixel data do not inflate (${e.message})`);
    }
    if (size !== expected) throw new PngDamage(`pixel data inflate to ${size} bytes, not ${expected}`);
  }
  return { width: header.width, height: header.height };
}
