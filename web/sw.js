// Plimo's service worker: keeps every file of this build of the site in the browser, so
// that after one visit the page loads and plays without a connection. Only the game's own
// files are kept: nothing about the player, and no request goes anywhere but to the site.
//
// A build is kept whole or not at all. The worker knows the SHA-256 of each of its
// build's files and installs only when every file it fetched matches: an update being
// copied onto the server (in whatever order) leaves the build before it, complete, serving
// until the copy is complete. A new build installed while a page of the old one runs
// waits; the page asks it to take over only before its game starts (page.js), and then
// loads again, so that a page never runs files of two builds together.
//
// Several copies of the game may share a site under different paths: the cache is named
// by this copy's scope (its address) and build, and only older builds of the same scope
// are deleted.
'use strict';
const build = '@PLIMO_BUILD_HASH@';
const siteFiles = {@PLIMO_SITE_FILES@
};
const cachePrefix = `plimo ${self.registration.scope} `;
const cacheName = cachePrefix + build;

function hex(buffer) {
  return Array.from(new Uint8Array(buffer), (b) => b.toString(16).padStart(2, '0')).join('');
}

self.addEventListener('install', (event) => {
  event.waitUntil((async () => {
    // Revalidated rather than fetched again: right after the page's own load this costs
    // a short "not modified" answer per file, not a second download.
    const fetched = await Promise.all(Object.keys(siteFiles).map(async (name) => {
      const response = await fetch(name, { cache: 'no-cache' });
      if (!response.ok) throw new Error(`${name}: the server answered ${response.status}`);
      const body = await response.arrayBuffer();
      if (hex(await crypto.subtle.digest('SHA-256', body)) !== siteFiles[name])
        throw new Error(`${name} is not this build's (an update still being copied?)`);
      return [name, new Response(body, { status: response.status, statusText: response.statusText, headers: response.headers })];
    }));
    const cache = await caches.open(cacheName);
    await Promise.all(fetched.map(([name, response]) => cache.put(name, response)));
  })());
});

// The page of an older build, before its game starts, asks the new one to take over.
self.addEventListener('message', (event) => {
  if (event.data === 'take over') self.skipWaiting();
});

self.addEventListener('activate', (event) => {
  event.waitUntil((async () => {
    for (const name of await caches.keys())
      if (name.startsWith(cachePrefix) && name !== cacheName) await caches.delete(name);
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
