// hitblow in a browser: the service worker, which keeps every file of the site so that the game plays offline.
//
// Files come from the network while it answers, and the cache keeps them, so
// a new release plays at the next visit; without it, from the cache.  The
// cache is named after the site's folder and contents: a new release brings
// a new cache, and the old one is dropped.
'use strict';

// SITE, the site's files and a digest of their contents, is written in
// after 'use strict' when the site is built (cmake/service_worker.cmake).
const CACHE_PREFIX = `hitblow ${self.registration.scope} `;
const CACHE = CACHE_PREFIX + SITE.version;
const NETWORK_WAIT_MS = 4000; // how long a request waits for the network before the cache answers

self.addEventListener('install', (event) => {
    event.waitUntil((async () => {
        const cache = await caches.open(CACHE);
        // Checked with the server, not fetched again: what the first visit
        // has just fetched comes back as "not modified", and costs nothing.
        await cache.addAll(SITE.files.map((file) => new Request(file, {cache: 'no-cache'})));
        await self.skipWaiting();
    })());
});

self.addEventListener('activate', (event) => {
    event.waitUntil((async () => {
        for (const name of await caches.keys()) {
            if (name.startsWith(CACHE_PREFIX) && name !== CACHE)
                await caches.delete(name);
        }
        await self.clients.claim();
    })());
});

// Resolves to the network's response, which the cache keeps; rejects when
// there is no network or it does not answer in time.
async function fromNetwork(request)
{
    const response = await Promise.race([
        fetch(request),
        new Promise((resolve, reject) => setTimeout(reject, NETWORK_WAIT_MS)),
    ]);
    if (response.ok) {
        const copy = response.clone();
        caches.open(CACHE).then((cache) => cache.put(request, copy));
    }
    return response;
}

async function fromCache(request)
{
    const cache = await caches.open(CACHE);
    const response = await cache.match(request, {ignoreSearch: true});
    return response || Response.error();
}

self.addEventListener('fetch', (event) => {
    const request = event.request;
    if (request.method !== 'GET' || new URL(request.url).origin !== self.location.origin)
        return;
    event.respondWith(fromNetwork(request).catch(() => fromCache(request)));
});
