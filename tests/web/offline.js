// The page served over http, as from a course site, by a static server on
// 127.0.0.1 that the test starts and stops: after one visit it opens and
// solves with the server gone, every file it keeps answers, and a changed
// file is seen on the first visit after the change.
"use strict";
const assert = require("node:assert/strict");
const fs = require("fs");
const http = require("http");
const path = require("path");

const types = { ".html": "text/html", ".js": "text/javascript", ".css": "text/css", ".webmanifest": "application/manifest+json",
    ".svg": "image/svg+xml", ".png": "image/png" };

// Serves folder until stopped, as answers (changed as the test goes) says:
// failing, files answered 503 with a page of the host's; redirect, whether
// /index.html is sent to the folder. Another page of the site, other.html,
// and a range of a file's bytes it serves as such a site does. Resolves to
// the server.
function serve(folder, port = 0, answers = {}) {
    const server = http.createServer((request, response) => {
        const { pathname } = new URL(request.url, "http://host");
        const name = path.basename(decodeURIComponent(pathname)) || "index.html";
        const file = path.join(folder, name);
        if (answers.redirect && pathname.endsWith("/index.html"))
            return response.writeHead(301, { location: "./" }).end();
        if (answers.failing?.includes(name) || name === "other.html")
            return response.writeHead(name === "other.html" ? 200 : 503, { "content-type": "text/html" }).end("<p>the host's page</p>");
        if (!fs.existsSync(file) || fs.statSync(file).isDirectory())
            return response.writeHead(404).end();
        const type = { "content-type": types[path.extname(file)] ?? "application/octet-stream" };
        const range = /^bytes=(\d+)-(\d+)$/.exec(request.headers.range ?? "");
        if (range)
            return response.writeHead(206, type).end(fs.readFileSync(file).subarray(Number(range[1]), Number(range[2]) + 1));
        response.writeHead(200, type).end(fs.readFileSync(file));
    });
    return new Promise(resolve => server.listen(port, "127.0.0.1", () => resolve(server)));
}
const stop = server => new Promise(resolve => (server.close(resolve), server.closeAllConnections()));

// solve(page): types an equation there and checks what the screen shows.
async function offline(browser, site, solve) {
    const answers = {};
    let server = await serve(site, 0, answers);
    const address = `http://127.0.0.1:${server.address().port}/`;
    const page = await browser.open(site, { width: 1280, height: 800 }, { address });
    assert.ok(await page.until(() => navigator.serviceWorker.controller !== null && $("link[rel=manifest]")), "kept for offline use");
    // What Chromium asks of a page before it offers to install it.
    const { installabilityErrors } = await (await page.puppeteer.target().createCDPSession()).send("Page.getInstallabilityErrors");
    assert.deepEqual(installabilityErrors, []);

    // Another page of the site, a range of bytes and a query: the first two
    // answered by the site, none kept, the file kept whole and once.
    const size = fs.statSync(path.join(site, "chord.js")).size;
    assert.deepEqual(await page.eval(async size => {
        const [other, range] = [await fetch("other.html"), await fetch("chord.js", { headers: { range: "bytes=0-9" } })];
        await fetch("index.html?utm_source=course");
        const kept = (await (await caches.open("chord")).keys()).map(request => request.url.slice(location.origin.length));
        return [other.status, range.status, (await range.arrayBuffer()).byteLength, (await (await caches.match("chord.js")).arrayBuffer()).byteLength === size,
            kept.filter(url => !/^\/(|index\.html|[\w-]+\.(js|css|webmanifest|svg|png))$/.test(url))];
    }, size), [200, 206, 10, true, []]);
    // A server error, then a host that sends /index.html to /: the page is
    // the kept copy, and then the one it is sent to.
    answers.failing = ["index.html"];
    await page.puppeteer.reload();
    assert.equal(await page.settled("input"), "input");
    [answers.failing, answers.redirect] = [[], true];
    await page.goto(`${address}index.html`);
    assert.equal(await page.settled("input"), "input");
    assert.equal(await page.eval(() => location.pathname), "/");
    await stop(server);

    await page.puppeteer.reload();
    await page.settled("input");
    await solve(page);
    // The worker itself the browser keeps.
    const files = fs.readdirSync(site).filter(file => file !== "service-worker.js");
    const answered = await page.eval(files => Promise.all(files.map(file => fetch(file).then(r => r.ok, () => false))), files);
    assert.deepEqual(files.filter((file, k) => !answered[k]), [], "offline, every file of the page answers");

    // A new version: its title changed; the server back on the same port.
    const changed = fs.mkdtempSync(path.join(path.dirname(site), "site-changed-"));
    fs.cpSync(site, changed, { recursive: true });
    const html = path.join(changed, "index.html");
    fs.writeFileSync(html, fs.readFileSync(html, "utf8").replace("<title>", "<title>Новая версия. "));
    server = await serve(changed, new URL(address).port);
    await page.puppeteer.reload();
    await page.settled("input");
    assert.match(await page.puppeteer.title(), /^Новая версия\./);
    await page.close();
    await stop(server);
}

module.exports = { offline };
