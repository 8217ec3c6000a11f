// The page opened in headless Chromium from disk, with what the walks need:
// its state, its screen, keys as users press them (also with a Russian
// layout), and waits for states, never for a time.
"use strict";
const fs = require("fs");
const os = require("os");
const path = require("path");

const failures = [];
// Records a failure unless good; returns whether good.
const expect = (what, good, detail = "") => Boolean(good) || (failures.push(`${what}${detail && `:\n${detail}`}`), false);
// Generous: a loaded machine is slow, and a wait ends at the state anyway.
const patience = 60000;

// What the terminal shows of a case typed, the rows a line wraps into
// joined: the transcript with the input echoed behind the order prompt, a
// tab echoed as a blank.
function screenOf(c, input = c.input) {
    const prompt = "Задайте порядок уравнения: ";
    const at = c.transcript.indexOf(prompt) + prompt.length;
    return (c.transcript.slice(0, at) + input.replace(/\t/g, " ") + c.transcript.slice(at)).replace(/\n+$/, "");
}

// An engine as the walks drive it, puppeteer-core from modules: Debian's
// Chromium as root with no network of its own; Firefox ESR over WebDriver
// BiDi, which gives no touch, no key with a layout's own letter, and saves
// downloads in folder; WebKit over classic WebDriver (webdriver.js). What
// an engine cannot be made to do is said where a walk asks for it.
async function launch(engine, modules, folder = os.tmpdir(), options = {}) {
    const puppeteer = require(path.resolve(modules, "puppeteer-core"));
    const browser = engine === "webkit" ? await require("./webdriver.js").launch()
        : engine === "firefox" ? await puppeteer.launch({ browser: "firefox", executablePath: "/usr/bin/firefox-esr", headless: true,
            extraPrefsFirefox: { "browser.download.dir": path.resolve(folder), "browser.download.folderList": 2 } })
        : await puppeteer.launch({ executablePath: "/usr/bin/chromium", headless: true, ...options,
            userDataDir: fs.mkdtempSync(path.join(os.tmpdir(), "chord-chromium-")),
            args: ["--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run", "--disable-background-networking",
                "--disable-component-update", "--disable-sync"] });
    return Object.assign(browser, { engine });
}

// oldBrowser: without what browsers after Safari 15, the oldest the page
// serves, brought; hash: the page's address ends with it.
// address: where the page is served, instead of from disk.
async function open(browser, site, view, { oldBrowser = false, hash = "", address = null } = {}) {
    const page = await browser.newPage();
    page.engine = browser.engine;
    await page.setViewport(view);
    if (oldBrowser) {
        await page.evaluateOnNewDocument(() => {
            for (const [owner, name] of [[Array.prototype, "at"], [String.prototype, "at"], [Object, "hasOwn"], [Array.prototype, "findLast"],
                [Array.prototype, "findLastIndex"], [globalThis, "structuredClone"], [Array.prototype, "toSorted"]])
                delete owner[name];
        });
    }
    page.on("pageerror", error => failures.push(`page error: ${error.message}`));
    // Long tasks, for the check that nothing freezes the page; the
    // dialogue's text as lines, the rows a line wraps into joined.
    await page.evaluateOnNewDocument(() => {
        window.dialogueLines = () => {
            const buffer = document.getElementById("terminal").terminal.buffer.active;
            let text = "";
            for (let k = 0; k < buffer.length; ++k)
                text += (k > 0 && !buffer.getLine(k).isWrapped ? "\n" : "") + buffer.getLine(k).translateToString(true);
            return text.replace(/\n+$/, "");
        };
        // A picture's pixels, as RGBA.
        window.pixelsOf = async source => {
            const picture = Object.assign(new Image(), { src: source });
            await picture.decode();
            const canvas = Object.assign(document.createElement("canvas"), { width: picture.width, height: picture.height });
            canvas.getContext("2d").drawImage(picture, 0, 0);
            return canvas.getContext("2d").getImageData(0, 0, picture.width, picture.height);
        };
        window.longTasks = [];
        new PerformanceObserver(list => window.longTasks.push(...list.getEntries().map(e => ({ at: e.startTime, ms: e.duration }))))
            .observe({ type: "longtask" });
        // The WebAssembly compiled: from bytes, not from a compiled module.
        window.compilations = 0;
        for (const name of ["compile", "compileStreaming", "instantiate", "instantiateStreaming"]) {
            const real = WebAssembly[name];
            WebAssembly[name] = (source, ...rest) => ((source instanceof WebAssembly.Module) || ++window.compilations, real.call(WebAssembly, source, ...rest));
        }
        WebAssembly.Module = new Proxy(WebAssembly.Module, { construct: (real, made) => (++window.compilations, new real(...made)) });
        // Last, as it can only be set up before the page's scripts run: what
        // the solver's hook tells the page, each search's polynomial.
        let create = null;
        Object.defineProperty(window, "createChord", { get: () => create, set: made => (create = options => {
            const { searchStarted } = options.pageConsole.observer;
            window.hooked = [];
            options.pageConsole.observer.searchStarted = (...told) => (window.hooked.push(told[0]), searchStarted(...told));
            return made(options);
        }) });
    });
    await page.goto(address ?? "file://" + path.resolve(site, "index.html") + hash);
    // Chromium's own protocol gives touch and a key with a layout's own letter.
    const cdp = browser.engine === "chromium" ? await page.target().createCDPSession() : null;
    page.state = () => page.evaluate(() => document.body.dataset.state);
    page.status = () => page.evaluate(() => document.body.dataset.status);
    page.settled = (...states) => page.waitForFunction(states => states.includes(document.body.dataset.state),
        { timeout: patience }, states).then(() => page.state());
    // Until the page has done what it was doing: two frames and a task.
    page.quiet = () => page.evaluate(() => new Promise(resolve => requestAnimationFrame(() => requestAnimationFrame(() => setTimeout(resolve)))));
    // Until expression, in the page, gives the same five frames running.
    page.still = expression => page.until(expression => {
        const now = JSON.stringify(new Function(`return ${expression}`)());
        [window.still, window.last] = [window.last === now ? window.still + 1 : 0, now];
        return window.still >= 5;
    }, expression);
    page.until = (test, arg) => page.waitForFunction(test, { timeout: patience, polling: "raf" }, arg).then(() => true, () => false);
    // The middle of an element, scrolled into view.
    page.middle = selector => page.$eval(selector, element => {
        element.scrollIntoView({ block: "center" });
        const box = element.getBoundingClientRect();
        return [box.x + box.width / 2, box.y + box.height / 2];
    });
    page.text = selector => page.$eval(selector, element => element.textContent);
    page.press = async key => {
        const [name, times = 1] = key.split("*");
        const keys = name.split("+");
        for (let k = 0; k < times; ++k) {
            for (const held of keys.slice(0, -1))
                await page.keyboard.down(held);
            // The space bar by its key, which WebDriver knows too.
            await page.keyboard.press(keys[keys.length - 1] === "Space" ? " " : keys[keys.length - 1]);
            for (const held of keys.slice(0, -1).reverse())
                await page.keyboard.up(held);
        }
    };
    // Ctrl and a letter with a Russian layout: the key is Cyrillic, its code
    // says where it is on the keyboard.
    // Elsewhere the key is the Latin one at that place.
    page.russianControl = async (letter, code) => {
        if (!cdp)
            return page.press(`Control+${code}`);
        await page.keyboard.down("Control");
        const key = { key: letter, code, modifiers: 2, windowsVirtualKeyCode: code.charCodeAt(3) };
        await cdp.send("Input.dispatchKeyEvent", { type: "rawKeyDown", ...key });
        await cdp.send("Input.dispatchKeyEvent", { type: "keyUp", ...key });
        await page.keyboard.up("Control");
    };
    page.touch = (type, points) => cdp.send("Input.dispatchTouchEvent", { type, touchPoints: points.map(([x, y], id) => ({ x, y, id })) });
    page.perform = async key => {
        const russian = key.match(/^Control\+(Key.):(.)$/);
        if (russian)
            await page.russianControl(russian[2], russian[1]);
        else if (key.startsWith("paste "))
            await page.evaluate(text => document.getElementById("terminal").terminal.paste(text), JSON.parse(key.slice(6)));
        else if (key.startsWith('"'))
            await page.keyboard.type(JSON.parse(key));
        else if (key === "click")
            await page.click("#terminal");
        else
            await page.press(key);
    };
    // A new run, waiting for the order, started by a click or from the
    // keyboard (the button has the focus once a run has ended).
    page.fresh = async (way = "click") => {
        if ((await page.state()) === "ended")
            await (way === "click" ? page.click("#again") : page.press(way));
        expect(`a run asks for the order (${way})`, (await page.settled("input", "ended")) === "input");
    };
    page.checkScreen = async (what, c, input) => {
        const expected = screenOf(c, input);
        expect(`${what}: the screen`, await page.linesAre(expected), `${await page.lines()}\ninstead of:\n${expected}`);
    };
    page.lines = () => page.evaluate(() => dialogueLines());
    // Waits for the lines to be expected; false if they never are.
    page.linesAre = expected => page.until(expected => dialogueLines() === expected, expected);
    page.longestTaskSince = from => page.evaluate(from => Math.max(0, ...window.longTasks.filter(t => t.at >= from).map(t => t.ms)), from);
    return page;
}

module.exports = { launch, open, expect, failures };
