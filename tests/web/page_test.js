// The page in headless Chromium, opened from disk, as its users meet it:
// every dialogue case typed at the terminal and its run ended by a different
// key each time, the lines of edits.txt, the key wait's rules, Ctrl+C, Tab,
// a resize while typing, a phone and narrow windows, and the accessibility
// audit (axe-core) at the start, during input and after a run.
//   node page_test.js site-folder tests-folder node_modules output-folder
"use strict";
const [site, tests, modules, output] = process.argv.slice(2);
const fs = require("fs");
const os = require("os");
const path = require("path");
const puppeteer = require(path.resolve(modules, "puppeteer-core"));

const unescape = text => text.replace(/\\n/g, "\n").replace(/\\t/g, "\t");
const cases = Object.fromEntries(fs.readdirSync(path.join(tests, "cases")).filter(name => name.endsWith(".txt")).sort()
    .map(name => {
        const [input, ...transcript] = fs.readFileSync(path.join(tests, "cases", name), "utf8").split("\n");
        return [name.slice(0, -4), { input: unescape(input), transcript: transcript.join("\n").replace(/\n$/, "") }];
    }));
// Each line of edits.txt: a case and its keys, as tokens: "text", paste
// "text", Key, Modifier+Key, Key*n, click.
const edits = fs.readFileSync(path.join(tests, "web", "edits.txt"), "utf8").split("\n")
    .filter(line => line.trim() && !line.startsWith("#"))
    .map(line => line.match(/paste "(?:[^"\\]|\\.)*"|"(?:[^"\\]|\\.)*"|\S+/g))
    .map(([name, ...keys]) => ({ name, keys }));
// A different key ends each run; Ctrl+C at the key wait is a key, as at the
// other consoles.
const endings = ["x", "Enter", "Space", "Escape", "ArrowUp", "Control+KeyC"];
const failures = [];
const expect = (what, good, detail = "") => good || failures.push(`${what}${detail && `:\n${detail}`}`);
const pause = ms => new Promise(resolve => setTimeout(resolve, ms));

// What a terminal of cols columns shows of a case typed: the transcript with
// the input echoed behind the order prompt, a tab echoed as a blank.
function screenOf(c, cols, input = c.input) {
    const prompt = "Задайте порядок уравнения: ";
    const at = c.transcript.indexOf(prompt) + prompt.length;
    const text = c.transcript.slice(0, at) + input.replace(/\t/g, " ") + c.transcript.slice(at);
    return text.split("\n").flatMap(line => line.match(new RegExp(`.{1,${cols}}`, "gu")) ?? [""])
        .join("\n").replace(/\n+$/, "");
}

async function open(browser, view) {
    const page = await browser.newPage();
    await page.setViewport(view);
    page.on("pageerror", error => failures.push(`page error: ${error.message}`));
    await page.goto("file://" + path.resolve(site, "index.html"));
    page.state = () => page.evaluate(() => document.body.dataset.state);
    page.status = () => page.evaluate(() => document.body.dataset.status);
    page.settled = (...states) => page.waitForFunction(states => states.includes(document.body.dataset.state),
        { timeout: 10000 }, states).then(() => page.state());
    page.screen = () => page.evaluate(() => {
        const buffer = chordTerminal.buffer.active;
        const rows = [];
        for (let k = 0; k < buffer.length; ++k)
            rows.push(buffer.getLine(k).translateToString(true));
        return rows.join("\n").replace(/\n+$/, "");
    });
    page.cols = () => page.evaluate(() => chordTerminal.cols);
    page.press = async key => {
        const [name, times = 1] = key.split("*");
        const keys = name.split("+");
        for (let k = 0; k < times; ++k) {
            for (const held of keys.slice(0, -1))
                await page.keyboard.down(held);
            await page.keyboard.press(keys[keys.length - 1]);
            for (const held of keys.slice(0, -1).reverse())
                await page.keyboard.up(held);
        }
    };
    page.perform = async keys => {
        for (const key of keys) {
            if (key.startsWith("paste "))
                await page.evaluate(text => chordTerminal.paste(text), JSON.parse(key.slice(6)));
            else if (key.startsWith('"'))
                await page.keyboard.type(JSON.parse(key));
            else if (key === "click")
                await page.click("#terminal");
            else
                await page.press(key);
        }
    };
    // A new run, waiting for the order.
    page.fresh = async () => {
        if ((await page.state()) === "ended")
            await page.click("#again");
        expect("a run asks for the order", (await page.settled("input", "ended")) === "input");
    };
    page.checkScreen = async (what, c, input) => {
        const expected = screenOf(c, await page.cols(), input);
        const shown = await page.screen();
        expect(`${what}: the screen`, shown === expected, `${shown}\ninstead of:\n${expected}`);
    };
    return page;
}

// Types a case as a user does: one line by the keyboard after a slip taken
// back, several pasted; Ctrl+D while the program still asks.
async function typeCase(page, c) {
    if (c.input.slice(0, -1).includes("\n")) {
        await page.evaluate(text => chordTerminal.paste(text), c.input);
    } else {
        await page.perform(['"9"', "Backspace", JSON.stringify(c.input.replace(/\n$/, ""))]);
        if (c.input.endsWith("\n"))
            await page.press("Enter");
    }
    for (let ends = 0; (await page.settled("input", "key", "ended")) === "input" && ends < 3; ++ends)
        await page.press("Control+KeyD");
}

// Ends the run with key; the transcript must stay, the status be 0, no new
// run start.
async function endWith(page, what, key, c, input) {
    await page.press(key);
    await pause(300);
    expect(`${what}: ${key} ends the run with status 0`, (await page.state()) === "ended" && (await page.status()) === "0",
        `${await page.state()}, status ${await page.status()}`);
    await page.checkScreen(`${what} after ${key}`, c, input);
}

async function audit(page, when) {
    await page.addScriptTag({ path: path.resolve(modules, "axe-core", "axe.min.js") });
    const found = await page.evaluate(() => axe.run(document, {
        runOnly: { type: "tag", values: ["wcag2a", "wcag2aa", "wcag21a", "wcag21aa"] },
    }).then(result => result.violations.map(v => `${v.id}: ${v.nodes.map(node => node.target.join(" ")).join(", ")}`)));
    expect(`axe-core ${when}`, found.length === 0, found.join("\n"));
}

// No sideways scrolling; no text below 14 CSS px; buttons at least 44 × 44.
async function checkLayout(page, what) {
    const problems = await page.evaluate(() => {
        const found = [];
        if (document.documentElement.scrollWidth > document.documentElement.clientWidth)
            found.push(`page ${document.documentElement.scrollWidth} px wide`);
        for (const element of document.querySelectorAll("body *")) {
            const box = element.getBoundingClientRect();
            const text = [...element.childNodes].some(node => node.nodeType === 3 && node.textContent.trim());
            if (text && box.width > 0 && !element.closest(".xterm-accessibility") && parseFloat(getComputedStyle(element).fontSize) < 14)
                found.push(`${element.tagName} text at ${getComputedStyle(element).fontSize}`);
            if (element.tagName === "BUTTON" && box.width > 0 && (box.width < 44 || box.height < 44))
                found.push(`button ${box.width} × ${box.height}`);
        }
        return found;
    });
    expect(`${what}: layout`, problems.length === 0, problems.join("\n"));
}

async function desktop(browser) {
    const page = await open(browser, { width: 1000, height: 700 });
    await page.settled("input");
    await audit(page, "at the start");
    for (const [index, [name, c]] of Object.entries(cases).entries()) {
        await page.fresh();
        await typeCase(page, c);
        expect(`${name}: waits for a key`, (await page.state()) === "key", await page.state());
        await page.checkScreen(name, c);
        if (name === "quadratic_on_one_line")
            await page.screenshot({ path: path.join(output, "screenshot.png") });
        for (const key of ["Shift", "Control", "Alt", "Meta", "CapsLock"])
            await page.press(key);
        await pause(100);
        expect(`${name}: a modifier alone ends no wait`, (await page.state()) === "key");
        await endWith(page, name, endings[index % endings.length], c);
    }
    expect("the focus is on the button", await page.evaluate(() => document.activeElement.id === "again"));
    await audit(page, "after a run");

    // The unread rest of a line is no key; a key typed ahead is.
    await page.fresh();
    await page.evaluate(() => chordTerminal.paste(`1 1 -2${" ".repeat(300)}\n`));
    await page.settled("key");
    await pause(300);
    expect("the rest of a line ends no wait", (await page.state()) === "key");
    await endWith(page, "a long line", "x", cases.linear, `1 1 -2${" ".repeat(300)}\n`);
    await page.fresh();
    await page.evaluate(() => chordTerminal.paste("1 1 -2\nx"));
    expect("a key typed ahead ends the wait", (await page.settled("ended")) === "ended" && (await page.status()) === "0");

    // Ctrl+C copies what is selected, else stops the run; Tab leaves.
    await page.fresh();
    await page.keyboard.type("2 1");
    await audit(page, "during input");
    const inTerminal = () => page.evaluate(() => document.activeElement.classList.contains("xterm-helper-textarea"));
    for (const key of ["Tab", "Shift+Tab"]) {
        await page.click("#terminal");
        await page.press(key);
        expect(`${key} leaves the terminal`, !(await inTerminal()));
    }
    await page.click("#terminal");
    await page.evaluate(() => {
        chordTerminal.selectLines(0, 0);
        document.addEventListener("copy", event => (window.copied = event.clipboardData.getData("text/plain")));
    });
    await page.press("Control+KeyC");
    const copied = await page.evaluate(() => window.copied);
    expect("Ctrl+C copies the selection", copied?.startsWith("Программа демонстрирует") && (await page.state()) === "input",
        `${copied}, ${await page.state()}`);
    await page.evaluate(() => chordTerminal.clearSelection());
    await page.press("Control+KeyC");
    expect("Ctrl+C at input stops the run", (await page.settled("ended")) === "ended" && (await page.status()) === "interrupted");
    expect("^C shown", (await page.screen()).includes("Задайте порядок уравнения: 2 1^C"));
    const readable = await page.waitForFunction(() => document.querySelector(".xterm-accessibility-tree")?.textContent
        .includes("Задайте порядок уравнения: 2 1^C"), { timeout: 3000 }).then(() => true, () => false);
    const label = await page.evaluate(() => document.querySelector(".xterm-helper-textarea").getAttribute("aria-label"));
    expect("a screen reader reads the dialogue", readable && /[а-я]/.test(label), label);

    // A window made narrow while typing, wide again after the run: the text
    // reflowed, the line typed whole.
    await page.fresh();
    await page.keyboard.type("2 1 -3");
    await page.press("Home");
    await pause(100);
    const at = await page.evaluate(() => chordTerminal.buffer.active.cursorX);
    expect("Home puts the cursor where the line begins", at === "Задайте порядок уравнения: ".length, `column ${at}`);
    await page.press("End");
    await page.setViewport({ width: 420, height: 700 });
    await pause(300);
    await page.keyboard.type(" 2");
    await page.press("Enter");
    await page.settled("key");
    expect("fitted to a narrow window", (await page.cols()) < 50, `${await page.cols()} columns`);
    await page.checkScreen("typed while resized", cases.quadratic_on_one_line);
    await endWith(page, "resized", "x", cases.quadratic_on_one_line);
    await page.setViewport({ width: 1000, height: 700 });
    await pause(300);
    await page.checkScreen("after a run, widened", cases.quadratic_on_one_line);
    await page.close();
}

async function narrow(browser) {
    const page = await open(browser, { width: 320, height: 640 });
    for (const edit of edits) {
        await page.fresh();
        await page.perform(edit.keys);
        const state = await page.settled("key", "ended").catch(() => page.state());
        expect(`${edit.keys.join(" ")}: waits for a key`, state === "key", state);
        await page.checkScreen(edit.keys.join(" "), cases[edit.name]);
        await page.press("x");
    }
    await checkLayout(page, "320 px");
    await page.screenshot({ path: path.join(output, "narrow.png") });
    for (const [width, height] of [[800, 600], [2560, 1440]]) {
        await page.setViewport({ width, height });
        await pause(300);
        await checkLayout(page, `${width} px`);
    }
    await page.close();
}

async function phone(browser) {
    const page = await open(browser, { width: 390, height: 844, deviceScaleFactor: 3, isMobile: true, hasTouch: true });
    await page.settled("input");
    expect("a phone is told to tap", await page.evaluate(() => document.querySelector(".for-input").offsetWidth > 0));
    await audit(page, "on a phone");
    await page.tap("#terminal");
    expect("a tap focuses the input", await page.evaluate(() => document.activeElement.classList.contains("xterm-helper-textarea")));
    // The on-screen keyboard takes half the screen: the line typed stays in
    // view above it.
    await page.keyboard.type("2 1 -3");
    await page.setViewport({ width: 390, height: 420, deviceScaleFactor: 3, isMobile: true, hasTouch: true });
    await pause(300);
    const cursor = await page.evaluate(() => document.querySelector(".xterm-cursor")?.getBoundingClientRect().bottom);
    expect("the line typed stays above the on-screen keyboard", cursor > 0 && cursor <= 420, `cursor at ${cursor}`);
    await page.setViewport({ width: 390, height: 844, deviceScaleFactor: 3, isMobile: true, hasTouch: true });
    await page.perform(['" 2"', "Enter"]);
    await page.settled("key");
    await page.checkScreen("on a phone", cases.quadratic_on_one_line);
    await page.screenshot({ path: path.join(output, "phone.png") });
    await page.tap("#terminal");
    expect("a tap ends the wait with status 0", (await page.settled("ended")) === "ended" && (await page.status()) === "0");
    await page.checkScreen("on a phone, after the tap", cases.quadratic_on_one_line);
    await checkLayout(page, "a phone");
    await audit(page, "on a phone, after a run");
    await page.close();
}

async function main() {
    const browser = await puppeteer.launch({
        executablePath: "/usr/bin/chromium",
        headless: true,
        userDataDir: fs.mkdtempSync(path.join(os.tmpdir(), "chord-chromium-")),
        args: ["--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run", "--disable-background-networking",
            "--disable-component-update", "--disable-sync"],
    });
    for (const part of [desktop, narrow, phone]) {
        const before = failures.length;
        await part(browser).catch(error => failures.push(`${part.name}: ${error.stack}`));
        console.log(`${part.name}: ${failures.length === before ? "as expected" : failures.slice(before).join("\n\n")}`);
    }
    await browser.close();
    process.exitCode = failures.length > 0 || Object.keys(cases).length < 20 ? 1 : 0;
}

main();
