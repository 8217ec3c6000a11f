// Keeps the page's few files, so that after one visit it opens and runs
// with the network gone. The network comes first, so that a new version is
// used on the first visit that reaches it; the kept copy stands in when the
// network fails, or is so slow that waiting longer helps nobody.
const files = ["./", "index.html", "page.js", "page.css", "chord.js", "manifest.webmanifest", "icon.svg", "icon-192.png", "icon-512.png"];
const store = "chord";
const patience = 4000; // ms before a kept copy is taken instead

self.addEventListener("install", event => {
    event.waitUntil(
        caches
            .open(store)
            .then(cache => cache.addAll(files.map(file => new Request(file, { cache: "no-cache" }))))
            .then(() => self.skipWaiting()),
    );
});

self.addEventListener("activate", event => event.waitUntil(self.clients.claim()));

self.addEventListener("fetch", event => {
    const url = new URL(event.request.url);
    if (event.request.method !== "GET" || url.origin !== location.origin)
        return;
    url.hash = "";
    const kept = caches.match(url.href, { ignoreSearch: true });
    const fresh = fetch(url.href, { cache: "no-cache" }).then(response => {
        if (response.ok) {
            const copy = response.clone();
            event.waitUntil(caches.open(store).then(cache => cache.put(url.href, copy)));
        }
        return response;
    });
    event.respondWith(
        new Promise(resolve => {
            const fallBack = () => kept.then(response => response && resolve(response));
            const timer = setTimeout(fallBack, patience);
            fresh.then(resolve, () => {
                clearTimeout(timer);
                kept.then(response => resolve(response ?? Response.error()));
            });
        }),
    );
});
