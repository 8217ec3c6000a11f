// Served over http(s), as from a course site, the page keeps itself for use
// offline (service-worker.js) and offers to be put on a phone's home screen
// (manifest.webmanifest); it says when it was kept, when a new version was
// kept or opened, and when keeping failed. Opened from disk, none of this is
// tried: a browser refuses both there.

const words = {
    kept: "Страница сохранена: она откроется и без сети.",
    waiting: "Сохранена новая версия страницы: она откроется, когда вкладки с этой закроются, или сейчас кнопкой (запуск начнётся заново).",
    opened: "Открыта новая версия страницы.",
    notKept: ({ file, status }) => `Страница не сохранена для работы без сети: ${file ?? "файл"} не получен (${
        status === null ? "нет ответа" : status === 200 ? "пришёл другой файл" : `ответ ${status}`}).`,
};

// What the page's own script is called names its version.
const version = () => document.querySelector("script[src^='page.']")?.getAttribute("src") ?? "";
// The version last opened here, kept where the browser allows it.
function lastVersion(now) {
    try {
        const last = localStorage.getItem("chord-version");
        localStorage.setItem("chord-version", now);
        return last;
    } catch {
        return null;
    }
}

export function keepForOffline() {
    if (!/^https?:$/.test(location.protocol) || !("serviceWorker" in navigator))
        return;
    const link = (rel, href) => document.head.append(Object.assign(document.createElement("link"), { rel, href }));
    link("manifest", "manifest.webmanifest");
    link("apple-touch-icon", "icon-192.png");

    const note = document.getElementById("offline-note");
    const take = document.getElementById("new-version");
    const last = lastVersion(version());
    if (last !== null && last !== version())
        note.textContent = words.opened;
    const workers = navigator.serviceWorker;
    workers.addEventListener("message", ({ data }) => data?.notKept && (note.textContent = words.notKept(data.notKept)));
    workers.startMessages();
    const first = !workers.controller;
    // Without the worker the page works as before, online.
    workers.register("service-worker.js").then(registration => {
        const offer = () => {
            note.textContent = words.waiting;
            take.hidden = false;
        };
        // A worker installed is a version kept: the first, or a new one that
        // waits for the page's tabs to close.
        const watched = new Set();
        const watch = worker => worker && !watched.has(worker) && watched.add(worker) && worker.addEventListener("statechange", () => {
            if (worker.state === "installed" && workers.controller)
                offer();
            else if (worker.state === "activated" && first)
                note.textContent = words.kept;
        });
        if (registration.waiting && workers.controller)
            offer();
        watch(registration.installing);
        registration.addEventListener("updatefound", () => watch(registration.installing));
        take.addEventListener("click", () => {
            workers.addEventListener("controllerchange", () => location.reload());
            registration.waiting?.postMessage("take");
        });
    }, error => console.warn("chord: kept for offline use failed:", error));
}
