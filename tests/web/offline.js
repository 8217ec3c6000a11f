// The page served over http, as from a course site, by a static server on
// 127.0.0.1 that the test starts and stops: after one visit it opens and
// solves with the server gone, every file it keeps answers, and a changed
// file is seen on the first visit after the change.
"use strict";
const fs = require("fs");
const http = require("http");
const path = require("path");
const { open, expect } = require("./browser.js");

const types = { ".html": "text/html", ".js": "text/javascript", ".css": "text/css", ".webmanifest": "application/manifest+json",
    ".svg": "image/svg+xml", ".png": "image/png" };

// Serves folder until stopped; resolves to the server.
function serve(folder, port = 0) {
    const server = http.createServer((request, response) => {
        const name = decodeURIComponent(new URL(request.url, "http://host").pathname.slice(1)) || "index.html";
        const file = path.join(folder, path.basename(name));
        if (!fs.existsSync(file))
            return response.writeHead(404).end();
        response.writeHead(200, { "content-type": types[path.extname(file)] ?? "application/octet-stream" }).end(fs.readFileSync(file));
    });
    return new Promise(resolve => server.listen(port, "127.0.0.1", () => resolve(server)));
}
const stop = server => new Promise(resolve => (server.close(resolve), server.closeAllConnections()));

async function offline(browser, site, quadratic) {
    let server = await serve(site);
    const address = `http://127.0.0.1:${server.address().port}/`;
    const page = await open(browser, site, { width: 1280, height: 800 }, { address });
    const kept = await page.until(() => navigator.serviceWorker.controller !== null);
    expect("served, the page is kept for offline use", kept && (await page.evaluate(() => document.querySelector("link[rel=manifest]") !== null)));
    // What Chromium asks of a page before it offers to install it.
    const { installabilityErrors: unmet } = await (await page.target().createCDPSession()).send("Page.getInstallabilityErrors");
    expect("served, the page can be put on a home screen", unmet.length === 0, JSON.stringify(unmet));
    await stop(server);

    await page.reload();
    await page.settled("input");
    await page.keyboard.type(quadratic.input);
    const solved = (await page.settled("key", "ended")) === "key";
    await page.checkScreen("offline", quadratic);
    // The worker itself the browser keeps.
    const files = fs.readdirSync(site).filter(file => file !== "service-worker.js");
    const answered = await page.evaluate(files => Promise.all(files.map(file => fetch(file).then(r => r.ok, () => false))), files);
    expect("offline, every file of the page answers", solved && answered.every(Boolean), files.filter((file, k) => !answered[k]).join(", "));

    // A new version: its title changed; the server back on the same port.
    const changed = fs.mkdtempSync(path.join(path.dirname(site), "site-changed-"));
    for (const file of fs.readdirSync(site))
        fs.copyFileSync(path.join(site, file), path.join(changed, file));
    const html = path.join(changed, "index.html");
    fs.writeFileSync(html, fs.readFileSync(html, "utf8").replace("<title>", "<title>Новая версия. "));
    server = await serve(changed, new URL(address).port);
    await page.reload();
    await page.settled("input");
    const title = await page.title();
    expect("the changed file seen on the next visit", title.startsWith("Новая версия."), title);
    await page.close();
    await stop(server);
}

module.exports = { offline };
