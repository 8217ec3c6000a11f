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

// Serves folder until stopped; resolves to the server.
function serve(folder, port = 0) {
    const server = http.createServer((request, response) => {
        const file = path.join(folder, path.basename(decodeURIComponent(new URL(request.url, "http://host").pathname)) || "index.html");
        if (!fs.existsSync(file) || fs.statSync(file).isDirectory())
            return response.writeHead(404).end();
        response.writeHead(200, { "content-type": types[path.extname(file)] ?? "application/octet-stream" }).end(fs.readFileSync(file));
    });
    return new Promise(resolve => server.listen(port, "127.0.0.1", () => resolve(server)));
}
const stop = server => new Promise(resolve => (server.close(resolve), server.closeAllConnections()));

// solve(page): types an equation there and checks what the screen shows.
async function offline(browser, site, solve) {
    let server = await serve(site);
    const address = `http://127.0.0.1:${server.address().port}/`;
    const page = await browser.open(site, { width: 1280, height: 800 }, { address });
    assert.ok(await page.until(() => navigator.serviceWorker.controller !== null && $("link[rel=manifest]")), "kept for offline use");
    // What Chromium asks of a page before it offers to install it.
    const { installabilityErrors } = await (await page.puppeteer.target().createCDPSession()).send("Page.getInstallabilityErrors");
    assert.deepEqual(installabilityErrors, []);
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
