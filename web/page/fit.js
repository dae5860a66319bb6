// Size and place. With ?scale=1 the window stands 1:1 in the top-left corner,
// and the page scrolls when the view is smaller. Otherwise the window is as
// large as the view allows, proportions kept, in the middle; the whole window
// is scaled as one piece, so text is drawn afresh at the final size and stays
// sharp. After 終了 the offer to begin again stands beside or below the
// window, outside it, whichever leaves the window larger; in a view too small
// for both, the offer comes below the window and the page scrolls to it.

const GAP = 8;          // between the window and the offer, in pixels of the view
const SMALLEST = 0.25;  // the window is never scaled smaller to make room for the offer

export function fit(form, after, oneToOne) {
  const { width: W, height: H } = form;
  const ended = !after.hidden;
  const view = document.documentElement;
  const vw = view.clientWidth;
  const vh = view.clientHeight;
  const aw = after.offsetWidth;
  const ah = after.offsetHeight;
  let s = 1, x = 0, y = 0;
  let offer = [GAP, H + GAP];
  let scroll = oneToOne;
  if (!oneToOne) {
    s = Math.min(vw / W, vh / H);
    x = (vw - W * s) / 2;
    y = (vh - H * s) / 2;
    if (ended) {
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
    }
    x = Math.max(0, x);
    y = Math.max(0, y);
  }
  after.style.left = `${Math.max(0, offer[0])}px`;
  after.style.top = `${Math.max(0, offer[1])}px`;
  view.toggleAttribute('data-scroll', scroll);
  form.element.style.transform = s === 1 && x === 0 && y === 0 ? '' : `translate(${x}px,${y}px) scale(${s})`;
}
