// Size and place after 終了. The window's size and place during play come
// from the style sheet alone (suirei.css), which lays the window out before
// any script runs. After 終了 the offer to begin again stands beside or below
// the window, outside it, whichever leaves the window larger, both inside the
// notch and home bar; in a view too small for both, the offer comes below the
// window and the page scrolls to it. With ?scale=1 the window stays 1:1 in
// the top-left corner with the offer below it. The page's own controls in
// the corner of the view (the loading note, the fullscreen control) never
// cover the window: where the view leaves them no room beside it, at 1:1 in
// a small view, they give way.

const GAP = 8;          // between the window and the offer, in pixels of the view
const SMALLEST = 0.25;  // the window is never scaled smaller to make room for the offer

const apart = (a, b) => a.right <= b.left || b.right <= a.left || a.bottom <= b.top || b.bottom <= a.top;

export function fit(form, after, oneToOne) {
  const root = document.documentElement;
  for (const p of ['--u', '--left', '--top']) root.style.removeProperty(p);
  root.removeAttribute('data-scroll');
  const bar = document.getElementById('bar');
  bar.removeAttribute('data-covers');
  if (after.hidden) {
    bar.toggleAttribute('data-covers', !apart(bar.getBoundingClientRect(), form.element.getBoundingClientRect()));
    return;
  }

  const { width: W, height: H } = form;
  // The view less the notch and home bar.
  const safe = document.getElementById('safe').getBoundingClientRect();
  const [vw, vh] = [safe.width, safe.height];
  const aw = after.offsetWidth;
  const ah = after.offsetHeight;
  let s = 1, x = 0, y = 0;
  let offer = [GAP, H + GAP];
  let scroll = oneToOne;
  if (!oneToOne) {
    s = Math.min(vw / W, vh / H);
    const right = Math.min((vw - aw - 2 * GAP) / W, vh / H);
    const below = Math.min(vw / W, (vh - ah - 2 * GAP) / H);
    if (Math.max(right, below) >= SMALLEST) {
      const side = right >= below;
      s = side ? right : below;
      x = side ? (vw - W * s - aw - GAP) / 2 : (vw - W * s) / 2;
      y = side ? (vh - H * s) / 2 : (vh - H * s - ah - GAP) / 2;
      offer = side ? [x + W * s + GAP, (vh - ah) / 2] : [(vw - aw) / 2, y + H * s + GAP];
    } else {
      y = 0;
      offer = [(vw - aw) / 2, H * s + GAP];
      scroll = true;
    }
    x = Math.max(0, x) + safe.left;
    y = Math.max(0, y) + safe.top;
    offer = [offer[0] + safe.left, offer[1] + safe.top];
    root.style.setProperty('--u', `${s}px`);
    root.style.setProperty('--left', `${x}px`);
    root.style.setProperty('--top', `${y}px`);
  }
  after.style.left = `${Math.max(0, offer[0])}px`;
  after.style.top = `${Math.max(0, offer[1])}px`;
  root.toggleAttribute('data-scroll', scroll);
}
