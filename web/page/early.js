// The window from the moment it is drawn, before the engine has loaded. The
// build puts this classic script at the top of the page, ahead of the window's
// markup, so that it works at once:
//  - ?scale=1 is marked on <html> (data-scale) before the window is drawn;
//  - a click on a button of the window while the engine loads is kept, in
//    order, and carried out once the engine is ready (main.js takes the
//    clicks with suireiEarly.ready()): never lost, never carried out twice;
//  - on a touch screen, each shown button answers a tap in the empty space
//    around it, up to REACH pixels of the window's layout (never less than
//    FINGER pixels of the page), and a tap between two buttons goes to the
//    nearer one. What is drawn does not change. This stays for the whole game.
(() => {
  const root = document.documentElement;
  if (new URLSearchParams(location.search).get('scale') === '1') root.dataset.scale = '1';

  const REACH = 8;
  const FINGER = 12;

  // The shown button nearest to a tap at (x, y) within reach, or null.
  const nearest = (form, x, y) => {
    const unit = form.getBoundingClientRect().width / Number(getComputedStyle(root).getPropertyValue('--width'));
    let reach = Math.max(REACH * unit, FINGER);
    let found = null;
    for (const b of form.children) {
      if (b.localName !== 'button' || b.hidden || b.disabled) continue;
      const r = b.getBoundingClientRect();
      const d = Math.hypot(Math.max(r.left - x, 0, x - r.right), Math.max(r.top - y, 0, y - r.bottom));
      if (d < reach) {
        reach = d;
        found = b;
      }
    }
    return found;
  };

  const kept = [];
  let loading = true;
  // A browser whose click is a plain mouse event does not say what made it;
  // the pointer that went down before it does.
  let pointer = '';
  addEventListener('pointerdown', (e) => { pointer = e.pointerType; }, true);
  addEventListener('click', (e) => {
    const form = document.getElementById('Form6');
    if (!form) return;
    if (e.target === form && (e.pointerType ?? pointer) === 'touch') {
      const b = nearest(form, e.clientX, e.clientY);
      if (b) {
        e.preventDefault();
        e.stopImmediatePropagation();
        b.click();
      }
    } else if (loading && e.target.localName === 'button' && e.target.parentElement === form) {
      e.preventDefault();
      e.stopImmediatePropagation();
      const f = document.activeElement;
      kept.push({ button: e.target.id, focused: f?.localName === 'button' && f.parentElement === form ? f.id : null });
    }
  }, true);

  globalThis.suireiEarly = {
    // The clicks made so far, in order; from now on the page takes them.
    ready() {
      loading = false;
      return kept.splice(0);
    },
  };
})();
