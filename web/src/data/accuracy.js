// How good the printed roots are: each against the nearest root of the
// polynomial as typed (true_roots.js), with |P| of that polynomial there,
// not of the divided one the root was searched in: the difference is what
// dividing cost; the notes for the inputs that have no plain answer; and the
// same as a file, chord-roots.csv.

import { abs, evaluate, pair, sub } from "./complex.js";
import { doubleNumber, fileNumber } from "./numbers.js";
import { eachRootOnce, trueRoots } from "./true_roots.js";

const distance = (a, b) => abs(sub(pair(a), pair(b)));
// A true root counts as found when a printed root came this near.
const near = (root, t) => distance(root, t) <= Math.max(1e-3, 1e-3 * Math.hypot(t.re, t.im));

// The measure of a run's printed roots: the true roots, for each printed
// root the nearest true one, the distance and |P| of the typed polynomial,
// and the true roots no printed root came near.
export function measure(searches) {
    const typed = searches[0].polynomial;
    const typedRoots = trueRoots(typed);
    const rows = searches.map(search => {
        let nearest = typedRoots.kind === "everything" ? search.root : null;
        for (const t of typedRoots.roots)
            nearest = !nearest || distance(search.root, t) < distance(search.root, nearest) ? t : nearest;
        return { search, nearest, error: nearest && distance(search.root, nearest), p: abs(evaluate(typed, pair(search.root)).value) };
    });
    const missed = typedRoots.roots.filter(t => !searches.some(search => near(search.root, t)));
    return { typedRoots, rows, missed };
}

export function rootsFile({ rows }) {
    const lines = ["root,re,im,remark,true_re,true_im,error,abs_p_typed"];
    rows.forEach(({ search, nearest, error, p }, k) => lines.push([k + 1, fileNumber(search.root.re), fileNumber(search.root.im),
        Number(search.remark), doubleNumber(nearest?.re), doubleNumber(nearest?.im), doubleNumber(error), doubleNumber(p)].join(",")));
    return lines.join("\n") + "\n";
}

// A true root as the table writes it: 10 significant digits.
export const trueRootText = z => `${Number(z.re.toPrecision(10))} ${Number(z.im.toPrecision(10))}i`;

// What the page says besides the rows, for the inputs with no plain answer.
export function notes({ typedRoots, missed }, count) {
    const said = [];
    if (typedRoots.kind === "undefined")
        said.push("Коэффициент бесконечен или не число: истинные корни не определены, погрешность не считается.");
    if (typedRoots.kind === "everything")
        said.push("Все коэффициенты равны 0: корень — любое число, и каждый напечатанный корень точен.");
    if (typedRoots.atInfinity > 0) {
        const finite = count - typedRoots.atInfinity;
        said.push(`Старший коэффициент равен 0: конечных корней ${finite === 0 ? "нет" : finite}, `
            + `остальные ${typedRoots.atInfinity} — на бесконечности.`);
    }
    const named = t => trueRootText(t) + (t.multiplicity > 1 ? ` (кратности ${t.multiplicity})` : "");
    for (const t of eachRootOnce(typedRoots.roots).filter(t => t.multiplicity > 1)) {
        said.push(`Корень ${named(t)} узнан как кратный и найден так же точно, как простые; но |P| мал на целой области`
            + " вокруг него, и напечатанные корни дальше от него.");
    }
    if (missed.length > 0)
        said.push(`Истинные корни, к которым не подошёл ни один напечатанный: ${eachRootOnce(missed).map(named).join("; ")}.`);
    return said;
}
