// Whether a scene drawing is whole. A browser draws what it can of a damaged
// drawing, or nothing at all without a word, so the page checks for itself:
// UTF-8 text throughout, well-formed, an SVG drawing with a size. Returns
// { width, height }; throws an SvgDamage that says what is wrong.

export class SvgDamage extends Error {}

const SVG = 'http://www.w3.org/2000/svg';

export function checkSvg(bytes) {
  let text;
  try {
    text = new TextDecoder('utf-8', { fatal: true }).decode(bytes);
  } catch {
    throw new SvgDamage('is not UTF-8 text');
  }
  const drawing = new DOMParser().parseFromString(text, 'image/svg+xml');
  const error = drawing.getElementsByTagName('parsererror')[0];
  if (error) throw new SvgDamage(`is not well-formed: ${error.textContent.trim().split('\n')[0]}`);
  const root = drawing.documentElement;
  if (root.localName !== 'svg' || root.namespaceURI !== SVG) throw new SvgDamage('is not an SVG drawing');
  const width = Number(root.getAttribute('width'));
  const height = Number(root.getAttribute('height'));
  if (!(width > 0 && height > 0)) throw new SvgDamage('gives no width and height');
  return { width, height };
}
