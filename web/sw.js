// Plimo's service worker: keeps the builds of the game this browser has played here, so
// that after one visit the page loads and plays without a connection. Only the game's own
// files are kept: nothing about the player, and no request goes anywhere but to the site.
//
// It is the same for every build: a new build needs no new worker, so a page never waits
// for one to install or to take over. A build's folder b/<hash>/ never changes once
// written, so its files are served from the cache once kept. The page asks to keep the
// build it has loaded in full ({ keep: hash }); the worker fetches its build.json, checks
// that it matches the folder's name, then fetches every file it lists and the site's top
// files and keeps the build only when every file matches its SHA-256 (a build kept is
// whole). The top's files (index.html, boot.js, current.json, ...) come from the network
// while there is one, else from the cache, where current.json names the build kept last
// (and the one kept before it, the only other one that stays).
//
// Several copies of the game may share a site under different paths: the caches are named
// by this copy's scope (its address), and only this scope's are ever deleted.
'use strict';
const scope = self.registration.scope;
const cachePrefix = `plimo ${scope} `;
const TopCache = cachePrefix + 'top';
const buildCache = (hash) => cachePrefix + 'build ' + hash;
const TopFiles = ['./', 'index.html', 'boot.js', 'manifest.json', 'LICENSE-fonts.txt',
                  ...[32, 48, 64, 128, 256].map((size) => `icons/plimo-${size}.png`)];
// The network has this long to answer for a top file before the kept one is used.
const NetworkMs = 4000;

self.addEventListener('install', () => self.skipWaiting());
self.addEventListener('activate', (event) => event.waitUntil(self.clients.claim()));

function hex(buffer) {
  return Array.from(new Uint8Array(buffer), (b) => b.toString(16).padStart(2, '0')).join('');
}

// The body of url, when its SHA-256 is sum (or its start is, for a build.json): fetched
// as the browser likes, then once more from the server when it does not match.
async function matching(url, sum) {
  for (const cache of ['default', 'reload']) {
    const response = await fetch(url, { cache });
    if (!response.ok) throw new Error(`${url}: the server answered ${response.status}`);
    const body = await response.arrayBuffer();
    if (hex(await crypto.subtle.digest('SHA-256', body)).startsWith(sum))
      return new Response(body, { status: 200, headers: { 'Content-Type': response.headers.get('Content-Type') || '' } });
  }
  throw new Error(`${url} does not match its hash`);
}

let keeping = Promise.resolve();
async function keepBuild(hash) {
  const cacheName = buildCache(hash);
  if (!(await caches.has(cacheName))) {
    const folder = `b/${hash}/`;
    const list = await matching(folder + 'build.json', hash);
    const build = await list.clone().json();
    const fetched = await Promise.all(Object.entries(build.files).map(async ([name, sum]) => [folder + name, await matching(folder + name, sum)]));
    fetched.push([folder + 'build.json', list]);
    // The top's files as they are now: they are the same for every build, and a half-copied
    // one is no worse kept than served.
    for (const name of TopFiles) {
      const response = await fetch(name, { cache: 'no-cache' });
      if (!response.ok) throw new Error(`${name}: the server answered ${response.status}`);
      fetched.push([name, response]);
    }
    const scratch = await caches.open(cacheName + ' (filling)');
    await Promise.all(fetched.map(([name, response]) => scratch.put(name, response)));
    const cache = await caches.open(cacheName);
    for (const request of await scratch.keys()) {
      const response = await scratch.match(request);
      if (new URL(request.url).pathname.includes('/b/')) await cache.put(request, response);
      else await (await caches.open(TopCache)).put(request, response);
    }
    await caches.delete(cacheName + ' (filling)');
  }
  // current.json of the offline page: this build, and the one kept before it.
  const top = await caches.open(TopCache);
  const before = await top.match('current.json').then((r) => (r ? r.json() : {}), () => ({}));
  const previous = before.current && before.current !== hash ? before.current : before.previous || '';
  await top.put('current.json', new Response(JSON.stringify({ current: hash, previous }), { headers: { 'Content-Type': 'application/json' } }));
  for (const name of await caches.keys()) {
    if (name.startsWith(cachePrefix) && name !== TopCache && name !== cacheName && name !== buildCache(previous))
      await caches.delete(name);
  }
}

self.addEventListener('message', (event) => {
  const hash = event.data && event.data.keep;
  if (typeof hash !== 'string' || !/^[0-9a-f]{16}$/.test(hash)) return;
  const port = event.ports[0];
  keeping = keeping.then(() => keepBuild(hash)).then(() => port && port.postMessage({ kept: hash }), (e) => {
    if (port) port.postMessage({ failed: e.message });
  });
  event.waitUntil(keeping);
});

// A top file from the network while it answers (in time), else the kept one.
async function topFile(request) {
  const network = fetch(request);
  const late = new Promise((resolve) => setTimeout(resolve, NetworkMs, null));
  try {
    const response = await Promise.race([network, late]);
    if (response) return response;
  } catch (e) {
    // no network: the kept copy
  }
  const kept = await caches.match(request, { cacheName: TopCache, ignoreSearch: true });
  return kept || network;
}

self.addEventListener('fetch', (event) => {
  const request = event.request;
  if (request.method !== 'GET' || !request.url.startsWith(scope)) return;
  const inScope = request.url.slice(scope.length).split(/[?#]/)[0];
  const build = /^b\/([0-9a-f]{16})\//.exec(inScope);
  if (build) {
    event.respondWith(caches.open(buildCache(build[1])).then((cache) => cache.match(request, { ignoreSearch: true }))
      .then((kept) => kept || fetch(request)));
  } else {
    event.respondWith(topFile(request));
  }
});
