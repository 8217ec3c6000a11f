// What the page shows of a run: read for runs_check.py, which holds it
// against the transcript, a model of the program's arithmetic and mpmath;
// the link to the equation; the plane's SVG file.
"use strict";
const assert = require("node:assert/strict");
const fs = require("fs");
const path = require("path");

// In the page: what a run shows, its drawing complete. chord-steps.csv and
// chord-roots.csv; the plane's trails, roots, texts and marks (each with its
// box, without its stroke, which Firefox's client rectangles take in) and
// view; the step table's first page; the pixels of the |P| chart in the
// first search's colour; the accuracy table's stories, its notes, the true
// roots drawn; and what the program told of each search, where the engine
// let it be heard.
async function shown() {
    const plane = $("[data-part=plane]");
    const file = async part => ($(`[data-part=${part}]`).href ? (await fetch($(`[data-part=${part}]`).href)).text() : "");
    const all = (selector, read) => [...document.querySelectorAll(selector)].map(read);
    const box = shape => {
        const [{ x, y, width, height }, { a, d, e, f }] = [shape.getBBox(), shape.getCTM()];
        return [x * a + e, (x + width) * a + e, y * d + f, (y + height) * d + f];
    };
    const chart = $("[data-part=p-chart] canvas");
    const pixels = chart.getContext("2d").getImageData(0, 0, chart.width, chart.height).data;
    return { told: window.told, steps: $("[data-part=csv]").hidden ? "" : await file("csv"), roots: await file("roots-csv"),
        trails: all("[data-part=plane] .trail", t => Number(t.dataset.points)),
        marks: all("[data-part=plane] .root", r => ({ ...r.dataset, remark: r.classList.contains("remark"), outside: r.hasAttribute("data-outside") })),
        texts: all("[data-part=plane] text", t => [t.textContent, box(t)]), boxes: all(".root > *, .start, .true-root > *, .trail .edge", box),
        view: plane.dataset.view.split(" ").map(Number), stepTable: all("[data-part=table] tbody tr", row => [...row.cells].map(cell => cell.textContent)),
        range: $("[data-part=range]").textContent, notes: $("[data-part=accuracy-notes]").textContent,
        ink: pixels.filter((v, k) => k % 4 === 0 && v < 40 && Math.abs(pixels[k + 1] - 114) < 40 && Math.abs(pixels[k + 2] - 178) < 40).length,
        table: all("[data-part=accuracy-table] tbody tr.story", row => row.textContent),
        // The true roots drawn: a cross, or a chevron at the edge.
        crosses: all(".true-root", cross => cross.childElementCount > 0 && [Number(cross.dataset.re), Number(cross.dataset.im)]).filter(Boolean) };
}

// chord-steps.csv as the page offers it; "" before it does.
const stepsFile = page => page.eval(async () => ($("[data-part=csv]").hidden ? "" : (await fetch($("[data-part=csv]").href)).text()));

// The first search's points in the steps file, [re, im] each.
const firstSearch = page => stepsFile(page).then(steps => steps.split("\n").map(row => row.split(","))
    .filter(row => row[0] === "1").map(row => [Number(row[2]), Number(row[3])]));

// What the run of case c on page shows, for runs_check.py.
async function readRun(page, name, c) {
    if (/^x\d+=/m.test(c.transcript))
        assert.ok(await page.until(() => $("#drawing").dataset.complete !== undefined), "never complete");
    await page.quiet();
    return { name, transcript: c.transcript, ...await page.eval(shown), picked: [], landscapes: [] };
}

// In the page: the landscape's darkest cells and its tolerance line, in the
// plane's coordinates, from the picture as drawn.
async function landscapeDrawn() {
    const [plane, ground] = [$("[data-part=plane]"), $("[data-part=plane-ground]")];
    const image = ground.querySelector(".landscape image");
    if (!image)
        return null;
    const [left, right, bottom, top] = plane.dataset.view.split(" ").map(Number);
    const scale = (right - left) / plane.viewBox.baseVal.width;
    const world = (x, y) => [left + x * scale, top - y * scale];
    const { data, width } = await pixelsOf(image.getAttribute("href"));
    const cell = image.width.baseVal.value / width;
    const sums = Array.from({ length: data.length / 4 }, (_, k) => data[4 * k] + data[4 * k + 1] + data[4 * k + 2]);
    const least = Math.min(...sums);
    const darkest = [...sums.keys()].filter(k => sums[k] === least).slice(0, 100).map(k => world((k % width + 0.5) * cell, (Math.floor(k / width) + 0.5) * cell));
    const tolerance = [...ground.querySelector(".tolerance").getAttribute("d").matchAll(/(-?[\d.]+) (-?[\d.]+)/g)].map(([, x, y]) => world(Number(x), Number(y)));
    // The shading's lightness, 0 to 255, from its 2nd to its 98th percentile.
    const lightness = Array.from({ length: data.length / 4 }, (_, k) => 0.2126 * data[4 * k] + 0.7152 * data[4 * k + 1] + 0.0722 * data[4 * k + 2])
        .sort((a, b) => a - b);
    const spread = lightness[Math.ceil(0.98 * (lightness.length - 1))] - lightness[Math.floor(0.02 * (lightness.length - 1))];
    return { darkest, cell: cell * scale, tolerance: tolerance.filter((_, k) => k % Math.ceil(tolerance.length / 3000) === 0), view: [left, right, bottom, top],
        spread, legend: $("[data-part=legend-text]").textContent };
}

// What the run teaches, added to run: each search's first step in the step
// line and its story (picked), as the landscape's control picks the search
// while stepping; and each search's landscape, picked with the same control
// with all steps shown.
async function readLessons(page, run) {
    for (const all of [false, true]) {
        await page.click(all ? "[data-part=all]" : "[data-part=first]");
        for (let s = 0; s < run.trails.length; ++s) {
            await page.pick("[data-part=landscape-search]", String(s));
            await page.until(() => $("[data-part=plane-ground] .landscape:not([transform])"));
            if (all)
                run.landscapes.push(await page.eval(landscapeDrawn));
            else
                run.picked.push([await page.text("[data-part=current]"), await page.text("[data-part=story]")]);
        }
    }
}

// Whether the screen of page shows the transcript with lines typed each
// where the program asked for it: each line's echo taken out in turn, the
// transcript is left.
function typedWhenAsked(page, lines, transcript) {
    return page.until(([lines, transcript]) => transcript.replace(/\n+$/, "") === lines.reduce((screen, line) => {
        const at = screen.indexOf(`${line.trimEnd()}\n`);
        return at < 0 ? "" : screen.slice(0, at) + screen.slice(at + line.trimEnd().length + 1);
    }, dialogueLines()), [lines, transcript]);
}

// The link the page gives for the run on it (input typed as in case c):
// the lines read, tabs as blanks, joined by line ends. Opened, for a case
// whose every line was entered, it types them again: the same transcript.
async function checkLink(browser, site, page, c) {
    await page.click("[data-part=share]");
    await page.until(() => $("[data-part=shared]").dataset.link || /^Сначала/.test($("[data-part=shared]").textContent));
    const [link, said, address] = await page.eval(() => [$("[data-part=shared]").dataset.link ?? $("[data-part=shared]").textContent,
        $("[data-part=shared]").textContent, $("[data-part=link-address]").textContent]);
    // Read out in a few words, that a link to a file opens only here; the
    // address shown beside, to copy by hand.
    assert.ok(c.input === "" || (said.length < 100 && said.includes("только на этом компьютере") && address === link), [said, address]);
    const lines = c.input.replace(/\t/g, " ").replace(/\n$/, "").split("\n");
    const hash = `#input=${encodeURIComponent(lines.join("\n"))}`;
    // A line that Ctrl+D handed over, and Ctrl+D on an empty line, end in its character.
    assert.ok(c.input === "" ? link.startsWith("Сначала введите") : link === `file://${path.resolve(site, "index.html")}${hash}`
        || (!c.input.endsWith("\n") && new RegExp(`^file://${path.resolve(site, "index.html")}${hash.replace(/[\\^$.*+?()[\]{}|]/g, "\\$&")}(%04)+$`).test(link)), link);
    if (!c.input.endsWith("\n"))
        return;
    const opened = await browser.open(site, { width: 1280, height: 800 }, { hash });
    assert.equal(await opened.settled("key", "ended"), "key", "the link opened waits for a key");
    assert.ok(await typedWhenAsked(opened, lines, c.transcript), await opened.lines());
    // Typed as soon as the page asks, maybe before the drawing's script has
    // run: the drawing told every step all the same, its steps file the
    // typed run's (made as the last root is told, not in a frame, which an
    // engine may hold back in a window behind).
    const steps = await stepsFile(page);
    assert.ok(!steps || await opened.until(() => !$("[data-part=csv]").hidden), "the run drawn");
    assert.equal(await stepsFile(opened), steps, "the run's steps");
    await opened.close();
}

// The plane saved as SVG, as the button's link gives it: its name and text.
const savedPlane = page => page.eval(() => new Promise(resolve => {
    HTMLAnchorElement.prototype.click = function () {
        fetch(this.href).then(file => file.text()).then(text => resolve([this.download, text]));
    };
    $("[data-part=save-svg]").click();
}));

// The plane saved as SVG (written to folder): the browser parses it as XML;
// it holds the landscape, the marks and the labels, each element of the
// plane with the style the page gave it written in.
async function checkPlaneFile(page, folder) {
    const [name, text] = await savedPlane(page);
    assert.match(await page.eval(() => $("[data-part=shared]").textContent), /сохранена в файл chord-plane\.svg/);
    fs.writeFileSync(path.join(folder, name), text);
    const held = await page.eval(text => {
        const svg = new DOMParser().parseFromString(text, "image/svg+xml");
        const count = selector => svg.querySelectorAll(selector).length;
        const styled = [...svg.querySelectorAll(".base, .base *")].every(e => /fill:.*;stroke:.*;stroke-width:.*;font-size:/.test(e.getAttribute("style")));
        return svg.querySelector("parsererror") || !styled ? "not XML, or a style not written in" : [count(".landscape image[href^='data:image/png']"),
            count(".tolerance[d^=M]"), count(".root"), count(".true-root path:not(.casing)"), ...[...svg.querySelectorAll("text")].map(t => t.textContent)].join("|");
    }, text);
    assert.ok(name === "chord-plane.svg" && /^1\|1\|2\|2\|.*\|x1 ↙ -208\.474 -208\.474i(\||$)/.test(held) && /\|(0, )?x2(\||$)/.test(held), held);
}

// The points (pairs) within distance of none of others on either axis.
const unmatched = (points, others, distance) => points.filter(([x, y]) => !others.some(([u, v]) => Math.max(Math.abs(u - x), Math.abs(v - y)) <= distance));

// The distance from the point p to the nearest of the pieces (x0 y0 x1 y1).
function distance([x, y], pieces) {
    return Math.min(...pieces.map(([x0, y0, x1, y1]) => {
        const [dx, dy] = [x1 - x0, y1 - y0];
        const t = Math.max(0, Math.min(1, ((x - x0) * dx + (y - y0) * dy) / (dx * dx + dy * dy || 1)));
        return Math.hypot(x0 + t * dx - x, y0 + t * dy - y);
    }));
}

// The first search's trail as drawn, held against its points ([re, im] from
// the steps file): in the plane's file, each point in the view lies on a
// piece drawn, and each end of a piece in the view at a point, as near as
// the half pixels it is drawn in allow (and a sixteenth of a pixel, as a
// trail on one line is drawn as one piece); on the canvas, each point in the
// view is inked, or a dash beside it. How many points are in the view.
async function checkTrail(page, points) {
    const [, file] = await savedPlane(page);
    const { view: [left, right, bottom, top], w, h } = await page.on("[data-part=plane]", svg => ({ view: svg.dataset.view.split(" ").map(Number),
        w: svg.viewBox.baseVal.width, h: svg.viewBox.baseVal.height }));
    const inside = ([x, y]) => x >= 1 && x <= w - 1 && y >= 1 && y <= h - 1;
    const pixels = points.map(([re, im]) => [(re - left) / (right - left) * w, (top - im) / (top - bottom) * h]);
    const pieces = [.../<path class="trail" d="([^"]*)"/.exec(file)[1].matchAll(/M([^ML]+)((?:L[^ML]+)+)/g)].flatMap(([, from, to]) => {
        const ends = [from, ...to.slice(1).split("L")].map(end => end.split(" ").map(Number));
        return ends.slice(1).map((end, k) => [...ends[k], ...end]);
    });
    const shown = pixels.filter(inside);
    const ends = pieces.flatMap(([x0, y0, x1, y1]) => [[x0, y0], [x1, y1]]).filter(inside);
    assert.deepEqual([shown.filter(p => !(distance(p, pieces) <= Math.SQRT1_2 / 2 + 1 / 16)), unmatched(ends, pixels, 1 / 4 + 1 / 16)], [[], []],
        "the points off the trail, and its ends at no point");
    const unInked = await page.on("[data-part=plane-trails]", (canvas, shown) => {
        const { data, width } = canvas.getContext("2d").getImageData(0, 0, canvas.width, canvas.height);
        const ratio = canvas.width / parseFloat(canvas.style.width);
        // Within a dash's gap, for a trail drawn dashed.
        const near = [-4, -3, -2, -1, 0, 1, 2, 3, 4].map(k => Math.round(k * ratio));
        return shown.filter(([x, y]) => !near.some(i => near.some(j => data[4 * ((Math.round(y * ratio) + j) * width + Math.round(x * ratio) + i) + 3] > 0)));
    }, shown);
    assert.deepEqual(unInked, [], "the points not inked");
    return shown.length;
}

module.exports = { readRun, readLessons, typedWhenAsked, checkLink, checkPlaneFile, checkTrail, firstSearch };
