// Keeps the page's few files, so that after one visit it opens and runs
// with the network gone. The network comes first, so that a new version is
// used on the first visit that reaches it; the kept copy stands in when the
// network fails, answers with anything but the file itself (an error, a
// redirect elsewhere), or is so slow that waiting longer helps nobody. Only
// the page's own files are kept, each once whatever its query; every other
// request under the folder, and any request for a range of bytes, goes to
// the network as if there were no worker.
const files = ["", "index.html", "page.js", "drawing.js", "page.css", "chord.js", "manifest.webmanifest", "icon.svg", "icon-192.png", "icon-512.png"];
const store = "chord";
const patience = 4000; // ms before a kept copy is taken instead
const scope = new URL("./", location.href);
// An answer in HTML is a copy of the page itself only: for any other file it
// is a host's error or login page.
const isPage = file => file === "" || file.endsWith(".html");

self.addEventListener("install", event => {
    event.waitUntil(
        caches
            .open(store)
            .then(cache => cache.addAll(files.map(file => new Request(new URL(file, scope), { cache: "no-cache" }))))
            .then(() => self.skipWaiting()),
    );
});

// Whatever else an earlier worker kept (other pages under the folder, a copy
// for each query) is let go.
self.addEventListener("activate", event => {
    const own = files.map(file => new URL(file, scope).href);
    event.waitUntil(caches.open(store)
        .then(cache => cache.keys().then(kept => Promise.all(kept.filter(request => !own.includes(request.url)).map(request => cache.delete(request)))))
        .then(() => self.clients.claim()));
});

// Whether a response is the file itself, to keep and to show: 200, this
// origin's, not redirected, HTML only for the page, not marked never to be
// stored.
const isFile = (response, file) => response.status === 200 && response.type === "basic" && !response.redirected
    && /^text\/html/.test(response.headers.get("content-type") ?? "") === isPage(file)
    && !/no-store/.test(response.headers.get("cache-control") ?? "");

self.addEventListener("fetch", event => {
    const { request } = event;
    const url = new URL(request.url);
    const file = url.pathname.startsWith(scope.pathname) ? decodeURIComponent(url.pathname.slice(scope.pathname.length)) : null;
    if (request.method !== "GET" || url.origin !== scope.origin || !files.includes(file) || request.headers.has("range"))
        return;
    const key = new URL(file, scope).href;
    // A page the host sends elsewhere (/index.html to /) is followed by the
    // browser, as without the worker.
    const fresh = fetch(key, { cache: "no-cache", redirect: request.mode === "navigate" ? "manual" : "follow" });
    // Kept as it comes, also where the kept copy was taken meanwhile; the
    // copy made before the page reads the answer.
    event.waitUntil(fresh.then(response => {
        const copy = response.clone();
        return isFile(response, file) && caches.open(store).then(cache => cache.put(key, copy));
    }, () => {}));
    const kept = caches.match(key);
    event.respondWith(
        new Promise(resolve => {
            setTimeout(() => kept.then(response => response && resolve(response)), patience);
            fresh.then(response => (isFile(response, file) || response.type === "opaqueredirect" ? resolve(response)
                : kept.then(copy => resolve(copy ?? response))), () => kept.then(response => resolve(response ?? Response.error())));
        }),
    );
});
