// The page served over http, as from a course site, by a server of the
// test's own on 127.0.0.1, each walk on a port (an origin) of its own: kept
// whole for use offline and only its own files; a host that redirects, fails,
// plays a login page or lacks a file; a new version taken whole while one of
// its files comes slowly.
"use strict";
const assert = require("node:assert/strict");
const { execFileSync } = require("child_process");
const fs = require("fs");
const http = require("http");
const os = require("os");
const path = require("path");

const types = { ".html": "text/html", ".js": "text/javascript", ".css": "text/css", ".webmanifest": "application/manifest+json",
    ".svg": "image/svg+xml", ".png": "image/png" };
const login = "<title>Wi-Fi login</title><p>Войдите в сеть";

// Serves host.folder until stopped, as host (changed as the walk goes) says:
// redirect, /index.html sent to the folder; failing, every answer a 503;
// portal, every answer a login page; lost, { name, status }: a file answered
// by the host's page with that status; held, { name, asked }: the file whose
// name matches waits until the function given to asked is called (or 20 s).
// Another page under the folder, other.html, and a range of a file's bytes
// it serves as such a site does; what it does not find it notes in
// host.missed.
function serve(host) {
    const server = http.createServer((request, response) => {
        const { pathname } = new URL(request.url, "http://host");
        const name = path.basename(decodeURIComponent(pathname)) || "index.html";
        const file = path.join(host.folder, name);
        const status = host.failing ? 503 : host.lost?.name.test(name) ? host.lost.status : host.portal || name === "other.html" ? 200 : 0;
        if (status)
            return response.writeHead(status, { "content-type": "text/html" }).end(login);
        if (host.redirect && pathname.endsWith("/index.html"))
            return response.writeHead(301, { location: "./" }).end();
        if (!fs.existsSync(file))
            return (host.missed ??= []).push(name) && response.writeHead(404).end();
        const type = { "content-type": types[path.extname(file)] ?? "application/octet-stream" };
        const range = /^bytes=(\d+)-(\d+)$/.exec(request.headers.range ?? "");
        if (range)
            return response.writeHead(206, type).end(fs.readFileSync(file).subarray(Number(range[1]), Number(range[2]) + 1));
        const answer = () => response.writeHead(200, type).end(fs.readFileSync(file));
        if (!host.held?.name.test(name))
            return answer();
        const timer = setTimeout(answer, 20000);
        host.held.asked(() => (clearTimeout(timer), answer()));
    });
    servers.add(server);
    return new Promise(resolve => server.listen(0, "127.0.0.1", () => resolve(server)));
}
const servers = new Set();
const stop = server => new Promise(resolve => (servers.delete(server), server.close(resolve), server.closeAllConnections()));

const notes = {
    kept: /^Страница сохранена: она откроется и без сети\.$/,
    waiting: /^Сохранена новая версия страницы/,
    opened: /^Открыта новая версия страницы\.$/,
};
const noted = async (page, note) => assert.ok(await page.until(source => new RegExp(source).test($("#offline-note").textContent), note.source),
    `the note says ${note}, not "${await page.eval(() => $("#offline-note").textContent)}"`);
// A version's files, each named by its content but the page: what the worker
// keeps, nothing besides; and what the page loads of them.
const listed = folder => fs.readdirSync(folder).filter(file => file !== "service-worker.js").sort();
const loadedOf = folder => listed(folder).filter(file => !/^(index\.html|icon-512\..*)$/.test(file));
async function loaded(page) {
    assert.equal(await page.settled("input"), "input");
    assert.ok(await page.until(() => $("script[src^='drawing.']")), "the drawing's script loaded");
    return page.eval(() => [...document.querySelectorAll("script[src], link[href]")].map(e => e.getAttribute("src") ?? e.getAttribute("href")).sort());
}
const kept = page => page.eval(async () => (await caches.keys()).includes("chord-page")
    ? (await (await caches.open("chord-page")).keys()).map(request => new URL(request.url).pathname.slice(1)).sort() : []);

// A walk on an origin of its own: host's server, and the page opened there
// once the note says what keeping it came to.
async function visit(browser, site, host, note = notes.kept) {
    host.folder ??= site;
    const server = await serve(host);
    const address = `http://127.0.0.1:${server.address().port}/`;
    const page = await browser.open(site, { width: 1280, height: 800 }, { address });
    await noted(page, note);
    return { page, server, address };
}

const walks = {
    async "kept whole and only its own, installable; a 503 or a login page never replaces it"(browser, site, solve) {
        const host = {};
        const { page, server } = await visit(browser, site, host);
        const { installabilityErrors } = await (await page.puppeteer.target().createCDPSession()).send("Page.getInstallabilityErrors");
        assert.deepEqual(installabilityErrors, []);
        assert.deepEqual(await loaded(page), loadedOf(site));
        assert.equal(host.missed, undefined, "nothing asked for is missing, a favicon neither");
        // Another page under the folder, a range of bytes, a query: the site
        // answers the first two; the version is kept once, nothing besides.
        assert.deepEqual(await page.eval(async script => {
            const [other, range] = [await fetch("other.html"), await fetch(script, { headers: { range: "bytes=0-9" } })];
            await fetch("index.html?utm_source=course");
            return [other.status, range.status, (await range.arrayBuffer()).byteLength];
        }, listed(site).find(file => file.startsWith("chord."))), [200, 206, 10]);
        assert.deepEqual(await kept(page), listed(site));
        // A round mask keeps the circle of 40 % of the side: beyond it the
        // largest icon is its background only.
        assert.equal(await page.eval(async icon => {
            const context = new OffscreenCanvas(512, 512).getContext("2d");
            context.drawImage(await createImageBitmap(await (await fetch(icon)).blob()), 0, 0);
            const { data } = context.getImageData(0, 0, 512, 512);
            return data.filter((value, k) => k % 4 === 0 && Math.hypot((k / 4) % 512 - 255.5, Math.floor(k / 2048) - 255.5) > 204.8
                && Math.abs(value - 0x0b) + Math.abs(data[k + 1] - 0x4f) + Math.abs(data[k + 2] - 0x9c) > 6).length;
        }, listed(site).find(file => file.startsWith("icon-512."))), 0, "pixels drawn beyond the safe zone");
        for (const answer of ["failing", "portal"]) {
            host[answer] = true;
            assert.equal(await page.eval(() => navigator.serviceWorker.ready.then(r => r.update()).then(() => "updated", () => "refused")), "refused");
            await page.puppeteer.reload();
            assert.deepEqual(await loaded(page), loadedOf(site), answer);
            host[answer] = false;
        }
        await stop(server);
        await page.puppeteer.reload();
        await solve(page);
    },

    async "a host that sends index.html to the folder: kept, and opens offline"(browser, site) {
        const { page, server, address } = await visit(browser, site, { redirect: true });
        await stop(server);
        await page.goto(`${address}index.html`);
        assert.deepEqual(await loaded(page), loadedOf(site));
    },

    async "a file answered 404, or by a login page: nothing kept, and the page says which and what came"(browser, site) {
        for (const [status, told] of [[404, "ответ 404"], [200, "пришёл другой файл"]]) {
            const { page } = await visit(browser, site, { lost: { name: /^icon-512\./, status } },
                new RegExp(`^Страница не сохранена для работы без сети: icon-512\\.\\w+\\.png не получен \\(${told}\\)\\.$`));
            assert.equal(await page.eval(() => navigator.serviceWorker.controller), null);
        }
    },

    // The new version changes the page's script and style sheet together,
    // and its script comes slowly.
    async "a new version, slow to come, is taken whole"(browser, site, solve, tests) {
        const changed = fs.mkdtempSync(path.join(os.tmpdir(), "chord-new-version-"));
        fs.cpSync(path.join(site, "..", "built"), path.join(changed, "built"), { recursive: true });
        for (const file of ["page.js", "page.css"])
            fs.appendFileSync(path.join(changed, "built", file), "\n/* a new version */\n");
        const fresh = path.join(changed, "site");
        execFileSync(process.execPath, [path.join(tests, "..", "web", "version_site.js"), path.join(changed, "built"), fresh]);

        const host = {};
        const { page } = await visit(browser, site, host);
        // What the worker before versions kept.
        await page.eval(async () => (await caches.open("chord")).put("page.js", new Response("")));
        const asked = new Promise(resolve => (host.held = { name: /^page\.\w+\.js$/, asked: resolve }));
        host.folder = fresh;
        await page.puppeteer.reload();
        const release = await asked;
        await page.puppeteer.reload();
        assert.deepEqual(await loaded(page), loadedOf(site), "the old version whole while the new one is held");
        release();
        await noted(page, notes.waiting);
        await page.click("#new-version");
        await noted(page, notes.opened);
        assert.deepEqual(await loaded(page), loadedOf(fresh), "the new version whole");
        assert.deepEqual(await kept(page), listed(fresh));
        assert.deepEqual(await page.eval(() => caches.keys()), ["chord-page"]);
    },
};

// However a walk ends, its page is closed and its servers stopped.
for (const [name, walk] of Object.entries(walks))
    walks[name] = (browser, ...rest) => {
        const pages = [];
        const opening = { ...browser, open: (...args) => browser.open(...args).then(page => (pages.push(page), page)) };
        return walk(opening, ...rest).finally(() => Promise.all([...pages.map(page => page.close()), ...[...servers].map(stop)]));
    };

module.exports = { walks };
