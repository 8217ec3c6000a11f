// Keeps the page's few files, so that after one visit it opens and runs
// with the network gone. The network comes first, so that a new version is
// used on the first visit that reaches it; the kept copy stands in when the
// network fails, or is so slow that waiting longer helps nobody.
const files = ["./", "index.html", "page.js", "drawing.js", "page.css", "chord.js", "manifest.webmanifest", "icon.svg", "icon-192.png", "icon-512.png"];
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
    const fresh = fetch(url.href, { cache: "no-cache" });
    // Kept as it comes, also where the kept copy was taken meanwhile; the
    // copy made before the page reads the answer.
    event.waitUntil(
        fresh.then(response => {
            const copy = response.clone();
            return response.ok && caches.open(store).then(cache => cache.put(url.href, copy));
        }, () => {}),
    );
    const kept = caches.match(url.href, { ignoreSearch: true });
    event.respondWith(
        new Promise(resolve => {
            setTimeout(() => kept.then(response => response && resolve(response)), patience);
            fresh.then(resolve, () => kept.then(response => resolve(response ?? Response.error())));
        }),
    );
});
