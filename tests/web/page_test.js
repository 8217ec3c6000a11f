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
const zlib = require("zlib");
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

// A model of the program's arithmetic, for inputs of plain numbers: every
// operation rounded to float, the modulus in double; the chord method with
// its shared budget, and deflation. Its points are the steps file's rows.
const f = Math.fround;
const mul = (a, b) => [f(f(a[0] * b[0]) - f(a[1] * b[1])), f(f(a[0] * b[1]) + f(a[1] * b[0]))];
const div = (a, b) => {
    const d = f(f(b[0] * b[0]) + f(b[1] * b[1]));
    return [f(f(f(a[0] * b[0]) + f(a[1] * b[1])) / d), f(f(f(a[1] * b[0]) - f(a[0] * b[1])) / d)];
};
const sub = (a, b) => [f(a[0] - b[0]), f(a[1] - b[1])];
const add = (a, b) => [f(a[0] + b[0]), f(a[1] + b[1])];
const modulus = a => Math.sqrt(f(f(a[0] * a[0]) + f(a[1] * a[1])));
function modelRows(input) {
    const [order, ...rest] = input.trim().split(/\s+(?![^(]*\))/);
    const number = /^[-+]?(\d+\.?\d*|\.\d+)(e[-+]?\d+)?$/i;
    const table = rest.map(item => item.replace(/^\((.*)\)$/, "$1").split(",").map(part => part.trim()));
    if (!/^\d$/.test(order) || table.length !== Number(order) + 1 || !table.flat().every(part => number.test(part)))
        return null;
    table.forEach((item, k) => (table[k] = item.map(f)));
    const rows = [];
    let budget = 0;
    for (let search = 1; table.length > 1; ++search) {
        const at = x => table.reduce((acc, c) => add([c[0], c[1] ?? 0], mul(x, acc)), [0, 0]);
        let [x0, x1, x2] = [[0, 0], [1, 1], [0, 0]];
        let [f0, f1] = [at(x0), at(x1)];
        const row = (x, p) => rows.push({ search, re: x[0], im: x[1], p });
        row(x0, modulus(f0));
        row(x1, modulus(f1));
        let root = x2;
        for (; budget < 10000; ++budget) {
            x2 = sub(x0, div(mul(f0, sub(x1, x0)), sub(f1, f0)));
            const f2 = at(x2);
            if (![...x2, ...f2].every(Number.isFinite)) {
                root = x1;
                break;
            }
            row(x2, modulus(f2));
            root = x2;
            if (modulus(f2) < f(1e-5))
                break;
            [x0, f0, x1, f1] = [x1, f1, x2, f2];
        }
        const quotient = [[table[0][0], table[0][1] ?? 0]];
        for (let k = 1; k < table.length - 1; ++k)
            quotient.push(add([table[k][0], table[k][1] ?? 0], mul(root, quotient[k - 1])));
        table.splice(0, table.length, ...quotient);
    }
    return rows.map((r, k) => {
        const [before, after] = [rows[k - 1], rows[k + 1]];
        const q = before?.search === r.search && after?.search === r.search ? Math.log(after.p / r.p) / Math.log(r.p / before.p) : NaN;
        return [r.search, r.re, r.im, r.p.toPrecision(9), Number.isFinite(q) ? q.toPrecision(9) : ""].join();
    });
}

// The drawing of a case's run, against its transcript: one trail for each
// root printed, its last point that root and as many points as the steps
// file has rows; the remark roots hollow; the steps in the file and the
// count line agree (a search adds its chord points to the count, less the
// one that reached the tolerance); the file's rows those of the model.
async function checkDrawing(page, name, c) {
    await page.waitForFunction(() => document.getElementById("drawing").dataset.pending === undefined);
    const drawn = await page.evaluate(async () => ({
        file: await (await fetch(document.querySelector("[data-part=csv]").href)).text(),
        trails: [...document.querySelectorAll("[data-part=plane] .trail")].map(t => Number(t.dataset.points)),
        roots: [...document.querySelectorAll("[data-part=plane] .root")].map(r => ({ ...r.dataset, remark: r.classList.contains("remark") })),
        table: [...document.querySelector("[data-part=table] tbody").rows].map(row => [...row.cells].map(cell => cell.textContent)),
        view: document.querySelector("[data-part=plane]").dataset.view.split(" ").map(Number),
        edges: document.querySelectorAll("[data-part=plane] .edge").length,
    }));
    const [header, ...lines] = drawn.file.trim().split("\n");
    const rows = lines.map(line => line.split(",")).map(([s, k, re, im, p, q]) => ({ s: Number(s), k: Number(k), re, im, p, q }));
    const printed = [...c.transcript.matchAll(/^x\d+=(\S+) (\S+)i( \(точность не достигнута\))?$/gm)];
    const problems = [];
    const say = (good, what) => good || problems.push(what);
    say(header === "search,step,re,im,abs_p,order", `the header ${header}`);
    say(drawn.trails.length === printed.length && drawn.roots.length === printed.length, `${drawn.trails.length} trails, ${drawn.roots.length} roots`);
    say(drawn.table.length === rows.length, `${drawn.table.length} table rows for ${rows.length} in the file`);
    let count = 0;
    printed.forEach(([, re, im, remark], s) => {
        const own = rows.map((row, k) => ({ ...row, cells: drawn.table[k] })).filter(row => row.s === s + 1);
        const root = drawn.roots[s] ?? {};
        const at = root.end === "budgetSpent" && own.length === 2 ? own[0] : own.at(-1);
        say(drawn.trails[s] === own.length && own.every((row, k) => row.k === k), `search ${s + 1}: its points`);
        say(at && f(at.re) === f(root.re) && f(at.im) === f(root.im) && at.cells?.[2] === `${re} ${im}i`,
            `search ${s + 1}: root ${root.re} ${root.im}, printed ${re} ${im}i`);
        say(root.remark === Boolean(remark), `search ${s + 1}: drawn ${root.remark ? "with" : "without"} the remark`);
        count += own.length - 2 - (root.end === "withinTolerance");
    });
    say(c.transcript.includes(`Число итераций: ${count}\n`), `${count} steps drawn`);
    say(drawn.view[0] <= 0 && drawn.view[1] >= 1 && drawn.view[2] <= 0 && drawn.view[3] >= 1, `the view ${drawn.view}`);
    if (name === "step_budget")
        say(drawn.view[1] - drawn.view[0] < 5 && drawn.edges > 0, `the view ${drawn.view} with ${drawn.edges} marks at the edge`);
    const model = modelRows(c.input);
    if (model) {
        const order = q => (q === "" ? "" : Number(q).toPrecision(9));
        const mismatch = rows.findIndex((row, k) => !model[k] || [row.s, f(row.re), f(row.im), row.p, order(row.q)].join()
            !== model[k]);
        say(mismatch < 0 && model.length === rows.length, `the file's row ${mismatch + 2}: ${lines[mismatch]}, the model's ${model[mismatch]}`);
    }
    expect(`${name}: the drawing`, problems.length === 0, problems.join("\n"));
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
    const page = await open(browser, { width: 1280, height: 800 });
    await page.settled("input");
    await page.click("summary");
    await page.click("#terminal");
    await audit(page, "at the start");
    for (const [index, [name, c]] of Object.entries(cases).entries()) {
        await page.fresh();
        await typeCase(page, c);
        expect(`${name}: waits for a key`, (await page.state()) === "key", await page.state());
        await page.checkScreen(name, c);
        await checkDrawing(page, name, c);
        if (name === "quadratic_on_one_line") {
            await page.evaluate(() => (document.getElementById("drawing").scrollTop = 0));
            await page.screenshot({ path: path.join(output, "screenshot.png") });
        }
        if (["quadratic", "step_budget", "ninth_roots_of_unity"].includes(name))
            await (await page.$("#drawing")).screenshot({ path: path.join(output, `drawing-${name}.png`) });
        if (name === "step_budget") {
            const drawnIn = await page.evaluate(() => Number(document.getElementById("drawing").dataset.drawnIn));
            console.log(`10000 steps drawn ${drawnIn} ms after the last`);
            expect("10000 steps drawn within 100 ms", drawnIn < 100, `${drawnIn} ms`);
        }
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
    await page.setViewport({ width: 1280, height: 800 });
    await pause(300);
    await page.checkScreen("after a run, widened", cases.quadratic_on_one_line);

    // Stepping through the run, by the buttons and the keys; the zoom.
    const stepped = () => page.evaluate(() => [document.querySelector("[data-part=current]").textContent,
        document.querySelector("[data-part=plane] .trail").dataset.points, document.querySelector("[data-part=plane]").dataset.view]);
    await page.click("[data-part=first]");
    const first = await stepped();
    await page.press("ArrowRight*2");
    const third = await stepped();
    await page.press("End");
    const all = await stepped();
    await page.click("[data-part=zoom-in]");
    const zoomed = await stepped();
    expect("stepping", first[0].startsWith("Поиск 1, шаг 0: x = 0 0i") && first[1] === "1" && third[0].startsWith("Поиск 1, шаг 2: x = 0.8 0.4i")
        && third[1] === "3" && all[0].startsWith("Все шаги") && all[1] === "9" && zoomed[2] !== all[2], [first, third, all, zoomed].join("\n"));
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
    const size = fs.readdirSync(site).reduce((sum, name) => sum + zlib.gzipSync(fs.readFileSync(path.join(site, name)), { level: 9 }).length, 0);
    console.log(`the page: ${size} bytes gzip`);
    expect("the page within 250 KB gzip", size <= 250000, `${size} bytes`);
    for (const part of [desktop, narrow, phone]) {
        const before = failures.length;
        await part(browser).catch(error => failures.push(`${part.name}: ${error.stack}`));
        console.log(`${part.name}: ${failures.length === before ? "as expected" : failures.slice(before).join("\n\n")}`);
    }
    await browser.close();
    process.exitCode = failures.length > 0 || Object.keys(cases).length < 20 ? 1 : 0;
}

main();
