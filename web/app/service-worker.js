// The site's service worker: after one visit the game plays offline.
//
// The build puts two lines before this: VERSION, the hash of everything the
// site serves, and FILES, every file of the site. All of one build's files
// live in one cache named by its VERSION, so a page never mixes two builds'
// files from the cache. When a new build is served, its worker fills its own
// cache beside the old one and takes over at once; the page already open
// keeps what it has loaded, the next load comes whole from the new build,
// and the old caches are deleted.
/* global VERSION, FILES */
const CACHE = `suirei-${VERSION}`;
// The site's page, asked for as its folder or by name, with or without a
// query (?scale=1, say).
const PAGE = 'index.html';

self.addEventListener('install', (event) => {
  event.waitUntil((async () => {
    const cache = await caches.open(CACHE);
    // Past any HTTP cache: the files of exactly this build.
    await cache.addAll(FILES.map((file) => new Request(file, { cache: 'reload' })));
    await self.skipWaiting();
  })());
});

self.addEventListener('activate', (event) => {
  event.waitUntil((async () => {
    for (const key of await caches.keys()) {
      if (key.startsWith('suirei-') && key !== CACHE) await caches.delete(key);
    }
  })());
});

self.addEventListener('fetch', (event) => {
  const { request } = event;
  const url = new URL(request.url);
  if (request.method !== 'GET' || url.origin !== self.location.origin) return;
  const navigate = request.mode === 'navigate';
  event.respondWith((async () => {
    const cache = await caches.open(CACHE);
    const kept = navigate && url.pathname.endsWith('/')
      ? await cache.match(PAGE)
      : await cache.match(request, { ignoreSearch: navigate });
    return kept ?? fetch(request);
  })());
});
