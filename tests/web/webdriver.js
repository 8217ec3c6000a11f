// WebKit, Safari's engine: WebKitGTK's MiniBrowser under its WebDriver
// (WebKitWebDriver, classic WebDriver over http) on a virtual display
// (xvfb-run), given the few of puppeteer's page calls that the walks make.
// Classic WebDriver runs no script before the page's own: what a walk sets
// up on a new document is set up once the page has loaded.
"use strict";
const { spawn } = require("child_process");
const fs = require("fs");
const net = require("net");

const keys = { Enter: "\uE007", Escape: "\uE00C", Tab: "\uE004", Backspace: "\uE003", Delete: "\uE017", Insert: "\uE016",
    ArrowLeft: "\uE012", ArrowUp: "\uE013", ArrowRight: "\uE014", ArrowDown: "\uE015", Home: "\uE011", End: "\uE010",
    PageUp: "\uE00E", PageDown: "\uE00F", F2: "\uE032", Space: " ", Shift: "\uE008", Control: "\uE009", Alt: "\uE00A", Meta: "\uE03D" };
// A key by puppeteer's name (KeyX: x); CapsLock has no WebDriver key.
const key = name => keys[name] ?? (/^Key.$/.test(name) ? name[3].toLowerCase() : name === "CapsLock" ? null : name);
const freePort = () => new Promise(resolve => {
    const server = net.createServer().listen(0, "127.0.0.1", () => {
        const { port } = server.address();
        server.close(() => resolve(port));
    });
});

async function launch() {
    const port = await freePort();
    // In the C locale, as on a server, where WebKit reports the language "C".
    const driver = spawn("xvfb-run", ["-a", "-s", "-screen 0 2600x1600x24", "WebKitWebDriver", `--port=${port}`],
        { detached: true, stdio: "ignore", env: { ...process.env, LC_ALL: "C" } });
    const base = `http://127.0.0.1:${port}`;
    const call = async (method, where, body) => {
        const answer = await (await fetch(base + where, { method, body: body && JSON.stringify(body) })).json();
        if (answer.value?.error)
            throw new Error(`${where}: ${answer.value.error}: ${answer.value.message}`);
        return answer.value;
    };
    for (let tries = 0; !(await call("GET", "/status").then(status => status.ready, () => false)); ++tries)
        if (tries > 600)
            throw new Error("WebKitWebDriver did not start");
        else
            await new Promise(resolve => setTimeout(resolve, 100));
    const { sessionId } = await call("POST", "/session", { capabilities: { alwaysMatch: { "webkitgtk:browserOptions": {
        binary: "/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser", args: ["--automation"] } } } });
    const session = (method, where, body) => call(method, `/session/${sessionId}${where}`, body);
    const firstWindow = await session("GET", "/window"); // kept open, the session's current one
    let shown = firstWindow; // the window the session's commands go to
    let pages = 0;

    async function newPage() {
        const handle = pages++ === 0 ? firstWindow : (await session("POST", "/window/new", { type: "window" })).handle;
        const inWindow = async (method, where, body) => {
            if (shown !== handle)
                await session("POST", "/window", { handle: (shown = handle) });
            return session(method, where, body);
        };
        const element = async selector => Object.values(await inWindow("POST", "/element", { using: "css selector", value: selector }))[0];
        const setUps = [];
        const errorHandlers = [];
        // Runs source, a function's text, with args in the page; its value
        // when it settles.
        const run = async (source, args = []) => {
            const { value, error } = await inWindow("POST", "/execute/async", { args, script: `const done = arguments[arguments.length - 1];
                Promise.resolve().then(() => (${source})(...Array.from(arguments).slice(0, -1)))
                    .then(value => done({ value }), error => done({ error: String(error && error.stack || error) }));` });
            if (error)
                throw new Error(error);
            return value;
        };
        const act = (type, actions, parameters) => inWindow("POST", "/actions", { actions: [{ type, id: type, parameters, actions }] });
        const keyActs = (name, ...types) => act("key", key(name) === null ? [] : types.map(type => ({ type, value: key(name) })));
        const pointer = (...actions) => act("pointer", actions, { pointerType: "mouse" });
        const file = (path, shot) => fs.writeFileSync(path, Buffer.from(shot, "base64"));
        let at = [0, 0];
        const page = {
            goto: async url => {
                await inWindow("POST", "/url", { url });
                await run("() => { window.pageErrors = []; addEventListener('error', e => pageErrors.push(e.message)); }");
                for (const setUp of setUps)
                    await run(setUp).catch(() => {});
            },
            on: (event, handler) => event === "pageerror" && errorHandlers.push(handler),
            evaluateOnNewDocument: async setUp => setUps.push(String(setUp)),
            evaluate: (fn, ...args) => run(String(fn), args),
            $eval: (selector, fn, ...args) => run(`(selector, ...args) => (${fn})(document.querySelector(selector), ...args)`, [selector, ...args]),
            $$eval: (selector, fn, ...args) => run(`(selector, ...args) => (${fn})([...document.querySelectorAll(selector)], ...args)`, [selector, ...args]),
            $: async selector => ({
                screenshot: async ({ path, encoding }) => {
                    const shot = await inWindow("GET", `/element/${await element(selector)}/screenshot`);
                    return encoding === "base64" ? shot : file(path, shot);
                },
            }),
            focus: selector => page.$eval(selector, e => e.focus()),
            click: async selector => inWindow("POST", `/element/${await element(selector)}/click`, {}),
            waitForFunction: async (fn, { timeout = 30000 } = {}, arg) => {
                const until = Date.now() + timeout;
                while (!(await run(`arg => new Promise(resolve => { const until = Date.now() + 2000;
                    (function check() { const met = (${fn})(arg); met || Date.now() > until ? resolve(Boolean(met)) : setTimeout(check, 16); })(); })`, [arg])))
                    if (Date.now() > until)
                        throw new Error(`waiting for ${fn}: timed out`);
            },
            keyboard: {
                type: text => act("key", [...text].flatMap(c => ["keyDown", "keyUp"].map(type => ({ type, value: c === "\n" ? keys.Enter : c })))),
                press: name => keyActs(name, "keyDown", "keyUp"),
                down: name => keyActs(name, "keyDown"),
                up: name => keyActs(name, "keyUp"),
            },
            mouse: {
                move: (x, y) => ((at = [Math.round(x), Math.round(y)]), pointer({ type: "pointerMove", x: at[0], y: at[1], duration: 0 })),
                down: () => pointer({ type: "pointerDown", button: 0 }),
                up: () => pointer({ type: "pointerUp", button: 0 }),
                wheel: ({ deltaX = 0, deltaY = 0 }) => act("wheel", [{ type: "scroll", x: at[0], y: at[1], deltaX, deltaY }]),
            },
            // The inner size asked for, the window's frame added; the
            // MiniBrowser's window is never narrower than 447 px.
            setViewport: async ({ width, height }) => {
                const [frameWidth, frameHeight] = await run("() => [outerWidth - innerWidth, outerHeight - innerHeight]");
                await inWindow("POST", "/window/rect", { width: width + frameWidth, height: height + frameHeight });
                await page.waitForFunction(size => innerWidth === Math.max(size[0], 447) && innerHeight === size[1], {}, [width, height]);
            },
            screenshot: async ({ path }) => file(path, await inWindow("GET", "/screenshot")),
            addScriptTag: ({ path }) => run("text => document.head.append(Object.assign(document.createElement('script'), { text }))", [fs.readFileSync(path, "utf8")]),
            close: async () => {
                for (const message of await run("() => window.pageErrors ?? []"))
                    errorHandlers.forEach(handler => handler(new Error(message)));
                if (handle !== firstWindow) {
                    await inWindow("DELETE", "/window");
                    await session("POST", "/window", { handle: (shown = firstWindow) });
                }
            },
        };
        return page;
    }
    return {
        newPage,
        close: async () => {
            await session("DELETE", "").catch(() => {});
            process.kill(-driver.pid);
        },
    };
}

module.exports = { launch };
