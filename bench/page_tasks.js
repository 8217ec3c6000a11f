// How smooth the page is with the longest run there is, x² + i (10000
// steps), the step table open: for each thing a user does, the longest task
// the page's main thread ran (Chromium's long-task timing: tasks over 50 ms)
// and how many such tasks there were, at normal CPU speed and slowed 4 times.
// A benchmark, not a test: it reports figures and asserts nothing.
//   node bench/page_tasks.js build/web/site build/web/web/node_modules
"use strict";
const [site, modules] = process.argv.slice(2);
const path = require("path");
const { chromium } = require("../tests/web/browser.js");

const quiet = ms => new Promise(resolve => setTimeout(resolve, ms));

async function measure(browser, slowdown) {
    const page = await browser.newPage();
    await page.setViewport({ width: 1280, height: 900 });
    await page.evaluateOnNewDocument(() => {
        window.longTasks = [];
        new PerformanceObserver(list => window.longTasks.push(...list.getEntries().map(e => [e.startTime, e.duration])))
            .observe({ type: "longtask" });
    });
    await page.goto("file://" + path.resolve(site, "index.html"));
    await page.waitForFunction(() => document.body.dataset.state === "input", { timeout: 0 });
    const cdp = await page.target().createCDPSession();
    await cdp.send("Emulation.setCPUThrottlingRate", { rate: slowdown });
    const settle = 800 * slowdown;
    const figures = [];
    // Runs action, lets the page finish what it started, and takes the long
    // tasks that began meanwhile.
    async function timed(name, action) {
        const from = await page.evaluate(() => performance.now());
        await action();
        await quiet(settle);
        const tasks = await page.evaluate(from => window.longTasks.filter(([start]) => start >= from).map(([, d]) => d), from);
        figures.push({ name, longest: Math.round(Math.max(0, ...tasks)), over50: tasks.length });
    }
    const click = selector => page.$eval(selector, element => element.click());
    await timed("open the table", () => click("summary"));
    await page.focus(".xterm-helper-textarea");
    await page.keyboard.type("2 1 0 (0,1)");
    await timed("Enter to the roots", async () => {
        await page.keyboard.press("Enter");
        await page.waitForFunction(() => document.body.dataset.state === "key", { timeout: 0, polling: 50 });
    });
    await timed("step to the first point", () => click("[data-part=first]"));
    await timed("five steps forward", async () => {
        for (let k = 0; k < 5; ++k)
            await click("[data-part=forward]");
    });
    await timed("all steps", () => click("[data-part=all]"));
    await page.$eval("[data-part=plane]", plane => plane.scrollIntoView({ block: "center" }));
    await quiet(settle);
    const box = await (await page.$("[data-part=plane]")).boundingBox();
    // Along the diagonal, where x² + i's steps lie.
    await timed("twenty pointer moves over the plane", async () => {
        for (let k = 0; k < 20; ++k)
            await page.mouse.move(box.x + box.width * (0.1 + k / 25), box.y + box.height * (0.9 - k / 25));
    });
    await page.mouse.move(0, 0);
    await timed("zoom in", () => click("[data-part=zoom-in]"));
    await page.$eval("[data-part=plane]", plane => plane.focus());
    await timed("pan, Shift+→ five times", async () => {
        await page.keyboard.down("Shift");
        for (let k = 0; k < 5; ++k)
            await page.keyboard.press("ArrowRight");
        await page.keyboard.up("Shift");
    });
    await timed("the landscape of search 2", () => page.select("[data-part=landscape-search]", "1"));
    await timed("reset the view", () => click("[data-part=zoom-reset]"));
    await timed("a narrower window", () => page.setViewport({ width: 1000, height: 900 }));
    await timed("end the run", () => page.keyboard.press("x"));
    await timed("run again, to the prompt", async () => {
        await click("#again");
        await page.waitForFunction(() => document.body.dataset.state === "input", { timeout: 0, polling: 50 });
    });
    await page.close();
    return figures;
}

async function main() {
    // The page before this benchmark was made took minutes for some steps.
    const browser = await chromium(modules, { protocolTimeout: 3600000 });
    const runs = {};
    for (const slowdown of [1, 4])
        runs[slowdown] = await measure(browser, slowdown);
    await browser.close();
    console.log("| what the user does | longest task, ms | tasks over 50 ms | at 4× slowdown: longest, ms | over 50 ms |");
    console.log("|---|---:|---:|---:|---:|");
    runs[1].forEach((row, k) => {
        const slow = runs[4][k];
        console.log(`| ${row.name} | ${row.longest} | ${row.over50} | ${slow.longest} | ${slow.over50} |`);
    });
}

main();
