// How soon the page answers, in headless Chromium at normal CPU speed and
// slowed 4 times, the median of 5 loads each: from the address entered to
// the first prompt; from "Запустить снова" to the prompt; from Enter to x² +
// i's roots drawn (10000 steps); and, for the floor, from the address to a
// line shown by a page that holds only xterm.js, with the page's first
// prompt as a multiple of it. A benchmark, not a test: it reports figures
// and asserts nothing.
//   node bench/page_load.js build/web/site build/web/web/node_modules
"use strict";
const [site, modules] = process.argv.slice(2);
const fs = require("fs");
const os = require("os");
const path = require("path");
const { chromium } = require("../tests/web/browser.js");

// The floor: xterm.js, its style sheet and one line, nothing else.
const floor = fs.mkdtempSync(path.join(os.tmpdir(), "chord-floor-"));
for (const file of ["lib/xterm.js", "css/xterm.css"])
    fs.copyFileSync(path.join(modules, "@xterm/xterm", file), path.join(floor, path.basename(file)));
fs.writeFileSync(path.join(floor, "index.html"), `<!doctype html><meta charset="utf-8"><link rel="stylesheet" href="xterm.css">
<body data-state="starting"><div id="terminal"></div><script src="xterm.js"></script><script>
const terminal = new Terminal();
terminal.open(document.getElementById("terminal"));
terminal.write("Задайте порядок уравнения: ", () => (document.body.dataset.state = "input"));
</script>`);

// In the page: when each state was first reached, in ms from the start of
// the navigation, and when roots were first drawn.
function watch() {
    window.reached = {};
    const stamp = () => {
        const state = document.body?.dataset.state;
        if (state)
            window.reached[state] ??= performance.now();
        if (document.querySelectorAll("[data-part=plane] .root").length === 2)
            window.reached.roots ??= performance.now();
    };
    new MutationObserver(stamp).observe(document, { subtree: true, childList: true, attributes: true });
}

async function once(browser, slowdown, address, whole) {
    const page = await browser.newPage();
    await page.setViewport({ width: 1280, height: 900 });
    await (await page.target().createCDPSession()).send("Emulation.setCPUThrottlingRate", { rate: slowdown });
    await page.evaluateOnNewDocument(watch);
    await page.goto(address);
    const reached = state => page.waitForFunction(state => window.reached[state], { timeout: 0, polling: 10 }, state)
        .then(() => page.evaluate(state => window.reached[state], state));
    const figures = { load: await reached("input") };
    if (whole) {
        await page.keyboard.type("1 1 -2\n");
        await reached("key");
        await page.keyboard.press("x");
        await reached("ended");
        const clicked = await page.evaluate(() => ((window.reached = {}), document.getElementById("again").click(), performance.now()));
        figures.again = (await reached("input")) - clicked;
        await page.evaluate(() => document.getElementById("terminal").terminal.paste("2 1 0 (0,1)"));
        const entered = await page.evaluate(() => ((window.reached = {}), performance.now()));
        await page.keyboard.press("Enter");
        figures.roots = (await reached("roots")) - entered;
    }
    await page.close();
    return figures;
}

const median = values => values.sort((a, b) => a - b)[Math.floor(values.length / 2)];

async function main() {
    const browser = await chromium(modules);
    console.log("| CPU | to the first prompt | floor: xterm.js alone | ratio | «Запустить снова» to the prompt | Enter to x² + i's roots |");
    console.log("|---|---|---|---|---|---|");
    for (const slowdown of [1, 4]) {
        const runs = [];
        const floors = [];
        for (let k = 0; k < 5; ++k) {
            runs.push(await once(browser, slowdown, "file://" + path.resolve(site, "index.html"), true));
            floors.push((await once(browser, slowdown, "file://" + path.join(floor, "index.html"), false)).load);
        }
        const [load, again, roots, alone] = [median(runs.map(r => r.load)), median(runs.map(r => r.again)), median(runs.map(r => r.roots)), median(floors)];
        const ms = value => `${Math.round(value)} ms`;
        console.log(`| ${slowdown === 1 ? "normal" : `${slowdown}× slower`} | ${ms(load)} | ${ms(alone)} | ${(load / alone).toFixed(1)} | ${ms(again)} | ${ms(roots)} |`);
    }
    await browser.close();
    fs.rmSync(floor, { recursive: true });
}

main();
