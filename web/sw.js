'use strict';
// Keeps the page's files after the first visit, so that it loads and plays
// without the network. scripts/web.sh writes the build's hash into BUILD: a
// new build is a new worker, which fetches the new files afresh and lets go
// of the ones kept before.
const BUILD = 'pikora-@BUILD@';
const FILES = ['./', 'index.html', 'page.css', 'page.js', 'pikora.js', 'pikora.wasm', 'pikora.data',
  'icon.svg', 'manifest.webmanifest', 'licenses.txt'];

self.addEventListener('install', (e) => {
  e.waitUntil(caches.open(BUILD)
    // Asked again of the server, which answers "not modified" for what the
    // page has just loaded: the first visit downloads nothing twice.
    .then((kept) => kept.addAll(FILES.map((f) => new Request(f, { cache: 'no-cache' }))))
    .then(() => self.skipWaiting()));
});

self.addEventListener('activate', (e) => {
  e.waitUntil(caches.keys()
    .then((names) => Promise.all(names.filter((n) => n.startsWith('pikora-') && n !== BUILD).map((n) => caches.delete(n))))
    .then(() => self.clients.claim()));
});

// The kept copy first (the address's options do not matter to the files),
// the network for anything else.
self.addEventListener('fetch', (e) => {
  const req = e.request;
  if (req.method !== 'GET' || new URL(req.url).origin !== self.location.origin) return;
  e.respondWith(caches.open(BUILD)
    .then((kept) => kept.match(req, { ignoreSearch: true }))
    .then((hit) => hit || fetch(req)));
});
