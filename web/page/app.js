// The page as an app: the service worker that keeps the site for play
// offline, and the fullscreen control outside the window.

// The site's service worker (web/app/service-worker.js), once the game is
// up, so that it takes nothing from the first load. A browser that refuses
// it (a private window, say) plays on without it; only the console says so.
export function registerWorker(url) {
  if (!('serviceWorker' in navigator) || !/^https?:$/.test(location.protocol)) return;
  navigator.serviceWorker.register(url).catch((e) => {
    console.warn(`the game will not be kept for play offline: ${e.message}`);
  });
}

// The fullscreen control, where the browser allows fullscreen: it shows the
// whole page, the window as large as the screen allows, and takes it back.
export function offerFullscreen(button) {
  if (!document.fullscreenEnabled || matchMedia('(display-mode: fullscreen)').matches) return;
  button.title = button.getAttribute('aria-label');
  const label = () => {
    button.setAttribute('aria-pressed', String(Boolean(document.fullscreenElement)));
  };
  button.addEventListener('click', () => {
    const change = document.fullscreenElement
      ? document.exitFullscreen()
      : document.documentElement.requestFullscreen({ navigationUI: 'hide' });
    change.catch((e) => { console.warn(`fullscreen: ${e.message}`); });
  });
  document.addEventListener('fullscreenchange', label);
  label();
  button.hidden = false;
}
