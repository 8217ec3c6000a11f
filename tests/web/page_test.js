// The page opened from disk in one engine, walked as its users walk it, each
// behaviour a test that starts from a fresh run: every dialogue case typed
// at the terminal, its run started again by mouse, Enter or Space and ended
// by a different key each time, what it shows read for runs_check.py; the
// lines of edits.txt with the screen checked after every key; the key wait's
// rules; Ctrl+C, Ctrl+D and Ctrl+U also with a Russian layout; Tab; resizes
// while a line wraps; the drawing used as people use it (hover, keys, wheel,
// drag, touch, zoom to its end, a fault made on purpose); a phone, narrow
// windows, links, the page served for offline use and the accessibility
// audit (axe-core). No test times anything.
//   node page_test.js site-folder tests-folder node_modules output-folder [chromium|firefox|webkit]
"use strict";
const { after, before, describe, test } = require("node:test");
const assert = require("node:assert/strict");
const fs = require("fs");
const os = require("os");
const path = require("path");
const { abilities, launch, tokens } = require("./browser.js");
const experiment = require("./experiment.js");
const { walks } = require("./offline.js");
const checks = require("./run_checks.js");

const [site, tests, modules, output, engine = "chromium"] = process.argv.slice(2);
const can = abilities[engine];
// A case file: the input on the first line, \n a line end, \t a tab and \\ a
// backslash; then the transcript.
const unescape = text => text.replace(/\\([nt\\])/g, (_, c) => ({ n: "\n", t: "\t", "\\": "\\" })[c]);
const cases = Object.fromEntries(fs.readdirSync(path.join(tests, "cases")).sort().map(name => {
    const [input, ...transcript] = fs.readFileSync(path.join(tests, "cases", name), "utf8").split("\n");
    return [name.slice(0, -4), { input: unescape(input), transcript: transcript.join("\n").replace(/\n$/, "") }];
}));
// Each line of edits.txt: a case and its keys, as a walk's tokens; indented
// below it, the line typed after each key.
const edits = [];
for (const line of fs.readFileSync(path.join(tests, "web", "edits.txt"), "utf8").split("\n")) {
    if (/^\s+\S/.test(line))
        edits[edits.length - 1].lines = tokens(line).map(text => JSON.parse(text));
    else if (line.trim() && !line.startsWith("#"))
        edits.push({ name: tokens(line)[0], keys: tokens(line).slice(1), lines: [] });
}
const desktop = { width: 1280, height: 800 };
const plane = "[data-part=plane]";
const view = page => page.on(plane, svg => svg.dataset.view);
const moves = (page, action) => view(page).then(before => action().then(() => page.until(before => $("[data-part=plane]").dataset.view !== before, before)));
let browser;
before(async () => (browser = await launch(engine, modules)));
after(() => browser.close());

// What the terminal shows of a case typed, the rows a line wraps into
// joined: the transcript with the input echoed behind the order prompt, a
// tab echoed as a blank.
function screenOf(c, input = c.input) {
    const at = c.transcript.indexOf("уравнения: ") + "уравнения: ".length;
    return (c.transcript.slice(0, at) + input.replace(/\t/g, " ") + c.transcript.slice(at)).replace(/\n+$/, "");
}
const checkScreen = async (page, c, input) => assert.ok(await page.linesAre(screenOf(c, input)), await page.lines());

// Types a case as a user does: one line by the keyboard after a slip taken
// back, several pasted; Ctrl+D while the program still asks.
async function typeCase(page, c) {
    await page.walk(c.input.slice(0, -1).includes("\n") ? `paste ${JSON.stringify(c.input)}`
        : `"9" Backspace ${JSON.stringify(c.input.replace(/\n$/, ""))} ${c.input.endsWith("\n") ? "Enter" : ""}`);
    for (let ends = 0; (await page.settled("input", "key", "ended")) === "input" && ends < 3; ++ends)
        await page.press("Control+KeyD");
}

// Whether the run's drawing came to hold every root written.
const drawn = page => page.until(() => $("#drawing").dataset.complete !== undefined);

// Ends the run with key: the transcript stays, the status is 0.
const endWith = (page, key, c, input) => page.walk(`${key} =ended:0`).then(() => checkScreen(page, c, input));

async function audit(page) {
    await page.runScript(path.resolve(modules, "axe-core", "axe.min.js"));
    assert.deepEqual(await page.eval(() => axe.run(document, { runOnly: { type: "tag", values: ["wcag2a", "wcag2aa", "wcag21a", "wcag21aa"] } })
        .then(result => result.violations.map(v => `${v.id}: ${v.nodes.map(node => node.target.join(" ")).join(", ")}`))), []);
}

// No sideways scrolling, of the page or of the accuracy table in its panel;
// no text below 14 CSS px; buttons at least 44 × 44, links 24 px tall.
const checkLayout = async page => assert.deepEqual(await page.eval(() => {
    const found = document.documentElement.scrollWidth > document.documentElement.clientWidth ? ["the page scrolls sideways"] : [];
    const table = $("[data-part=accuracy-table]");
    if (table.offsetWidth > table.parentElement.clientWidth || $("#drawing").scrollWidth > $("#drawing").clientWidth)
        found.push(`the accuracy table ${table.offsetWidth} px wide in ${table.parentElement.clientWidth}`);
    for (const element of document.querySelectorAll("body *")) {
        const [box, size] = [element.getBoundingClientRect(), getComputedStyle(element).fontSize];
        if ([...element.childNodes].some(node => node.nodeType === 3 && node.textContent.trim()) && box.width > 0
            && !element.closest(".xterm-accessibility") && parseFloat(size) < 14)
            found.push(`${element.tagName} text at ${size}`);
        if (element.tagName === "BUTTON" && box.width > 0 && (box.width < 44 || box.height < 44))
            found.push(`button ${box.width} × ${box.height}`);
        if (element.tagName === "A" && box.width > 0 && box.height < 24)
            found.push(`link ${element.textContent} ${box.height} tall`);
    }
    return found;
}), []);

describe(`${engine}, at a desktop`, () => {
    let page;
    const runs = [];
    before(async () => {
        page = await browser.open(site, desktop, { oldBrowser: true });
        await page.settled("input");
        await page.click("summary");
    });
    after(async () => {
        fs.writeFileSync(path.join(output, "runs.json"), JSON.stringify(runs));
        await page.close();
    });

    test("axe-core finds nothing at the start", () => audit(page));

    // Made on purpose where it draws (SVG elements) and where the program
    // tells it of a root (the file's Blob).
    for (const where of ["Document.prototype.createElementNS", "Blob"]) {
        test(`a fault in the drawing (${where}) stops only the drawing, and the next run draws again`, async () => {
            const swap = broken => page.eval((where, broken) => {
                const names = where.split(".");
                const [owner, name] = [names.slice(0, -1).reduce((object, key) => object[key], window), names[names.length - 1]];
                [window.made, owner[name]] = [owner[name], broken ? () => { throw new Error("made on purpose"); } : window.made];
            }, where, broken);
            await swap(true);
            try {
                await page.walk("fresh");
                await typeCase(page, cases.quadratic_on_one_line);
                assert.ok(await page.until(() => /^Рисунок .*не удалось/.test($("[data-part=fault]:not([hidden])")?.textContent)));
                await endWith(page, "x", cases.quadratic_on_one_line);
            } finally {
                await swap(false);
            }
        });
    }

    // A copy of the page without the drawing's script: the terminal works
    // on, and the panel says why there is no drawing.
    test("without the drawing's script the program runs, and the panel says so", async () => {
        const bare = fs.mkdtempSync(path.join(os.tmpdir(), "chord-bare-"));
        fs.cpSync(site, bare, { recursive: true });
        fs.rmSync(path.join(bare, fs.readdirSync(bare).find(file => file.startsWith("drawing."))));
        const opened = await browser.open(bare, desktop);
        try {
            await opened.settled("input");
            await typeCase(opened, cases.quadratic_on_one_line);
            assert.ok(await opened.until(() => /^Рисунок не загрузился/.test($("[data-part=fault]:not([hidden])")?.textContent)));
            await endWith(opened, "x", cases.quadratic_on_one_line);
        } finally {
            await opened.close();
        }
    });

    const restarts = ["click", "Enter", "Space"];
    // Ctrl+C at the key wait is a key, as at the other consoles.
    const endings = ["x", "Enter", "Space", "Escape", "ArrowUp", "Control+KeyC"];
    for (const [index, [name, c]] of Object.entries(cases).entries()) {
        const [restart, ending] = [restarts[index % restarts.length], endings[index % endings.length]];
        test(`${name}: started by ${restart}, typed, drawn, linked, ended by ${ending}, its transcript on the screen`, async t => {
            await page.walk(`fresh:${restart}`);
            await typeCase(page, c);
            assert.equal(await page.state(), "key");
            const run = await checks.readRun(page, name, c);
            runs.push(run);
            if (name === "quadratic_on_one_line")
                await page.shot(path.join(output, "screenshot.png"));
            if (["quadratic", "step_budget", "ninth_roots_of_unity"].includes(name))
                await page.on(plane, svg => svg.scrollIntoView()).then(() => page.shot(path.join(output, `drawing-${name}.png`), "#drawing"));
            if (name === "step_budget")
                await t.test("the plane saved as SVG", () => checks.checkPlaneFile(page, output));
            await t.test("each search's story and landscape, read", () => checks.readLessons(page, run));
            await t.test("its link types it again", () => checks.checkLink(browser, site, page, c));
            // WebDriver has no key CapsLock.
            await t.test("a modifier alone ends no wait", () => page.walk(`^.xterm-helper-textarea Shift Control Alt Meta ${can.capsLock ? "CapsLock" : ""} =key`));
            await endWith(page, ending, c);
            await page.on("#drawing", panel => (panel.scrollTop = 0));
        });
    }

    test("after a run the focus is on the button, axe-core finds nothing, and from disk no worker and no manifest were tried", async () => {
        await page.walk('fresh "1 1 -2" Enter =key x =ended:0');
        assert.ok(await page.eval(() => document.activeElement.id === "again" && !navigator.serviceWorker?.controller && !$("link[rel=manifest]")));
        await audit(page);
    });

    test("the unread rest of a line is no key; a key typed ahead is", async () => {
        const typed = `1 1 -2${" ".repeat(300)}\n`;
        await page.walk(`fresh paste ${JSON.stringify(typed)} =key x =ended:0`);
        await checkScreen(page, cases.linear, typed);
        await page.walk('fresh paste "1 1 -2\\nx" =ended:0');
    });

    test("Tab and Shift+Tab leave the terminal; Ctrl+C copies what is selected, else (с with a Russian layout) stops the run", async () => {
        const shown = "Задайте порядок уравнения: 2 1^C";
        await page.walk('fresh "2 1"');
        await audit(page);
        for (const key of ["Tab", "Shift+Tab"]) {
            await page.walk(`click ${key}`);
            assert.ok(await page.eval(() => !document.activeElement.classList.contains("xterm-helper-textarea")), key);
        }
        await page.click("#terminal");
        await page.eval(() => term().selectLines(0, 0) ?? document.addEventListener("copy", e => (window.copied = e.clipboardData.getData("text/plain"))));
        // WebKit's WebDriver keys do not run the browser's copy.
        if (can.copyKey) {
            await page.walk("Control+KeyC =input");
            assert.match(await page.eval(() => window.copied), /^Программа демонстрирует/);
        }
        await page.eval(() => term().clearSelection());
        await page.walk("Control+KeyC:с =ended:interrupted");
        assert.ok((await page.lines()).includes(shown));
        // Read by a screen reader, the input labelled in Russian.
        assert.ok(await page.until(text => $(".xterm-accessibility-tree")?.textContent.includes(text), shown));
        assert.match(await page.on(".xterm-helper-textarea", input => input.getAttribute("aria-label")), /[а-я]/);
    });

    // The text reflowed, the line typed whole.
    test("a narrower window while a line that wraps over several rows is typed, a wider one after the run", async () => {
        const typed = `2 1 -3${" ".repeat(100)} 2\n`;
        await page.walk("fresh");
        const top = await page.lines();
        await page.walk(`${JSON.stringify(typed.slice(0, -3))} Home`);
        assert.ok(await page.until(() => term().buffer.active.cursorX === "Задайте порядок уравнения: ".length), "Home");
        await page.press("End");
        await page.resize({ width: 420, height: 700 });
        assert.ok(await page.until(() => term().cols < 50));
        assert.ok(await page.linesAre(top + typed.slice(0, -3)), await page.lines());
        await page.walk('" 2\\n" =key');
        await endWith(page, "x", cases.quadratic_on_one_line, typed);
        await page.resize(desktop);
        await page.until(() => term().cols > 50);
        await checkScreen(page, cases.quadratic_on_one_line, typed);
    });

    // At the key wait, keys in the drawing do what they do there; elsewhere
    // they keep the browser's meaning. The pointer resting on a root tells its
    // step beside it, the step line kept.
    test("stepping through a run by the buttons and the keys, at its key wait; a root pointed at", async () => {
        const stepped = () => page.eval(() => [$("[data-part=current]").textContent, $("[data-part=plane] .trail").dataset.points]);
        await page.walk("fresh");
        await typeCase(page, cases.quadratic_on_one_line);
        await page.walk("@[data-part=first]");
        await page.quiet();
        const first = await stepped();
        await page.walk("^[data-part=plane] ArrowRight*2");
        assert.ok(await page.until(() => $("[data-part=current]").textContent.startsWith("Поиск 1, шаг 2: ")));
        const third = await stepped();
        await page.walk("^.scroller ArrowLeft ^.scroller End ^[data-part=csv] Home ^[data-part=first] Tab");
        await page.quiet();
        const kept = await stepped();
        await page.walk("^[data-part=first] End");
        await page.quiet();
        const all = await stepped();
        // Once the plane, fitted again to the window, stands still.
        await page.still("JSON.stringify($('[data-root=\"1\"]').getBoundingClientRect())");
        await page.mouse.move(...(await page.middle('[data-root="1"]')));
        assert.ok(await page.until(() => !$("[data-part=tooltip]").hidden));
        assert.deepEqual([first[0].slice(0, 24), third[0].slice(0, 28), first[1], third[1], kept, all[0].slice(0, 9), all[1], await page.state(),
            (await page.text("[data-part=tooltip]")).slice(0, 13), (await stepped())[0]],
        ["Поиск 1, шаг 0: x = 0 0i", "Поиск 1, шаг 2: x = 0.8 0.4i", "1", "3", third, "Все шаги:", "9", "key", "Поиск 1, шаг ", all[0]]);
        await page.walk("^.xterm-helper-textarea");
        await endWith(page, "x", cases.quadratic_on_one_line);
    });

    test("at 200 % zoom the step buttons, the step line and the plane fit together and keep their place while stepping; a search's story told once", async () => {
        await page.resize({ width: 512, height: 384 });
        await page.walk('fresh "2 1 -3 2" Enter =key @[data-part=first]');
        await page.on("[data-part=steps]", group => group.scrollIntoView());
        await page.quiet();
        const place = () => page.eval(() => {
            const box = selector => $(selector).getBoundingClientRect();
            return [box("[data-part=steps]").top + scrollY, box("[data-part=current]").top + scrollY, box(".plane-layers").top + scrollY,
                box("[data-part=steps]").top >= 0 && box(".plane-layers").bottom <= innerHeight];
        });
        const at = await place();
        await page.eval(() => {
            window.storyTold = 0;
            new MutationObserver(() => ++window.storyTold).observe($("[data-part=story]"), { childList: true, characterData: true, subtree: true });
        });
        const searches = [];
        for (let k = 0; k < 12; ++k) {
            await page.click("[data-part=forward]");
            await page.quiet();
            assert.deepEqual(await place(), at, `step ${k + 1}`);
            searches.push((await page.text("[data-part=current]")).split(",")[0]);
        }
        assert.deepEqual([at[3], await page.eval(() => window.storyTold)], [true, searches.filter((s, k) => s !== (searches[k - 1] ?? "Поиск 1")).length]);
        await page.resize(desktop);
        await page.walk("^.xterm-helper-textarea");
        await endWith(page, "x", cases.quadratic_on_one_line);
    });

    test("the plane zoomed and panned by buttons, keys, the wheel and a drag", async () => {
        await page.walk("fresh");
        await typeCase(page, cases.quadratic_on_one_line);
        assert.ok(await drawn(page), "never complete");
        assert.ok(await moves(page, () => page.click("[data-part=zoom-in]")), "+");
        await page.click("[data-part=zoom-reset]");
        const framed = await view(page);
        await page.focus(plane);
        assert.ok(await moves(page, () => page.press("Shift+ArrowRight")), "Shift+→");
        const views = [];
        for (let k = 0; k < 60; ++k)
            views.push(await page.press("+").then(() => page.quiet()).then(() => view(page)));
        const ticks = await page.eval(() => [...document.querySelectorAll("[data-part=plane] .tick.re")].map(t => t.textContent));
        assert.ok(new Set(views).size < 40 && views[59] === views[50] && ticks.length >= 2 && new Set(ticks).size === ticks.length,
            `zoom stops while the ticks differ: ${new Set(views).size} views, ticks ${ticks}`);
        await page.click("[data-part=zoom-reset]");
        assert.equal(await view(page), framed, "Сбросить вид");
        // The plain wheel scrolls the page and hints; Ctrl + wheel zooms.
        await page.mouse.move(...(await page.middle(plane)));
        const scrolled = () => page.eval(() => $("#drawing").scrollTop + scrollY);
        const top = await scrolled();
        await page.mouse.wheel(200);
        assert.ok(await page.until(top => $("#drawing").scrollTop + scrollY !== top, top), "the wheel scrolls the page");
        assert.deepEqual([await view(page), await page.on("[data-part=plane-hint]", hint => !hint.hidden)], [framed, true]);
        const [x, y] = await page.middle(plane);
        await page.mouse.move(x, y);
        const after = await scrolled();
        // WebKit's WebDriver gives a wheel no modifier keys.
        if (can.wheelModifiers) {
            assert.ok(await moves(page, () => page.keyDown("Control").then(() => page.mouse.wheel(-200)).then(() => page.keyUp("Control"))));
            assert.equal(await scrolled(), after, "Ctrl + wheel zooms, scrolling nothing");
        }
        assert.ok(await moves(page, async () => {
            await page.mouse.down();
            for (let k = 1; k <= 5; ++k)
                await page.mouse.move(x - 30 * k, y + 30 * k);
            await page.mouse.up();
        }), "a drag pans");
        assert.equal(await page.eval(() => getSelection().toString()), "", "selecting nothing");
        assert.ok(await page.eval(() => [...document.querySelectorAll("[data-part=plane] text")].some(t => t.textContent.includes("1+i"))),
            "the start points stay where the program put them");
        await page.click("[data-part=zoom-reset]");
    });

    // The first search's trail through the points of the steps file, framed,
    // and zoomed in as far as the plane goes towards one of them with + and
    // Shift + arrows: x² + i's 10000 points on one line, and the last of
    // x⁹ − 1's first search, a millionth from its root; and (x − 1)⁹ zoomed
    // in on its root, where its landscape must span what log₁₀|P| does,
    // 9 log₁₀|x − 1| (exact in double there), not rounding noise.
    for (const [name, pick] of [["step_budget", points => points[5000]], ["ninth_roots_of_unity", points => points[points.length - 1]],
        ["ninefold_root", () => [1, 0]]]) {
        test(`${name}: the first trail, framed and at the deepest zoom, drawn through its points`, async () => {
            await page.walk("fresh");
            await typeCase(page, cases[name]);
            assert.ok(await drawn(page), "never complete");
            const points = await checks.firstSearch(page);
            await page.quiet();
            assert.ok(await checks.checkTrail(page, points) >= 2, "framed");
            const [re, im] = pick(points);
            await page.focus(plane);
            // Each Shift + arrow moves the view a tenth of its width.
            for (let zoomed = true; zoomed;) {
                const [left, right, bottom, top] = (await view(page)).split(" ").map(Number);
                const [dx, dy] = [((re - left) / (right - left) - 0.5) * 10, ((top - im) / (top - bottom) - 0.5) * 10];
                for (const [tenths, key] of [[dx, "Shift+ArrowRight"], [-dx, "Shift+ArrowLeft"], [dy, "Shift+ArrowDown"], [-dy, "Shift+ArrowUp"]]) {
                    for (let k = 0; k < Math.round(tenths); ++k)
                        await page.press(key);
                }
                await page.press("+");
                await page.quiet();
                const [nowLeft, nowRight] = (await view(page)).split(" ").map(Number);
                zoomed = nowRight - nowLeft < right - left;
            }
            if (name !== "ninefold_root")
                return assert.ok(await checks.checkTrail(page, points) >= 1, "zoomed in");
            assert.ok(await page.until(() => $("[data-part=plane-ground] .landscape:not([transform])")));
            const [left, right, bottom, top] = (await view(page)).split(" ").map(Number);
            const cell = 4 * (right - left) / await page.on(plane, svg => svg.viewBox.baseVal.width);
            const [lo, hi] = /от (\S+) \(темнее\) до (\S+)/.exec(await page.text("[data-part=legend-text]")).slice(1).map(Number);
            const farthest = 9 * Math.log10(Math.max(...[left, right].flatMap(re => [bottom, top].map(im => Math.hypot(re - 1, im)))));
            assert.ok(Math.abs(hi - farthest) < 0.2 && lo <= 9 * Math.log10(cell) + 0.1, [lo, hi, farthest, 9 * Math.log10(cell)]);
        });
    }

    test("no page errors", () => assert.deepEqual(page.errors, []));
});

// The lines of edits.txt on a 320 px terminal, the screen checked after
// every key; the table opened after a run; the layout at three widths.
describe(`${engine}, on a narrow terminal`, () => {
    let page;
    before(async () => (page = await browser.open(site, { width: 320, height: 640 })));
    after(() => page.close());
    for (const edit of edits) {
        test(edit.keys.join(" "), async () => {
            // The earlier runs, up to the last fresh, whose lines ↑ recalls.
            const start = edit.keys.lastIndexOf("fresh") + 1;
            await page.walk(["fresh", ...edit.keys.slice(0, start)].join(" "));
            const top = await page.lines();
            for (const [k, key] of edit.keys.slice(start).entries()) {
                await page.walk(key);
                if (edit.lines[k] !== undefined)
                    assert.ok(await page.linesAre(top + edit.lines[k]), `after ${key}:\n${await page.lines()}`);
            }
            await page.walk("=key");
            await endWith(page, "x", cases[edit.name]);
        });
    }
    test("the step table opened after a run", async () => {
        await page.walk('fresh "2 1 -3 2" Enter =key x =ended:0');
        // Where the run's late parts (the accuracy table) have pushed it.
        await page.still("$('summary').getBoundingClientRect().top");
        await page.click("summary");
        assert.ok(await page.until(() => $("[data-part=table] tbody td:nth-child(3)")?.textContent === "0 0i"));
        // The row of the step selected, and only it, marked as the current one.
        for (const [buttons, rows] of [["first forward forward", "3"], ["back", "2"], ["all", ""]]) {
            await page.walk(buttons.split(" ").map(name => `@[data-part=${name}]`).join(" "));
            assert.ok(await page.until(rows => [...document.querySelectorAll("[data-part=table] tbody tr")]
                .flatMap((row, k) => (row.hasAttribute("aria-current") ? [k + 1] : [])).join() === rows, rows), buttons);
        }
        await page.click("summary");
    });
    test("the accuracy table: a row headed by each root, its story below", async () => {
        // The widest numbers of the cases: true roots of 16 digits, 32 orders apart.
        await page.walk('fresh "2 100 1 1e-34" Enter =key x =ended:0');
        assert.ok(await page.until(() => $("#drawing").dataset.complete !== undefined));
        assert.deepEqual(await page.eval(() => [...$("[data-part=accuracy-table]").tBodies[0].rows].map(row => row.className || row.cells[0].scope)),
            ["row", "story", "row", "story"]);
    });
    for (const [width, height] of [[320, 640], [390, 844], [800, 600], [1280, 800], [2560, 1440]]) {
        test(`the layout at ${width} px`, async () => {
            await page.resize({ width, height }).then(page.quiet);
            await checkLayout(page);
            await page.shot(path.join(output, width === 320 ? "narrow.png" : `layout-${width}.png`));
        });
    }
});

// The start points moved, the experiment's files and map read for
// runs_check.py (experiments.json), its link, the report printed.
describe(`${engine}, an experiment`, () => {
    let page;
    const found = { experiments: [], maps: [] };
    before(async () => (page = await browser.open(site, desktop)).settled("input"));
    after(async () => {
        fs.writeFileSync(path.join(output, "experiments.json"), JSON.stringify(found));
        await page.close();
    });
    const walk = () => ({ browser, site, page, typeCase, cases, found, output });
    test("x² + i: the second start moved by the arrows, the plane's arrows step it, its link, the map, the reset", () => experiment.keyboardWalk(walk()));
    test("x⁹ − 1: the first start dragged by the mouse; the report printed to PDF", async () => {
        await page.walk("fresh");
        await experiment.mouseWalk(walk());
        // Only Chromium's driver prints.
        if (engine === "chromium")
            await experiment.printWalk({ page, output, roots: 9 });
    });
    test("axe-core finds nothing with an experiment and the map shown", async () => {
        await page.click("[data-part=map-shown]");
        assert.ok(await page.until(() => /^Карта готова/.test($("[data-part=map-summary]").textContent)));
        await audit(page);
    });
    test("no page errors", () => assert.deepEqual(page.errors, []));
});

// Only Chromium's driver gives touch.
describe(`${engine}, on a phone`, { skip: !can.touch }, () => {
    const screen = { width: 390, height: 844, deviceScaleFactor: 3, isMobile: true, hasTouch: true };
    let page;
    const tap = async selector => page.touch("touchStart", [await page.middle(selector)]).then(() => page.touch("touchEnd", []));
    before(async () => (page = await browser.open(site, screen)).settled("input"));
    after(() => page.close());

    test("told to tap; axe-core finds nothing", async () => {
        assert.ok(await page.on(".for-input", hint => hint.offsetWidth > 0));
        await audit(page);
    });
    test("a tap opens the keyboard, the line typed stays above it, a tap ends the wait", async () => {
        await tap("#terminal");
        assert.ok(await page.eval(() => document.activeElement.classList.contains("xterm-helper-textarea")));
        // The on-screen keyboard takes half the screen.
        await page.type("2 1 -3");
        await page.resize({ ...screen, height: 420 });
        assert.ok(await page.until(() => $(".xterm-cursor")?.getBoundingClientRect().bottom > 0 && $(".xterm-cursor").getBoundingClientRect().bottom <= 420));
        await page.resize(screen);
        await page.walk('" 2\\n" =key');
        await checkScreen(page, cases.quadratic_on_one_line);
        await page.shot(path.join(output, "phone.png"));
        await tap("#terminal");
        await page.walk("=ended:0");
        await checkScreen(page, cases.quadratic_on_one_line);
    });
    test("a finger on a start point drags it, and the page stays", () => experiment.touchWalk({ page }));
    test("one finger over the plane scrolls the page; two pinch the plane", async () => {
        await page.walk('fresh paste "2 1 -3 2\\n" =key');
        const [[x, y], top, framed] = [await page.middle(plane), await page.eval(() => scrollY), await view(page)];
        // Held still at the end, so that no fling goes on scrolling.
        for (const [k, type] of ["touchStart", ...Array(15).fill("touchMove")].entries())
            await page.touch(type, [[x, y + 20 * Math.min(k, 10)]]);
        await page.touch("touchEnd", []);
        assert.ok(await page.until(top => scrollY !== top, top));
        assert.deepEqual([await view(page), await page.on("[data-part=plane-hint]", hint => !hint.hidden)], [framed, true]);
        await page.still("scrollY");
        const [[x2, y2], at] = [await page.middle(plane), await page.eval(() => scrollY)];
        assert.ok(await moves(page, async () => {
            for (const [k, type] of ["touchStart", ...Array(5).fill("touchMove")].entries())
                await page.touch(type, [[x2 - 20 - 10 * k, y2], [x2 + 20 + 10 * k, y2]]);
            await page.touch("touchEnd", []);
        }));
        assert.equal(await page.eval(() => scrollY), at);
        // At rest, drawn again in place, the trails at three canvas pixels to
        // one of the page's, as the screen has them.
        assert.ok(await page.until(() => $("[data-part=plane]").style.transform === "" && devicePixelRatio === 3
            && $("[data-part=plane-trails]").width === 3 * parseFloat($("[data-part=plane-trails]").style.width)), "sharp at rest");
    });
});

// Links no teacher would send: each types no more than it says, adds no
// element, and the page says what it left out.
describe(`${engine}, links`, () => {
    // What the link is, its text, what the status says, the state it leaves,
    // and the lines it must have typed, as the case's transcript shows them,
    // or what the screen must show.
    const quadratic = [["2", "1 -3 2"], cases.quadratic];
    const hostile = [
        ["script text", encodeURIComponent("2\n<img src=x onerror=alert(1)><script>alert(2)</script>"), /строк: 2\.$/, "key"],
        ["100 kB", encodeURIComponent("1 ".repeat(50000)), /первые 2000 знаков из 100000\.$/, "key"],
        ["control characters", encodeURIComponent("2\x07\x1b\n1 -3 2\0"), /управляющие знаки пропущены\.$/, "key", ...quadratic],
        ["invisible characters", encodeURIComponent("2\u2028\n1 -3\u200b 2\u202e\ufeff\u2066"), /невидимые знаки .*пропущены\.$/, "key", ...quadratic],
        ["broken encoding", "2%0A%E0%A4%A", /^Ссылка повреждена/, "input"],
        ["two inputs and a key of no use", `${encodeURIComponent("2\n1 -3 2")}&input=9&x=1`, /input повторён: взят первый; неизвестные ключи пропущены: x\.$/, "key",
            ...quadratic],
        // Ctrl+D hands "2 1 -" over without its line end: the program reads -3, as typed by hand.
        ["a line ended by Ctrl+D", encodeURIComponent("2 1 -\x043 2"), /строк: 2\.$/, "key", /уравнения: 2 1 -Задайте[^]*A\(\)= 3 2\n[^]*x2=2 0i/],
    ];
    for (const [what, text, said, state, typed, c] of hostile) {
        test(`a link with ${what}`, async () => {
            const page = await browser.open(site, desktop, { hash: `#input=${text}` });
            try {
                assert.equal(await page.settled(state), state);
                assert.match(await page.text("#status"), said);
                assert.equal(await page.eval(() => document.querySelectorAll("script:not([src]), img, [onerror]").length), 0);
                const lines = await page.lines();
                assert.ok(state === "key" || lines.trimEnd().endsWith("уравнения:"), lines);
                if (typed instanceof RegExp)
                    assert.ok(await page.until(shown => new RegExp(shown).test(dialogueLines()), typed.source), await page.lines());
                else if (typed)
                    assert.ok(await checks.typedWhenAsked(page, typed, c.transcript), await page.lines());
                if (what === "100 kB")
                    assert.equal(lines.match(/уравнения: ([1 ]*)\n/)?.[1].replace(/ /g, "").length, 1000, "2000 characters typed");
            } finally {
                await page.close();
            }
            assert.deepEqual(page.errors, []);
        });
    }
});

// Links as teachers use them: opened in a tab that shows the page already,
// gone back to and forward again, each a fresh run typing its equation; a
// key typed while a link types stops it.
describe(`${engine}, links in an open tab`, () => {
    const link = lines => `#input=${encodeURIComponent(lines.join("\n"))}`;
    test("a link opened in the tab, then Back and Forward", async () => {
        const page = await browser.open(site, desktop);
        try {
            await page.settled("input");
            const to = hash => (location.hash = hash);
            for (const [go, lines, c] of [[to, ["2", "1 -3 2"], cases.quadratic], [to, ["1", "1 -2"], cases.linear],
                [() => history.back(), ["2", "1 -3 2"], cases.quadratic], [() => history.forward(), ["1", "1 -2"], cases.linear]]) {
                await page.eval(go, link(lines));
                assert.ok(await page.until(count => $("#status").textContent === `Уравнение набрано по ссылке, строк: ${count}.`, lines.length), go);
                assert.equal(await page.settled("key"), "key");
                assert.ok(await checks.typedWhenAsked(page, lines, c.transcript), await page.lines());
            }
        } finally {
            await page.close();
        }
    });
    test("a key typed while a link types stops it, and the status says how far it came", async () => {
        // An order too large, 600 times, each asked again: the link is still typing when the key comes.
        const page = await browser.open(site, desktop, { hash: link([...Array(600).fill("12"), "2", "1 -3 2"]) });
        try {
            assert.ok(await page.until(() => /набирается по ссылке, строк: [1-9]/.test($("#status").textContent)));
            await page.walk('"9"');
            assert.ok(await page.until(() => /^Набор по ссылке остановлен клавишей, набрано строк: [1-9]\d* из 602\.$/.test($("#status").textContent)));
            // The key typed on a line of its own, after the program's answer to the last line typed.
            assert.ok(await page.until(() => /уравнения: 9$/.test(dialogueLines().trimEnd())), await page.lines());
        } finally {
            await page.close();
        }
    });
});

// A service worker is the same in each engine: served, Chromium's.
describe(`${engine}, served`, { skip: engine !== "chromium" }, () => {
    const solve = async page => {
        await typeCase(page, cases.quadratic_on_one_line);
        await checkScreen(page, cases.quadratic_on_one_line);
    };
    for (const [name, walk] of Object.entries(walks))
        test(name, () => walk(browser, site, solve, tests));
});
