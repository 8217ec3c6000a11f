// Served over http(s), as from a course site, the page keeps itself for use
// offline (service-worker.js) and offers to be put on a phone's home screen
// (manifest.webmanifest). Opened from disk, none of this is tried: a browser
// refuses both there.
export function keepForOffline() {
    if (!/^https?:$/.test(location.protocol) || !("serviceWorker" in navigator))
        return;
    const link = (rel, href) => document.head.append(Object.assign(document.createElement("link"), { rel, href }));
    link("manifest", "manifest.webmanifest");
    link("apple-touch-icon", "icon-192.png");
    // Without it the page works as before, online.
    navigator.serviceWorker.register("service-worker.js").catch(error => console.warn("chord: kept for offline use failed:", error));
}
