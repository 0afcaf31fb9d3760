// Keeps the page's files so that, after one visit, it plays without the
// network. The network comes first, so a player always gets the build the
// server has; the cache is for when it cannot be reached. tools/web.sh names
// the cache after a digest of the build, and a new build's worker drops the
// older caches as it takes over.
'use strict';
const name = 'quillmoor-BUILD_ID';
const files = ['./', 'index.html', 'quillmoor.js', 'quillmoor.wasm', 'quillmoor.data', 'quillmoor.png',
  'manifest.webmanifest', 'icon-192.png', 'icon-512.png'];
// A file by its address without the query, which carries the game's settings.
const kept = (url) => { const u = new URL(url); u.search = ''; return u.href; };
const ours = new Set(files.map((file) => new URL(file, location).href));

self.addEventListener('install', (event) => event.waitUntil(caches.open(name)
  .then((cache) => cache.addAll(files.map((file) => new Request(file, { cache: 'no-cache' }))))
  .then(() => self.skipWaiting())));

self.addEventListener('activate', (event) => event.waitUntil(caches.keys()
  .then((keys) => Promise.all(keys.filter((key) => key.startsWith('quillmoor-') && key !== name).map((key) => caches.delete(key))))
  .then(() => self.clients.claim())));

self.addEventListener('fetch', (event) => {
  const request = event.request, key = kept(request.url);
  if (request.method !== 'GET' || !ours.has(key)) return;
  event.respondWith(fetch(request, { cache: 'no-cache' }).then((response) => {
    if (response.ok) {
      const copy = response.clone();
      event.waitUntil(caches.open(name).then((cache) => cache.put(key, copy)));
    }
    return response;
  }, () => caches.match(key, { cacheName: name }).then((stored) => stored || Response.error())));
});
