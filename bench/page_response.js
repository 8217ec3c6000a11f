// How soon the page shows what a user did, with the longest run there is,
// x² + i (10000 steps), and with x⁹ − 1: for each action, the time from each
// of its input events to the task after the next frame, which is when the
// frame that shows the event's effect has been painted (timed in the page,
// so that wheel, pointer moves and resizes count, where Event Timing reports
// nothing), the longest of them; from its first event to the paint of the
// last change it made to the document (the roots drawn after Enter); the
// longest gap between frames; and, in Chromium, the longest animation frame
// and the longest task (those two only over 50 ms, else 0); for the map,
// from the click to its first picture of at least 100 × 100 starts painted.
// The actions include dragging a start point, which redoes the experiment
// every frame, and the map. Each figure is
// the median of 5 fresh loads, beside its floor measured in the same load: a
// key the page ignores, and, for the first prompt, a page of xterm.js alone.
// Chromium at normal CPU speed and slowed 4 times, Firefox at normal speed
// (its driver has no touch and no slowdown). A benchmark, not a test: it
// reports figures and asserts nothing.
//   node bench/page_response.js build/web/site build/web/web/node_modules [chromium|firefox]
"use strict";
const [site, modules, ...engines] = process.argv.slice(2);
const fs = require("fs");
const os = require("os");
const path = require("path");
const browsers = require("../tests/web/browser.js");

// The floor of the first prompt: xterm.js, its style sheet and one line.
const bare = fs.mkdtempSync(path.join(os.tmpdir(), "chord-bare-"));
for (const file of ["lib/xterm.js", "css/xterm.css"])
    fs.copyFileSync(path.join(modules, "@xterm/xterm", file), path.join(bare, path.basename(file)));
fs.writeFileSync(path.join(bare, "index.html"), `<!doctype html><meta charset="utf-8"><link rel="stylesheet" href="xterm.css">
<body data-state="starting"><div id="terminal"></div><script src="xterm.js"></script><script>
const terminal = new Terminal();
terminal.open(document.getElementById("terminal"));
terminal.write("Задайте порядок уравнения: ", () => (document.body.dataset.state = "input"));
</script>`);

// In the page, before its own scripts: what each action cost, since reset.
function instrument() {
    const painted = (start, done) => requestAnimationFrame(() => {
        const channel = new MessageChannel();
        channel.port1.onmessage = () => done(performance.now() - start);
        channel.port2.postMessage(null);
    });
    const record = (window.response = { reset() {
        Object.assign(this, { inputs: [], gaps: [], frames: [], tasks: [], last: null, first: null, changed: null, mapped: null });
    } });
    record.reset();
    for (const type of ["keydown", "pointerdown", "pointermove", "pointerup", "wheel", "touchstart", "touchmove", "touchend", "resize"])
        addEventListener(type, event => {
            record.first ??= event.timeStamp;
            painted(event.timeStamp, ms => record.inputs.push(ms));
        }, { capture: true, passive: true });
    // When the last change to the document was painted, and the first map
    // of at least 100 × 100 starts.
    new MutationObserver(() => {
        painted(0, now => (record.changed = now));
        const map = document.querySelector(".basin-map");
        if (record.mapped === null && map && Math.min(map.dataset.cols, map.dataset.rows) >= 100)
            painted(0, now => (record.mapped ??= now));
    }).observe(document, { subtree: true, childList: true, attributes: true, characterData: true });
    const frame = now => {
        if (record.last !== null)
            record.gaps.push(now - record.last);
        record.last = now;
        requestAnimationFrame(frame);
    };
    requestAnimationFrame(frame);
    // Entries only over 50 ms, where the engine has them at all.
    for (const [type, into] of [["long-animation-frame", "frames"], ["longtask", "tasks"]])
        if (PerformanceObserver.supportedEntryTypes.includes(type)) {
            record[`${into}Timed`] = true;
            new PerformanceObserver(list => record[into].push(...list.getEntries().map(entry => entry.duration))).observe({ type });
        }
    // The first prompt: the state set, and the frame after it painted.
    new MutationObserver((changes, observer) => {
        if (document.body?.dataset.state === "input")
            painted(0, ms => (record.prompt = ms)), observer.disconnect();
    }).observe(document, { subtree: true, attributes: true, attributeFilter: ["data-state"] });
}

// Until the page has settled: ten frames running, each within 50 ms of the
// one before, and nothing in the document changed meanwhile.
function settled() {
    return new Promise(resolve => {
        let [calm, last, changed] = [0, performance.now(), false];
        const observer = new MutationObserver(() => (changed = true));
        observer.observe(document.body, { subtree: true, childList: true, attributes: true, characterData: true });
        const frame = now => {
            calm = now - last < 50 && !changed ? calm + 1 : 0;
            [last, changed] = [now, false];
            calm >= 10 ? (observer.disconnect(), resolve()) : requestAnimationFrame(frame);
        };
        requestAnimationFrame(frame);
    });
}

async function load(browser, engine, slowdown, address) {
    const page = await browser.newPage();
    await page.setViewport({ width: 1280, height: 900, hasTouch: engine === "chromium" });
    if (slowdown > 1)
        await (await page.target().createCDPSession()).send("Emulation.setCPUThrottlingRate", { rate: slowdown });
    await page.evaluateOnNewDocument(instrument);
    await page.goto(address);
    await page.waitForFunction(() => window.response.prompt !== undefined, { timeout: 0, polling: 50 });
    return page;
}

// The actions, in the order a student takes them, each with what sets it up
// unmeasured (before) and what it does (act).
function actions(page, engine) {
    const state = name => page.waitForFunction(name => document.body.dataset.state === name, { timeout: 0, polling: 50 }, name);
    const press = async (key, times = 1) => {
        for (let k = 0; k < times; ++k)
            await page.keyboard.press(key);
    };
    const focus = selector => page.$eval(selector, element => element.focus());
    const middle = () => page.$eval("[data-part=plane]", plane => {
        const { x, y, width, height } = plane.getBoundingClientRect();
        return [x + width / 2, y + height / 2];
    });
    const typed = text => async () => {
        await page.click("#terminal");
        await page.evaluate(text => document.getElementById("terminal").terminal.paste(text), text);
    };
    const plane = async () => {
        await page.$eval("[data-part=plane]", plane => plane.scrollIntoView({ block: "center" }));
        await focus("[data-part=plane]");
    };
    // A mouse drag of 20 moves of what selector names, from its middle.
    const drag = async selector => {
        const [x, y] = await page.$eval(selector, element => {
            element.scrollIntoView({ block: "center" });
            const { x, y, width, height } = element.getBoundingClientRect();
            return [x + width / 2, y + height / 2];
        });
        await page.mouse.move(x, y);
        await page.mouse.down();
        for (let k = 1; k <= 20; ++k)
            await page.mouse.move(x - 3 * k, y + 2 * k);
        await page.mouse.up();
    };
    // The map switched on, until its first picture of 100 × 100 starts.
    const map = () => page.click("[data-part=map-shown]").then(() => page.waitForFunction(() => {
        const picture = document.querySelector(".basin-map");
        return picture && Math.min(picture.dataset.cols, picture.dataset.rows) >= 100;
    }, { timeout: 0, polling: 50 }));
    // One session (Chromium's only): a touch begun in it goes on in it.
    let session;
    const touch = (type, points) => (session ??= page.target().createCDPSession())
        .then(cdp => cdp.send("Input.dispatchTouchEvent", { type, touchPoints: points.map(([x, y], id) => ({ x, y, id })) }));
    return [
        ["floor: a key the page ignores", () => page.evaluate(() => document.activeElement.blur()), () => press("Shift")],
        ["Enter on x² + i", typed("2 1 0 (0,1)"), () => press("Enter").then(() => state("key"))],
        ["a step (→)", () => plane().then(() => press("Home")), () => press("ArrowRight")],
        ["← ×20", () => press("End"), () => press("ArrowLeft", 20)],
        ["End", null, () => press("End")],
        ["+ and −", null, () => press("+").then(() => press("-"))],
        ["Ctrl + wheel", async () => page.mouse.move(...(await middle())), async () => {
            await page.keyboard.down("Control");
            await page.mouse.wheel({ deltaY: -200 });
            await page.keyboard.up("Control");
        }],
        ["«Сбросить вид»", null, () => page.click("[data-part=zoom-reset]")],
        ["a mouse drag of 20 moves", null, async () => {
            const [x, y] = await middle();
            await page.mouse.move(x, y);
            await page.mouse.down();
            for (let k = 1; k <= 20; ++k)
                await page.mouse.move(x - 5 * k, y + 5 * k);
            await page.mouse.up();
        }],
        ...(engine === "chromium" ? [["a two-finger pinch", () => page.click("[data-part=zoom-reset]"), async () => {
            const [x, y] = await middle();
            await touch("touchStart", [[x - 20, y], [x + 20, y]]);
            for (let k = 1; k <= 10; ++k)
                await touch("touchMove", [[x - 20 - 6 * k, y], [x + 20 + 6 * k, y]]);
            await touch("touchEnd", []);
        }]] : []),
        ["← ×5, the step table open", () => page.click("summary").then(plane), () => press("ArrowLeft", 5)],
        ["a resize in 4 steps", () => page.click("summary"), async () => {
            for (const width of [1200, 1120, 1040, 960])
                await page.setViewport({ width, height: 900, hasTouch: engine === "chromium" });
        }],
        ["a start point dragged, 20 moves, on x² + i", () => page.click("[data-part=zoom-reset]"), () => drag('.handle[data-handle="1"]')],
        ["the map, on x² + i", null, map],
        ["«Запустить снова»", () => page.click("[data-part=map-shown]").then(() => focus(".xterm-helper-textarea")).then(() => press("x")).then(() => state("ended")),
            () => page.click("#again").then(() => state("input"))],
        ["Enter on x⁹ − 1", typed("9 1 0 0 0 0 0 0 0 0 -1"), () => press("Enter").then(() => state("key"))],
        ["a start point dragged, 20 moves, on x⁹ − 1", null, () => drag('.handle[data-handle="0"]')],
        ["the map, on x⁹ − 1", () => page.click("[data-part=experiment-reset]"), map],
        ["a start point dragged, 20 moves, the map shown, on x⁹ − 1", null, () => drag('.handle[data-handle="1"]')],
    ];
}

async function once(browser, engine, slowdown) {
    const figures = {};
    const floor = await load(browser, engine, slowdown, `file://${path.join(bare, "index.html")}`);
    figures["first prompt, xterm.js alone"] = { paint: await floor.evaluate(() => window.response.prompt) };
    await floor.close();
    const page = await load(browser, engine, slowdown, `file://${path.resolve(site, "index.html")}`);
    figures["first prompt"] = { paint: await page.evaluate(() => window.response.prompt) };
    await page.evaluate(settled);
    for (const [name, before, act] of actions(page, engine)) {
        if (before)
            await before();
        await page.evaluate(settled);
        await page.evaluate(() => window.response.reset());
        await act();
        await page.evaluate(settled);
        figures[name] = await page.evaluate(() => {
            const { inputs, gaps, frames, tasks, framesTimed, tasksTimed, first, changed, mapped } = window.response;
            const longest = (values, timed = true) => (timed ? Math.max(0, ...values) : undefined);
            return { paint: longest(inputs), done: changed > first ? changed - first : 0, gap: longest(gaps),
                frame: longest(frames, Boolean(framesTimed)), task: longest(tasks, Boolean(tasksTimed)), map: mapped === null ? undefined : mapped - first };
        });
    }
    await page.close();
    return figures;
}

const median = values => (values.includes(undefined) ? undefined : values.sort((a, b) => a - b)[Math.floor(values.length / 2)]);
const ms = value => (value === undefined ? "–" : Math.round(value));

async function main() {
    for (const engine of engines.length ? engines : ["chromium", "firefox"]) {
        const browser = await browsers[engine](modules, { protocolTimeout: 3600000 });
        const version = await browser.version();
        for (const slowdown of engine === "chromium" ? [1, 4] : [1]) {
            const runs = [];
            for (let k = 0; k < 5; ++k)
                runs.push(await once(browser, engine, slowdown));
            console.log(`\n${version}${slowdown > 1 ? `, CPU ${slowdown}× slower` : ""}, median of ${runs.length}, ms\n`);
            console.log("| action | input to next paint | to the last change painted | longest gap between frames | longest animation frame | longest task | to the map of 100 × 100 painted |");
            console.log("|---|---:|---:|---:|---:|---:|---:|");
            for (const name of Object.keys(runs[0])) {
                const figure = key => ms(median(runs.map(run => run[name][key])));
                console.log(`| ${name} | ${figure("paint")} | ${figure("done")} | ${figure("gap")} | ${figure("frame")} | ${figure("task")} | ${figure("map")} |`);
            }
        }
        await browser.close();
    }
    fs.rmSync(bare, { recursive: true });
}

main();
