// The page in a browser engine, driven as its users drive it, through one
// interface for the three engines: Chromium and Firefox ESR by puppeteer-core
// (Firefox over WebDriver BiDi), WebKit by selenium-webdriver through its
// WebDriver (WebKitWebDriver and the MiniBrowser, on a virtual display).
// What an engine's driver cannot do is in its abilities, and a walk that
// needs it says so where it leaves it out. Waits are for states.
"use strict";
const assert = require("node:assert/strict");
const { spawn } = require("child_process");
const fs = require("fs");
const net = require("net");
const os = require("os");
const path = require("path");

// Generous: a loaded machine is slow, and a wait ends at the state anyway.
const patience = 60000;
const abilities = {
    // Chromium's own protocol gives touch and a key with a layout's own letter.
    chromium: { setUpFirst: true, touch: true, layoutKeys: true, capsLock: true, wheelModifiers: true, copyKey: true },
    firefox: { setUpFirst: true, wheelModifiers: true, copyKey: true },
    // Classic WebDriver runs no script before the page's own, gives a wheel
    // no modifier, and its keys run no copy.
    webkit: {},
};

// Debian's Chromium as root, with no network of its own.
function chromium(modules, options = {}) {
    return require(path.resolve(modules, "puppeteer-core")).launch({ executablePath: "/usr/bin/chromium", headless: true, ...options,
        userDataDir: fs.mkdtempSync(path.join(os.tmpdir(), "chord-chromium-")), args: ["--no-sandbox", "--disable-gpu", "--disable-quic",
            "--no-first-run", "--disable-background-networking", "--disable-component-update", "--disable-sync"] });
}

// Debian's Firefox ESR, driven over WebDriver BiDi.
const firefox = modules => require(path.resolve(modules, "puppeteer-core")).launch({ browser: "firefox", executablePath: "/usr/bin/firefox-esr", headless: true });

// A page of puppeteer's, its errors collected.
async function puppeteerPage(browser, engine) {
    const page = await browser.newPage();
    const cdp = engine === "chromium" ? await page.target().createCDPSession() : null;
    const errors = [];
    page.on("pageerror", error => errors.push(error.message));
    return { errors, puppeteer: page, setUp: script => page.evaluateOnNewDocument(script), goto: url => page.goto(url),
        resize: view => page.setViewport(view), eval: (fn, ...args) => page.evaluate(fn, ...args),
        until: (fn, arg) => page.waitForFunction(fn, { timeout: patience, polling: "raf" }, arg).then(() => true, () => false),
        keyDown: key => page.keyboard.down(key), keyUp: key => page.keyboard.up(key), type: text => page.keyboard.type(text),
        // The key at code typing letter with Ctrl held, as in a Russian layout.
        layoutKey: async (letter, code) => {
            for (const type of ["rawKeyDown", "keyUp"])
                await cdp.send("Input.dispatchKeyEvent", { type, key: letter, code, modifiers: 2, windowsVirtualKeyCode: code.charCodeAt(3) });
        },
        click: selector => page.click(selector),
        mouse: { move: (x, y) => page.mouse.move(x, y), down: () => page.mouse.down(), up: () => page.mouse.up(),
            wheel: deltaY => page.mouse.wheel({ deltaY }) },
        touch: (type, points) => cdp.send("Input.dispatchTouchEvent", { type, touchPoints: points.map(([x, y], id) => ({ x, y, id })) }),
        shot: async (file, selector) => (selector ? (await page.$(selector)).screenshot({ path: file }) : page.screenshot({ path: file })),
        close: () => page.close() };
}

// WebKitWebDriver in the C locale, as on a server, where WebKit reports the
// language "C". It keeps one session: each page is a MiniBrowser window of
// its own, never narrower than 447 px, and the page opened last is the one
// driven until it is closed.
async function webkit(modules) {
    const selenium = require(path.resolve(modules, "selenium-webdriver"));
    const port = await new Promise(resolve => {
        const server = net.createServer().listen(0, "127.0.0.1", () => (port => server.close(() => resolve(port)))(server.address().port));
    });
    const driver = spawn("xvfb-run", ["-a", "-s", "-screen 0 2600x1600x24", "WebKitWebDriver", `--port=${port}`],
        { detached: true, stdio: "ignore", env: { ...process.env, LC_ALL: "C" } });
    const capabilities = { browserName: "MiniBrowser", "webkitgtk:browserOptions": {
        binary: "/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser", args: ["--automation"] } };
    const connect = (started = Date.now()) => new selenium.Builder().usingServer(`http://127.0.0.1:${port}`).withCapabilities(capabilities)
        .build().catch(error => (Date.now() - started < patience ? new Promise(resolve => setTimeout(resolve, 100)).then(() => connect(started)) : Promise.reject(error)));
    const session = await connect();
    const windows = []; // the open pages' windows, the newest last; the first stays open
    return {
        newPage: async () => {
            if (windows.length > 0)
                await session.switchTo().newWindow("window");
            windows.push(await session.getWindowHandle());
            return seleniumPage(session, selenium, async () => {
                windows.pop();
                await (windows.length > 0 ? session.close().then(() => session.switchTo().window(windows[windows.length - 1])) : session.get("about:blank"));
            });
        },
        close: () => session.quit().finally(() => process.kill(-driver.pid)),
    };
}

// A page of the selenium session. Classic WebDriver runs a script and then
// polls, where puppeteer waits for frames in the page.
function seleniumPage(session, { By, Key }, closed) {
    // A key by puppeteer's name (KeyX: x).
    const key = name => (name.length === 1 ? name : /^Key.$/.test(name) ? name[3].toLowerCase()
        : Key[name === "Backspace" ? "BACK_SPACE" : name.replace(/(.)([A-Z])/g, "$1_$2").toUpperCase()]);
    const run = (fn, ...args) => session.executeScript(`return (${fn})(...arguments)`, ...args);
    const setUps = [];
    const at = [0, 0]; // where the pointer was moved last
    const save = (file, shot) => fs.writeFileSync(file, Buffer.from(shot, "base64"));
    const page = { errors: [], setUp: script => setUps.push(script), eval: run,
        goto: async url => {
            await session.get(url);
            for (const setUp of [() => addEventListener("error", e => (window.pageErrors ??= []).push(e.message)), ...setUps])
                await run(setUp);
        },
        resize: async ({ width, height }) => {
            const [w, h] = await run(() => [outerWidth - innerWidth, outerHeight - innerHeight]);
            await session.manage().window().setRect({ width: width + w, height: height + h });
            await page.until(size => innerWidth === Math.max(size[0], 447) && innerHeight === size[1], [width, height]);
        },
        until: (fn, arg) => session.wait(() => run(fn, arg), patience).then(() => true, () => false),
        keyDown: name => session.actions().keyDown(key(name)).perform(), keyUp: name => session.actions().keyUp(key(name)).perform(),
        type: text => session.actions().sendKeys(text.replace(/\n/g, Key.ENTER)).perform(),
        click: selector => session.findElement(By.css(selector)).click(),
        mouse: { move: (x, y) => session.actions().move({ x: (at[0] = Math.round(x)), y: (at[1] = Math.round(y)) }).perform(),
            down: () => session.actions().press().perform(), up: () => session.actions().release().perform(),
            wheel: deltaY => session.actions().scroll(at[0], at[1], 0, deltaY).perform() },
        shot: async (file, selector) => save(file, await (selector ? session.findElement(By.css(selector)) : session).takeScreenshot()),
        close: async () => {
            page.errors.push(...(await run(() => window.pageErrors ?? [])));
            await closed();
        } };
    return page;
}

// What every walk sets up in the page: an element by selector ($), the
// terminal, the dialogue's text as lines (the rows a line wraps into
// joined), a picture's pixels.
function inPage() {
    window.$ = selector => document.querySelector(selector);
    window.term = () => document.getElementById("terminal").terminal;
    window.dialogueLines = () => {
        const buffer = term().buffer.active;
        let text = "";
        for (let k = 0; k < buffer.length; ++k)
            text += (k > 0 && !buffer.getLine(k).isWrapped ? "\n" : "") + buffer.getLine(k).translateToString(true);
        return text.replace(/\n+$/, "");
    };
    window.pixelsOf = async source => {
        const picture = Object.assign(new Image(), { src: source });
        await picture.decode();
        const canvas = Object.assign(document.createElement("canvas"), { width: picture.width, height: picture.height });
        canvas.getContext("2d").drawImage(picture, 0, 0);
        return canvas.getContext("2d").getImageData(0, 0, picture.width, picture.height);
    };
}
// Where the engine sets up before the page's scripts: each search's
// polynomial as the program tells it, for runs_check.py.
function hearProgram() {
    let create = null;
    // A run's console writes; the experiment's solver and the map's worker
    // are not heard, and a worker made from the program's script gets it.
    Object.defineProperty(window, "createChord", { get: () => create, set: made => (create = Object.assign(options => {
        const { observer, write } = options.pageConsole;
        if (write) {
            const { searchStarted } = observer;
            window.told = [];
            observer.searchStarted = (polynomial, ...rest) => (window.told.push(polynomial), searchStarted(polynomial, ...rest));
        }
        return made(options);
    }, { toString: () => made.toString() })) });
}
// Without what browsers after Safari 15, the oldest the page serves, brought.
function asOldBrowser() {
    for (const [owner, name] of [[Array.prototype, "at"], [String.prototype, "at"], [Object, "hasOwn"], [Array.prototype, "findLast"],
        [Array.prototype, "findLastIndex"], [globalThis, "structuredClone"], [Array.prototype, "toSorted"]])
        delete owner[name];
}

// The engine, with its abilities (can) and open(site, view, {oldBrowser,
// hash, address}), which gives the page with the helpers the walks share.
async function launch(engine, modules) {
    const browser = await { chromium, firefox, webkit }[engine](modules);
    const can = abilities[engine];
    async function open(site, view, { oldBrowser = false, hash = "", address = null } = {}) {
        const page = engine === "webkit" ? await browser.newPage() : await puppeteerPage(browser, engine);
        await page.resize(view);
        for (const setUp of [inPage, ...(can.setUpFirst ? [hearProgram, ...(oldBrowser ? [asOldBrowser] : [])] : [])])
            await page.setUp(setUp);
        await page.goto(address ?? `file://${path.resolve(site, "index.html")}${hash}`);
        return withHelpers(Object.assign(page, { engine }), can);
    }
    return { engine, can, open, close: () => browser.close() };
}

// A walk's tokens: paste "text", "text" (JSON, escapes allowed), or a word.
const tokens = text => text.match(/paste "(?:[^"\\]|\\.)*"|"(?:[^"\\]|\\.)*"|\S+/g) ?? [];

// The helpers every walk uses, on any engine's page.
function withHelpers(page, can) {
    const helpers = {
        state: () => page.eval(() => document.body.dataset.state),
        status: () => page.eval(() => document.body.dataset.status ?? null),
        // Until the run is in one of states; the state it is in.
        settled: async (...states) => (await page.until(states => states.includes(document.body.dataset.state), states), helpers.state()),
        // Until the page has done what it was doing: two frames and a task.
        quiet: () => page.eval(() => new Promise(resolve => requestAnimationFrame(() => requestAnimationFrame(() => setTimeout(resolve))))),
        // Until expression gives the same five frames running.
        still: expression => page.until(expression => {
            const now = JSON.stringify(new Function(`return ${expression}`)());
            [window.still, window.last] = [window.last === now ? window.still + 1 : 0, now];
            return window.still >= 5;
        }, expression),
        // fn(the element selector names, ...args), in the page.
        on: (selector, fn, ...args) => page.eval((selector, fn, ...args) => new Function(`return ${fn}`)()(document.querySelector(selector), ...args),
            selector, String(fn), ...args),
        text: selector => helpers.on(selector, element => element.textContent),
        focus: selector => helpers.on(selector, element => element.focus()),
        // The middle of an element, scrolled into view.
        middle: selector => helpers.on(selector, element => {
            element.scrollIntoView({ block: "center" });
            const { x, y, width, height } = element.getBoundingClientRect();
            return [x + width / 2, y + height / 2];
        }),
        // Picks value in a select, as a user does.
        pick: (selector, value) => helpers.on(selector, (select, value) => {
            select.value = value;
            select.dispatchEvent(new Event("change", { bubbles: true }));
        }, value),
        lines: () => page.eval(() => dialogueLines()),
        // Until the terminal shows expected; whether it did.
        linesAre: expected => page.until(expected => dialogueLines() === expected, expected),
        paste: text => page.eval(text => term().paste(text), text),
        runScript: file => page.eval(text => document.head.append(Object.assign(document.createElement("script"), { text })), fs.readFileSync(file, "utf8")),
        // A key as puppeteer names it, with modifiers before + and *n for n
        // presses; Control+KeyC:с is Ctrl and the key at C that types "с" in
        // a Russian layout (elsewhere the Latin key at that place).
        press: async keyName => {
            const [, name, times = 1, letter] = keyName.match(/^([^*:]+)(?:\*(\d+))?(?::(.))?$/);
            const keys = name.replace(/^Space$|\+Space$/, m => m.replace("Space", " ")).split(/\+(?=.)/);
            for (let k = 0; k < times; ++k) {
                for (const held of keys.slice(0, -1))
                    await page.keyDown(held);
                await (letter && can.layoutKeys ? page.layoutKey(letter, keys[keys.length - 1])
                    : page.keyDown(keys[keys.length - 1]).then(() => page.keyUp(keys[keys.length - 1])));
                for (const held of keys.slice(0, -1).reverse())
                    await page.keyUp(held);
            }
        },
        // A walk of tokens, as edits.txt has them: "text" typed, paste
        // "text", click (on the terminal), @selector clicked, ^selector
        // focused, =state or =state:status awaited and then still so, fresh
        // or fresh:key (a new run, started by that key), or a key.
        walk: async text => {
            for (const token of tokens(text)) {
                const [state, status] = token.slice(1).split(":");
                const steps = [[/^paste /, () => helpers.paste(JSON.parse(token.slice(6)))], [/^"/, () => page.type(JSON.parse(token))],
                    [/^click$/, () => page.click("#terminal")], [/^@/, () => page.click(token.slice(1))], [/^\^/, () => helpers.focus(token.slice(1))],
                    [/^=/, async () => {
                        await helpers.settled(state).then(helpers.quiet);
                        assert.deepEqual([await helpers.state(), await helpers.status()], [state, status ?? null]);
                    }],
                    [/^fresh/, async () => assert.ok(await helpers.fresh(token.split(":")[1]), "a new run asks for the order")], [/./, () => helpers.press(token)]];
                await steps.find(([pattern]) => pattern.test(token))[1]();
            }
        },
        // A new run waiting for the order, started by a click or a key on
        // "Запустить снова", however the run before stands; whether it waits.
        fresh: async (way = "click") => {
            const state = await helpers.settled("input", "key", "ended");
            if (state !== "ended")
                await page.click("#terminal").then(() => helpers.press(state === "input" ? "Control+KeyC" : "x")).then(() => helpers.settled("ended"));
            await (way === "click" ? page.click("#again") : helpers.press(way));
            return (await helpers.settled("input")) === "input";
        },
    };
    return Object.assign(page, helpers);
}

module.exports = { abilities, launch, chromium, firefox, tokens };
