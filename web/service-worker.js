// Keeps one whole version of the page for use offline. Its list of files
// (written in by version_site.js) names each by its content, so a new
// version is a new list: the browser finds this script changed, and the new
// worker keeps every file of it, or none, beside the version in use. It takes
// over when no tab shows the page any more, or when the page asks (its
// button "Открыть новую версию"), and lets the old files go then. Workbox's
// precaching does the keeping; the worker says which answers count.
import { PrecacheController } from "workbox-precaching";

const scope = new URL("./", location.href);
// The file a URL under the folder names; the folder itself is the page.
const fileOf = href => {
    const url = new URL(href);
    if (url.origin !== scope.origin || !url.pathname.startsWith(scope.pathname))
        return null;
    return decodeURIComponent(url.pathname.slice(scope.pathname.length)) || "index.html";
};

// A file is kept only as itself: 200 and this origin's; HTML for the page
// alone (for any other file it is a host's error or login page); not marked
// never to be stored; not sent elsewhere, but for the page sent to the
// folder, as a host that serves / for /index.html does.
const isFile = (response, file) => response.status === 200 && response.type === "basic"
    && /^text\/html/.test(response.headers.get("content-type") ?? "") === (file === "index.html")
    && !/no-store/.test(response.headers.get("cache-control") ?? "")
    && (!response.redirected || (file === "index.html" && fileOf(response.url) === file));
const keeper = new PrecacheController({
    cacheName: "chord-page",
    plugins: [{ cacheWillUpdate: ({ request, response }) => (isFile(response, fileOf(request.url)) ? response : null) }],
});
keeper.addToCacheList(self.__WB_MANIFEST);

// A version not kept is said on the pages open: which file, and what came.
const tellNotKept = error => self.clients.matchAll({ includeUncontrolled: true, type: "window" }).then(pages => {
    const { url, status } = error.details ?? {};
    for (const page of pages)
        page.postMessage({ notKept: { file: url ? fileOf(url) : null, status: status ?? null } });
});
self.addEventListener("install", event => event.waitUntil(keeper.install(event).catch(error => tellNotKept(error).then(() => Promise.reject(error)))));
// Also what the worker before versions kept, under the name "chord".
self.addEventListener("activate", event => event.waitUntil(keeper.activate(event)
    .then(() => caches.delete("chord"))
    .then(() => self.clients.claim())));
self.addEventListener("message", event => event.data === "take" && self.skipWaiting());

// Only the page's own files, from what was kept; every other request under
// the folder, and a request for a range of bytes, goes to the network as if
// there were no worker.
self.addEventListener("fetch", event => {
    const { request } = event;
    const file = fileOf(request.url);
    const key = file === null ? undefined : keeper.getCacheKeyForURL(new URL(file, scope).href);
    if (request.method !== "GET" || key === undefined || request.headers.has("range"))
        return;
    event.respondWith(caches.open(keeper.strategy.cacheName).then(cache => cache.match(key)).then(kept => kept ?? fetch(request)));
});
