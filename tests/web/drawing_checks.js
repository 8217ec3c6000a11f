// What the drawing of a run must show, against the run's transcript: the
// plane's trails and roots, the step table, chord-steps.csv (whose rows
// roots_check.py holds against a model of the program's arithmetic); labels
// that overlap nothing; charts not blank.
"use strict";
const f = Math.fround;
const { expect } = require("./browser.js");

const perPage = 100;
// How many |P| the tables showed from 1e6 on and below 1e-4, so that the
// walk knows it checked both forms.
const seen = { big: 0, small: 0 };
const endWords = { tolerance: "допуск достигнут", budget: "шаги исчерпаны", nonfinite: "шаг вышел за пределы чисел" };

// Whether text is value as printf's %g writes it with 6 significant digits.
function programForm(text, value) {
    if (!Number.isFinite(value))
        return text === (Number.isNaN(value) ? "nan" : value > 0 ? "inf" : "-inf");
    if (value === 0)
        return /^-?0$/.test(text);
    const shown = Number(text);
    const exponent = Math.floor(Math.log10(Math.abs(shown)));
    const form = exponent < -4 || exponent >= 6 ? /^-?\d(\.\d*[1-9])?e[-+]\d\d+$/ : /^-?\d+(\.\d*[1-9])?$/;
    return form.test(text) && Math.abs(shown - value) <= 5.0001e-6 * 10 ** Math.floor(Math.log10(Math.abs(value)));
}

// The drawing of a case's run, against its transcript: one trail for each
// root printed, its last point that root and as many points as the steps
// file has rows; the roots with the remark hollow; the file's end and remark
// on each search's last row; the table's first page the file's rows in the
// program's form; the count line and the steps agree (a search adds its
// chord points to the count, less the one that reached the tolerance).
async function checkDrawing(page, name, c) {
    const printed = [...c.transcript.matchAll(/^x\d+=(\S+) (\S+)i( \(точность не достигнута\))?$/gm)];
    const problems = [];
    const say = (good, what) => good || problems.push(what);
    if (printed.length > 0)
        say(await page.until(() => document.getElementById("drawing").dataset.complete !== undefined), "never complete");
    else
        await page.quiet();
    const drawn = await page.evaluate(async () => {
        const link = document.querySelector("[data-part=csv]");
        const plane = document.querySelector("[data-part=plane]");
        return {
            file: link.hidden ? "" : await (await fetch(link.href)).text(),
            trails: [...plane.querySelectorAll(".trail")].map(t => Number(t.dataset.points)),
            roots: [...plane.querySelectorAll(".root")].map(r => ({ ...r.dataset, remark: r.classList.contains("remark"),
                outside: r.hasAttribute("data-outside") })),
            texts: [...plane.querySelectorAll("text")].map(t => t.textContent),
            table: [...document.querySelector("[data-part=table] tbody").rows].map(row => [...row.cells].map(cell => cell.textContent)),
            range: document.querySelector("[data-part=range]").textContent,
            view: plane.dataset.view.split(" ").map(Number),
        };
    });
    if (printed.length === 0) {
        say(drawn.file === "" && drawn.trails.length === 0 && drawn.roots.length === 0, "a drawing with no search");
        expect(`${name}: the drawing`, problems.length === 0, problems.join("\n"));
        return;
    }
    const [header, ...lines] = drawn.file.trim().split("\n");
    const rows = lines.map(line => line.split(",")).map(([s, k, re, im, p, q, end, remark]) => ({ s: Number(s), k: Number(k), re, im, p, q, end, remark }));
    say(header === "search,step,re,im,abs_p,order,end,remark", `the header ${header}`);
    say(drawn.trails.length === printed.length && drawn.roots.length === printed.length, `${drawn.trails.length} trails, ${drawn.roots.length} roots`);
    const pageRows = Math.min(perPage, rows.length);
    say(drawn.table.length === pageRows && drawn.range === `Строки 1–${pageRows} из ${rows.length}`, `table ${drawn.table.length} rows, "${drawn.range}"`);
    drawn.table.forEach((cells, k) => {
        const row = rows[k];
        seen.big += Number(row.p) >= 1e6 && Number.isFinite(Number(row.p)) ? 1 : 0;
        seen.small += Number(row.p) < 1e-4 && Number(row.p) > 0 ? 1 : 0;
        const last = k + 1 === rows.length || rows[k + 1].s !== row.s;
        const [re, im] = cells[2].replace(/i$/, "").split(" ");
        say(cells[0] === String(row.s) && cells[1] === String(row.k) && programForm(re, Number(row.re)) && programForm(im, Number(row.im))
            && programForm(cells[3], Number(row.p)) && (row.q === "" ? cells[4] === "" : programForm(cells[4], Number(row.q)))
            && cells[5] === (last ? endWords[row.end] : "") && (cells[6] !== "") === last, `table row ${k + 1}: ${cells.join(" | ")}`);
    });
    let count = 0;
    printed.forEach(([, re, im, remark], s) => {
        const own = rows.filter(row => row.s === s + 1);
        const root = drawn.roots[s] ?? {};
        const last = own[own.length - 1] ?? {};
        const at = last.end === "budget" && own.length === 2 ? own[0] : last;
        say(drawn.trails[s] === own.length && own.every((row, k) => row.k === k), `search ${s + 1}: its points`);
        say(own.slice(0, -1).every(row => row.end === "" && row.remark === "") && last.remark === (remark ? "1" : "0")
            && root.end === last.end, `search ${s + 1}: end ${last.end} and remark ${last.remark} for "${remark ?? ""}"`);
        say(f(at.re) === f(root.re) && f(at.im) === f(root.im) && programForm(re, Number(at.re)) && programForm(im, Number(at.im)),
            `search ${s + 1}: root ${root.re} ${root.im}, printed ${re} ${im}i`);
        say(root.remark === Boolean(remark), `search ${s + 1}: drawn ${root.remark ? "with" : "without"} the remark`);
        count += own.length - 2 - (last.end === "tolerance");
    });
    say(c.transcript.includes(`Число итераций: ${count}\n`), `${count} steps drawn`);
    say(drawn.view[0] <= 0 && drawn.view[1] >= 1 && drawn.view[2] <= 0 && drawn.view[3] >= 1, `the view ${drawn.view}`);
    if (name === "step_budget") {
        say(drawn.view[1] - drawn.view[0] < 5 && drawn.roots[0].outside && !drawn.roots[1].outside
            && drawn.texts.includes("x1 ↙ -208.474 -208.474i"), `the view ${drawn.view}, x1 ${JSON.stringify(drawn.roots[0])}`);
    }
    expect(`${name}: the drawing`, problems.length === 0, problems.join("\n"));
}

// The texts of the plane that overlap another text or a mark, in pairs.
function overlapsOnPlane(page) {
    return page.evaluate(() => {
        const plane = document.querySelector("[data-part=plane]");
        // The shapes' own boxes, without their strokes, which Firefox's
        // client rectangles take in.
        const boxOf = shape => {
            const [{ x, y, width, height }, { a, d, e, f }] = [shape.getBBox(), shape.getCTM()];
            return { left: x * a + e, right: (x + width) * a + e, top: y * d + f, bottom: (y + height) * d + f };
        };
        const texts = [...plane.querySelectorAll("text")].map(t => ({ what: t.textContent, box: boxOf(t) }));
        const marks = [...plane.querySelectorAll(".root > *, .start, .true-root > *")].map(m => ({ what: "a mark", box: boxOf(m) }));
        const hit = (a, b) => a.left < b.right - 0.5 && b.left < a.right - 0.5 && a.top < b.bottom - 0.5 && b.top < a.bottom - 0.5;
        const found = [];
        texts.forEach((a, k) => [...texts.slice(k + 1), ...marks].forEach(b => hit(a.box, b.box) && found.push(`"${a.what}" on "${b.what}"`)));
        return found;
    });
}

// How many pixels of a chart have the first search's colour.
function chartInk(page, part) {
    return page.$eval(`[data-part=${part}] canvas`, canvas => {
        const { data } = canvas.getContext("2d").getImageData(0, 0, canvas.width, canvas.height);
        let found = 0;
        for (let k = 0; k < data.length; k += 4)
            found += Math.abs(data[k]) < 40 && Math.abs(data[k + 1] - 114) < 40 && Math.abs(data[k + 2] - 178) < 40 ? 1 : 0;
        return found;
    });
}

module.exports = { checkDrawing, overlapsOnPlane, chartInk, programForm, seen };
