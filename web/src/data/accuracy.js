// How good the printed roots are: each against the nearest root of the
// polynomial as typed (true_roots.js), with |P| of that polynomial there,
// not of the divided one the root was searched in: the difference is what
// dividing cost. As a table, notes for the inputs that have no plain answer,
// and a file, chord-roots.csv.

import { fileNumber, programNumber } from "./numbers.js";
import { remarkText } from "./step_table.js";
import { story } from "./story.js";
import { abs, distinct, evaluate, sub, trueRoots } from "./true_roots.js";

const distance = (a, b) => abs(sub([a.re, a.im], [b.re, b.im]));
// A true root counts as found when a printed root came this near.
const near = (root, truth) => distance(root, truth) <= Math.max(1e-3, 1e-3 * Math.hypot(truth.re, truth.im));

// The measure of a run's printed roots: the true roots, for each printed
// root the nearest true one, the distance and |P| of the typed polynomial,
// and the true roots no printed root came near.
function measure(searches) {
    const typed = searches[0].polynomial;
    const truth = trueRoots(typed);
    const rows = searches.map(search => {
        let nearest = truth.kind === "everything" ? search.root : null;
        for (const t of truth.roots)
            nearest = !nearest || distance(search.root, t) < distance(search.root, nearest) ? t : nearest;
        return { search, nearest, error: nearest && distance(search.root, nearest), p: abs(evaluate(typed, [search.root.re, search.root.im]).value) };
    });
    const missed = truth.roots.filter(t => !searches.some(search => near(search.root, t)));
    return { truth, rows, missed };
}

const file = x => (x === null || x === undefined ? "" : Number.isNaN(x) ? "nan" : !Number.isFinite(x) ? (x > 0 ? "inf" : "-inf") : x.toPrecision(17));
function rootsFile({ rows }) {
    const lines = ["root,re,im,remark,true_re,true_im,error,abs_p_typed"];
    rows.forEach(({ search, nearest, error, p }, k) => lines.push([k + 1, fileNumber(search.root.re), fileNumber(search.root.im), Number(search.remark),
        file(nearest?.re), file(nearest?.im), file(error), file(p)].join(",")));
    return lines.join("\n") + "\n";
}

const short = x => (Number.isFinite(x) ? (x === 0 ? "0" : x.toExponential(2)) : programNumber(x));
const exact = z => `${Number(z.re.toPrecision(10))} ${Number(z.im.toPrecision(10))}i`;

// What the page says besides the rows, for the inputs with no plain answer.
function notes({ truth, missed }, count) {
    const said = [];
    if (truth.kind === "undefined")
        said.push("Коэффициент бесконечен или не число: истинные корни не определены, погрешность не считается.");
    if (truth.kind === "everything")
        said.push("Все коэффициенты равны 0: корень — любое число, и каждый напечатанный корень точен.");
    if (truth.atInfinity > 0) {
        const finite = count - truth.atInfinity;
        said.push(`Старший коэффициент равен 0: конечных корней ${finite === 0 ? "нет" : finite}, `
            + `остальные ${truth.atInfinity} — на бесконечности.`);
    }
    const named = t => exact(t) + (t.multiplicity > 1 ? ` (кратности ${t.multiplicity})` : "");
    for (const t of distinct(truth.roots).filter(t => t.multiplicity > 1)) {
        said.push(`Корень ${named(t)} узнан как кратный и найден так же точно, как простые; но |P| мал на целой области`
            + " вокруг него, и напечатанные корни дальше от него.");
    }
    if (missed.length > 0)
        said.push(`Истинные корни, к которым не подошёл ни один напечатанный: ${distinct(missed).map(named).join("; ")}.`);
    return said;
}

// Fills the section: its table, notes and link (parts), for a complete run.
export function showAccuracy(parts, searches, lifetime) {
    const measured = measure(searches);
    parts.body.replaceChildren(...measured.rows.map(({ search, nearest, error, p }, s) => {
        const row = document.createElement("tr");
        for (const text of [`x${s + 1}`, `${programNumber(search.root.re)} ${programNumber(search.root.im)}i`,
            nearest ? exact(nearest) : "не определён", error === null ? "—" : short(error), short(p), remarkText(search) || "нет", story(searches, s)]) {
            const cell = document.createElement("td");
            cell.textContent = text;
            row.append(cell);
        }
        return row;
    }));
    parts.notes.replaceChildren(...notes(measured, searches.length).map(text => {
        const item = document.createElement("p");
        item.textContent = text;
        return item;
    }));
    parts.csv.href = lifetime.url(new Blob([rootsFile(measured)], { type: "text/csv" }));
    parts.section.hidden = false;
    lifetime.own(() => {
        parts.section.hidden = true;
        parts.body.replaceChildren();
        parts.notes.replaceChildren();
        parts.csv.removeAttribute("href");
    });
    return measured;
}
