// What a run teaches beyond its steps, walked as a user walks it: each
// search's story in the step line (picked with the landscape's control
// while stepping) and in the accuracy table, each search's landscape picked
// with the same control, the roots file, the true roots drawn; all of it kept
// for roots_check.py, which holds it against mpmath. The link to the
// equation, copied and opened; hostile links; the plane saved as SVG.
"use strict";
const fs = require("fs");
const path = require("path");
const { open, expect } = require("./browser.js");

// Reads what the run on page teaches, for roots_check.py.
async function readLessons(page, name, c) {
    const lessons = await page.evaluate(async () => {
        const file = async part => {
            const link = document.querySelector(`[data-part=${part}]`);
            return link.href ? (await fetch(link.href)).text() : "";
        };
        return { hooked: window.hooked, roots: await file("roots-csv"), steps: await file("csv"), notes: document.querySelector("[data-part=accuracy-notes]").textContent,
            table: [...document.querySelectorAll("[data-part=accuracy-table] tbody tr")].map(row => row.cells[6].textContent),
            crosses: [...document.querySelectorAll(".true-root")].map(cross => [Number(cross.dataset.re), Number(cross.dataset.im)]), stories: [], landscapes: [] };
    });
    for (const all of [false, true]) {
        await page.click(all ? "[data-part=all]" : "[data-part=first]");
        for (let s = 0; s < lessons.hooked.length; ++s) {
            await page.select("[data-part=landscape-search]", String(s));
            await page.until(() => document.querySelector("[data-part=plane] .landscape:not([transform])"));
            if (all) {
                lessons.landscapes.push(await page.evaluate(landscapeDrawn));
                continue;
            }
            const line = await page.evaluate(() => ["current", "story"].map(part => document.querySelector(`[data-part=${part}]`).textContent));
            expect(`${name}: picking search ${s + 1} while stepping`, line[0].startsWith(`Поиск ${s + 1}, шаг 0:`), line[0]);
            lessons.stories.push(line[1]);
        }
    }
    return { name, transcript: c.transcript, ...lessons };
}

// In the page: the landscape's darkest cells and its tolerance line, in the
// plane's coordinates, from the picture as drawn.
async function landscapeDrawn() {
    const plane = document.querySelector("[data-part=plane]");
    const image = plane.querySelector(".landscape image");
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
    const tolerance = [...plane.querySelector(".tolerance").getAttribute("d").matchAll(/(-?[\d.]+) (-?[\d.]+)/g)].map(([, x, y]) => world(Number(x), Number(y)));
    return { darkest, cell: cell * scale, tolerance: tolerance.filter((_, k) => k % Math.ceil(tolerance.length / 3000) === 0), view: [left, right, bottom, top] };
}

// Whether the screen of page shows the transcript with lines typed each
// where the program asked for it: each line's echo taken out in turn, the
// transcript is left.
async function typedWhenAsked(page, lines, transcript) {
    const found = await page.until(([lines, transcript]) => transcript.replace(/\n+$/, "") === lines.reduce((screen, line) => {
        const at = screen.indexOf(`${line.trimEnd()}\n`);
        return at < 0 ? "" : screen.slice(0, at) + screen.slice(at + line.trimEnd().length + 1);
    }, dialogueLines()), [lines, transcript]);
    return expect("typed as the program asked: the transcript", found, await page.lines());
}

// The link the page gives for the run on it (input typed as in case c):
// the lines read, tabs as blanks, joined by line ends. Opened, for a case
// whose every line was entered, it types them again: the same transcript.
async function checkLink(browser, site, page, name, c) {
    await page.click("[data-part=share]");
    await page.until(() => document.querySelector("[data-part=shared]").textContent);
    const link = await page.$eval("[data-part=shared]", output => output.dataset.link ?? output.textContent);
    const lines = c.input.replace(/\t/g, " ").replace(/\n$/, "").split("\n");
    const hash = `#input=${encodeURIComponent(lines.join("\n"))}`;
    expect(`${name}: the link`, c.input === "" ? link.startsWith("Сначала введите") : link === `file://${path.resolve(site, "index.html")}${hash}`, link);
    if (!c.input.endsWith("\n"))
        return;
    const opened = await open(browser, site, { width: 1280, height: 800 }, { hash });
    expect(`${name}: the link opened waits for a key`, (await opened.settled("key", "ended").catch(() => opened.state())) === "key");
    expect(`${name}: the link opened`, await typedWhenAsked(opened, lines, c.transcript));
    await opened.close();
}

// Links no teacher would send: each types no more than it says, runs no
// script, and the page says what it left out.
const hostile = [
    ["script text", encodeURIComponent("2\n<img src=x onerror=alert(1)><script>alert(2)</script>"), /строк: 2\.$/, "key"],
    ["100 kB", encodeURIComponent("1 ".repeat(50000)), /первые 2000 знаков из 100000\.$/, "key"],
    ["control characters", encodeURIComponent("2\x07\x1b\n1 -3 2\0"), /управляющие знаки пропущены\.$/, "key"],
    ["broken encoding", "2%0A%E0%A4%A", /^Ссылка повреждена/, "input"],
];
async function hostileLinks(browser, site, cases) {
    for (const [what, text, said, state] of hostile) {
        const page = await open(browser, site, { width: 1280, height: 800 }, { hash: `#input=${text}` });
        page.on("dialog", dialog => expect(`a link with ${what} runs no script`, false, dialog.message()));
        expect(`a link with ${what}: the run waits`, (await page.settled(state).catch(() => page.state())) === state);
        const [status, elements, lines] = [await page.text("#status"), await page.$$eval("script, img, [onerror]", found => found.length), await page.lines()];
        expect(`a link with ${what}: said, and nothing more typed`, said.test(status) && elements === 2 && (state === "key" || lines.trimEnd().endsWith("уравнения:")),
            `${status}, ${elements} elements\n${lines}`);
        if (what === "control characters")
            expect(`a link with ${what}`, await typedWhenAsked(page, ["2", "1 -3 2"], cases.quadratic.transcript));
        if (what === "100 kB")
            expect("a link of 100 kB types 2000 characters", lines.match(/уравнения: ([1 ]*)\n/)?.[1].replace(/ /g, "").length === 1000);
        await page.close();
    }
}

// The plane saved as SVG: the browser parses it as XML, and it holds the
// landscape, the marks and the labels; drawn by Inkscape it looks as the
// plane on the page did (at most 2 % of the pixels differ clearly).
async function checkPlaneFile(page, folder) {
    const file = path.resolve(folder, "chord-plane.svg");
    fs.rmSync(file, { force: true });
    // Firefox saves into the folder its preferences name (page_test.js).
    if (page.engine === "chromium")
        await (await page.target().createCDPSession()).send("Browser.setDownloadBehavior", { behavior: "allow", downloadPath: folder });
    await page.click("[data-part=save-svg]");
    for (let k = 0; k < 5000 && !fs.existsSync(file); ++k)
        await page.quiet();
    const held = await page.evaluate(text => {
        const svg = new DOMParser().parseFromString(text, "image/svg+xml");
        const count = selector => svg.querySelectorAll(selector).length;
        return svg.querySelector("parsererror") ? "not XML" : [count(".landscape image[href^='data:image/png']"), count(".tolerance[d^=M]"),
            count(".root"), count(".true-root path"), ...[...svg.querySelectorAll("text")].map(t => t.textContent)].join("|");
    }, fs.readFileSync(file, "utf8"));
    expect("the plane's file holds its landscape, marks and labels", /^1\|1\|2\|2\|.*\|x1 ↙ -208\.474 -208\.474i(\||$)/.test(held) && /\|(0, )?x2(\||$)/.test(held), held);
    await page.$eval("[data-part=plane]", svg => svg.scrollIntoView({ block: "center" }));
    await page.quiet();
    const box = await page.$eval("[data-part=plane]", svg => ({ x: svg.getBoundingClientRect().x + svg.clientLeft,
        y: svg.getBoundingClientRect().y + svg.clientTop, width: svg.clientWidth, height: svg.clientHeight }));
    const shown = await page.screenshot({ clip: box, encoding: "base64" });
    const png = path.resolve(folder, "chord-plane-inkscape.png");
    require("child_process").execFileSync("inkscape", [file, "--export-type=png", `--export-filename=${png}`], { stdio: "ignore" });
    const differ = await page.evaluate(async pictures => {
        const [a, b] = await Promise.all(pictures.map(data => pixelsOf(`data:image/png;base64,${data}`).then(p => p.data)));
        const differs = k => [0, 1, 2].some(c => Math.abs(a[4 * k + c] - b[4 * k + c]) > 64);
        return b.length !== a.length ? 1 : Array.from({ length: a.length / 4 }, (_, k) => differs(k)).filter(Boolean).length / (a.length / 4);
    }, [shown, fs.readFileSync(png).toString("base64")]);
    console.log(`the plane's file in Inkscape: ${(100 * differ).toFixed(2)} % of the pixels differ from the page's`);
    expect("the plane's file looks in Inkscape as the plane did", differ <= 0.02, differ);
}

module.exports = { readLessons, checkLink, hostileLinks, checkPlaneFile };
