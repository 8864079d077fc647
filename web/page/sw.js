// Keeps the page's files, so that after the first visit the page opens and answers with no
// network. One cache per version of the page and per folder it is served from; an older
// version's cache goes when this one takes over.
const prefix = `renpin ${self.registration.scope} `;
const cacheName = `${prefix}{{version}}`;
// make-page fills in the list of files.
// clang-format off
const files = {{files}};
// clang-format on

self.addEventListener('install', (event) => {
    event.waitUntil(
        caches.open(cacheName).then((cache) => cache.addAll(files)).then(() => self.skipWaiting()));
});

self.addEventListener('activate', (event) => {
    event.waitUntil(
        caches.keys()
            .then(
                (names) => Promise.all(
                    names.filter((name) => name.startsWith(prefix) && name !== cacheName)
                        .map((name) => caches.delete(name))))
            .then(() => self.clients.claim()));
});

self.addEventListener('fetch', (event) => {
    if (event.request.method !== 'GET') {
        return;
    }
    event.respondWith(caches.open(cacheName)
                          .then((cache) => cache.match(event.request, {ignoreSearch: true}))
                          .then((kept) => kept ?? fetch(event.request)));
});
