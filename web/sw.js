// Plimo's service worker: keeps every file of this build of the site in the browser, so
// that after one visit the page loads and plays without a connection. The cache is named
// by the build's content hash; a new build (a new sw.js) fetches its files anew and
// deletes the caches of older builds. Only the game's own files are kept: nothing about
// the player, and no request goes anywhere but to the site itself.
'use strict';
const cacheName = 'plimo-@PLIMO_BUILD_HASH@';
const siteFiles = [@PLIMO_SITE_FILES@];

self.addEventListener('install', (event) => {
  event.waitUntil((async () => {
    const cache = await caches.open(cacheName);
    // Revalidated rather than fetched again: right after the page's own load this costs
    // a short "not modified" answer per file, not a second download.
    await Promise.all(siteFiles.map(async (name) => {
      const response = await fetch(name, { cache: 'no-cache' });
      if (!response.ok) throw new Error(`${name}: ${response.status}`);
      await cache.put(name, response);
    }));
    await self.skipWaiting();
  })());
});

self.addEventListener('activate', (event) => {
  event.waitUntil((async () => {
    for (const name of await caches.keys())
      if (name.startsWith('plimo-') && name !== cacheName) await caches.delete(name);
    await self.clients.claim();
  })());
});

// The site's files come from the cache, the rest (there is nothing else) from the network.
self.addEventListener('fetch', (event) => {
  const request = event.request;
  if (request.method !== 'GET' || new URL(request.url).origin !== self.location.origin) return;
  event.respondWith((async () => {
    const cache = await caches.open(cacheName);
    return (await cache.match(request, { ignoreSearch: true })) || fetch(request);
  })());
});
