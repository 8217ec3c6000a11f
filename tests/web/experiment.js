// The experiment and what comes with it, walked as a student walks them: the
// start points moved by the keys, the mouse and a finger; the experiment's
// files, read for runs_check.py, which holds them against the model of the
// program's arithmetic from those points; the map's colours at sampled
// starts, read for the same; the link that carries the experiment; the lab
// report printed to PDF (Chromium's driver prints).
"use strict";
const assert = require("node:assert/strict");
const { execFileSync } = require("child_process");
const fs = require("fs");
const path = require("path");

const line = page => page.text("[data-part=experiment]");
const handle = k => `.handle[data-handle="${k}"]`;

// Until the experiment line differs from before; the new one.
async function changed(page, before) {
    assert.ok(await page.until(before => $("[data-part=experiment]").textContent !== before
        && /^Опыт: /.test($("[data-part=experiment]").textContent), before), `still ${before}`);
    return line(page);
}

// What the experiment shown came to, for runs_check.py: its files, the first
// polynomial as the program told it (where the engine let it be heard).
const readExperiment = (page, name) => page.eval(async name => {
    const file = async part => (await fetch($(`[data-part=${part}]`).href)).text();
    return { name, line: $("[data-part=experiment]").textContent, table: window.told?.[0] ?? null, files: [$("[data-part=csv]").download,
        $("[data-part=roots-csv]").download], steps: await file("csv"), roots: await file("roots-csv") };
}, name);

// The map, once complete: its grid, the start each cell begins from, and the
// colour of cells sampled across it; the crosses with their colours.
const readMap = (page, name) => page.eval(async name => {
    const group = $("[data-part=plane-ground] .basin-map");
    const { data, width, height } = await pixelsOf(group.querySelector("image").getAttribute("href"));
    // Cells spread over the map, and cells beside one of another colour,
    // where an error of a start point shows first.
    const at = (i, j) => [...data.slice(4 * (j * width + i), 4 * (j * width + i) + 3)];
    const spread = Array.from({ length: 40 }, (_, k) => [(k * 7919) % width, (k * 104729) % height]);
    const edges = [];
    for (let k = 0; k < width * height && edges.length < 40; k += 37) {
        const [i, j] = [k % (width - 1), Math.floor(k / width)];
        if (at(i, j).reduce((sum, c, n) => sum + Math.abs(c - at(i + 1, j)[n]), 0) > 90)
            edges.push([i, j], [i + 1, j]);
    }
    const samples = [...spread, ...edges].map(([i, j]) => [i, j, ...at(i, j)]);
    const crosses = [...document.querySelectorAll("[data-part=plane] .true-root")].map(cross => [Number(cross.dataset.re), Number(cross.dataset.im),
        cross.style.getPropertyValue("--cross").trim()]);
    return { name, table: window.told?.[0] ?? null, cols: width, rows: height, world: group.dataset.world.split(" ").map(Number),
        first: group.dataset.first.split(" ").map(Number), samples, crosses, summary: $("[data-part=map-summary]").textContent };
}, name);

// x² + i, whose run spends the budget: moved by the arrows, from the second
// start one tick down it converges; the plane's arrows step through the
// experiment; its link opens it again; a start on the program's line fails;
// the map; the reset.
async function keyboardWalk({ browser, site, page, typeCase, cases, found, output }) {
    await typeCase(page, cases.step_budget);
    assert.ok(await page.until(() => $("#drawing").dataset.complete !== undefined && !$('.handle[data-handle="1"]').hidden));
    await page.focus(handle(1));
    await page.press("ArrowDown");
    const converged = await changed(page, "");
    assert.match(converged, /^Опыт: поиски начаты в точках 0 0i и 1 0\.5i; шагов \d+; корни: x1 = \S+ \S+i; x2 = \S+ \S+i\. /);
    assert.doesNotMatch(converged, /не достигнута/);
    found.experiments.push(await readExperiment(page, "x² + i from 0 and 1 + 0.5i"));
    await page.press("Shift+ArrowLeft");
    assert.match(await changed(page, converged), /в точках 0 0i и 0\.95 0\.5i;/);
    found.experiments.push(await readExperiment(page, "x² + i from 0 and 0.95 + 0.5i"));
    assert.match(await page.on(handle(1), button => button.getAttribute("aria-label")), /^Вторая начальная точка 0\.95 0\.5i/);
    // The plane's arrows step through the experiment's points: ← goes to
    // the last search's point before its last.
    const rows = found.experiments.at(-1).steps.trim().split("\n").slice(1);
    assert.equal(await page.text("[data-part=current]"), `Все шаги: поисков 2, точек ${rows.length}.`);
    await page.walk("^[data-part=plane] ArrowLeft");
    const step = rows.filter(row => row.startsWith("2,")).length - 2;
    assert.ok(await page.until(step => $("[data-part=current]").textContent.startsWith(`Поиск 2, шаг ${step}: `), step), await page.text("[data-part=current]"));
    await page.press("End");
    await page.on(".plane-box", box => box.scrollIntoView()).then(() => page.shot(path.join(output, "experiment.png"), ".plane-box"));

    // The link carries it, and opened shows the same experiment.
    await page.click("[data-part=share]");
    assert.ok(await page.until(() => $("[data-part=shared]").dataset.link));
    const link = await page.eval(() => $("[data-part=shared]").dataset.link);
    assert.match(link, /#input=.*&starts=0,0,0\.95,0\.5$/);
    const [address, hash] = link.split("#");
    assert.equal(address, `file://${path.resolve(site, "index.html")}`);
    const opened = await browser.open(site, { width: 1280, height: 800 }, { hash: `#${hash}` });
    try {
        assert.ok(await opened.until(shown => $("[data-part=experiment]").textContent === shown, await line(page)), await line(opened));
        // On the program's own line from 0: the budget spent again.
        await opened.eval(hash => (location.hash = hash), `#${hash.replace(/starts=.*/, "starts=0,0,2,2")}`);
        assert.match(await changed(opened, await line(page)), /в точках 0 0i и 2 2i; шагов 10000; корни: x1 = .*точность не достигнута/);
        found.experiments.push(await readExperiment(opened, "x² + i from 0 and 2 + 2i"));
    } finally {
        await opened.close();
    }

    await page.click("[data-part=map-shown]");
    assert.ok(await page.until(() => /^Карта готова: к корню .*; поиск не достиг допуска: \d+ %\.$/.test($("[data-part=map-summary]").textContent)));
    found.maps.push(await readMap(page, "x² + i from 0 and 0.95 + 0.5i"));
    await page.on(".plane-box", box => box.scrollIntoView()).then(() => page.shot(path.join(output, "map.png"), ".plane-box"));
    await page.click("[data-part=map-shown]");

    await page.click("[data-part=experiment-reset]");
    assert.ok(await page.until(() => $("[data-part=experiment]").textContent === "" && $("[data-part=csv]").download === "chord-steps.csv"
        && $("[data-part=experiment-reset]").hidden));
}

// x⁹ − 1: the first start dragged by the mouse: each move shows the
// experiment for where the handle is.
async function mouseWalk({ page, typeCase, cases, found }) {
    await typeCase(page, cases.ninth_roots_of_unity);
    assert.ok(await page.until(() => $("#drawing").dataset.complete !== undefined && !$('.handle[data-handle="0"]').hidden));
    const [x, y] = await page.middle(handle(0));
    await page.mouse.move(x, y);
    await page.mouse.down();
    let before = "";
    for (const [dx, dy] of [[20, -10], [40, -25], [60, -30]]) {
        await page.mouse.move(x + dx, y + dy);
        before = await changed(page, before);
    }
    await page.mouse.up();
    assert.match(before, /^Опыт: поиски начаты в точках \S+ \S+i и 1 1i; шагов \d+; корни: x1 = .*x9 = /);
    found.experiments.push(await readExperiment(page, "x⁹ − 1, the first start dragged"));
}

// On a phone: a finger that starts on a handle drags it, and the page stays.
async function touchWalk({ page }) {
    await page.walk('fresh paste "2 1 0 (0,1)\\n" =key');
    assert.ok(await page.until(() => $("#drawing").dataset.complete !== undefined && !$('.handle[data-handle="1"]').hidden));
    const [x, y] = await page.middle(handle(1));
    const top = await page.eval(() => scrollY);
    for (const [k, type] of ["touchStart", ...Array(6).fill("touchMove")].entries())
        await page.touch(type, [[x - 4 * k, y + 6 * k]]);
    await page.touch("touchEnd", []);
    const shown = await changed(page, "");
    assert.match(shown, /^Опыт: поиски начаты в точках 0 0i и /);
    assert.equal(await page.eval(() => scrollY), top, "the page did not scroll");
}

// The report of page's run printed to PDF on A4 and Letter: its text holds
// the fields, the equation, the transcript's roots, each search's story and
// the notes; laid out for paper nothing is wider than the page; its pages
// counted.
async function printWalk({ page, output, roots }) {
    await page.eval(() => {
        const fields = $("#report-fields").elements;
        fields.name.value = "Иванова Анна";
        fields.group.value = "МП-21";
    });
    const notes = await page.text("[data-part=accuracy-notes] p");
    const counts = {};
    for (const format of ["A4", "Letter"]) {
        const file = path.join(output, `report-${format}.pdf`);
        await page.puppeteer.pdf({ path: file, format });
        const text = execFileSync("pdftotext", [file, "-"], { encoding: "utf8" }).replace(/\s+/g, " ");
        for (const part of ["Студент: Иванова Анна", "Группа: МП-21", "Уравнение, как набрано: 9 1 0 0 0 0 0 0 0 0 -1", "Число итераций",
            "Точность корней", notes.replace(/\s+/g, " "), "Ссылка на уравнение", ...Array.from({ length: roots }, (_, k) => `Поиск ${k + 1} начат`),
            ...Array.from({ length: roots }, (_, k) => `x${k + 1}=`)])
            assert.ok(text.includes(part), `${format}: ${part}`);
        counts[format] = Number(/Pages:\s+(\d+)/.exec(execFileSync("pdfinfo", [file], { encoding: "utf8" }))[1]);
        assert.ok(counts[format] >= 2 && counts[format] <= 12, `${format}: ${counts[format]} pages`);
    }
    // Laid out for paper at A4's width within its margins: nothing wider.
    await page.puppeteer.emulateMediaType("print");
    try {
        await page.resize({ width: 680, height: 1000 });
        assert.deepEqual(await page.eval(() => [...document.querySelectorAll("body *")].filter(e => e.getBoundingClientRect().right > 681
            && getComputedStyle(e).display !== "none").map(e => e.tagName + (e.dataset.part ?? e.id ?? ""))), []);
    } finally {
        await page.puppeteer.emulateMediaType(null);
        await page.resize({ width: 1280, height: 800 });
    }
    fs.writeFileSync(path.join(output, "report-pages.txt"), `${JSON.stringify(counts)}\n`);
}

module.exports = { keyboardWalk, mouseWalk, touchWalk, printWalk };
