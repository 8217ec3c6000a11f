// How good the printed roots are: each against the nearest root of the
// polynomial as typed (true_roots.js), with |P| of that polynomial there,
// not of the divided one the root was searched in: the difference is what
// dividing cost; the notes for the inputs that have no plain answer; and the
// same as a file, chord-roots.csv.

import { abs, horner, pair, sub } from "./complex.js";
import { integerPolynomial, logModulusAt } from "./exact.js";
import { doubleNumber, fileNumber, programNumber } from "./numbers.js";
import { eachRootOnce, trueRoots } from "./true_roots.js";

const distance = (a, b) => abs(sub(pair(a), pair(b)));
// A true root of multiplicity m counts as found when a printed root came
// within (10⁻³)^(1/m) of its modulus: near a multiple root |P| is small on
// a region that wide, and the chord method's tolerance is met anywhere in
// it; a root 0 when a printed root came within (2⁻¹²⁶)^(1/m), below any
// float but the smallest.
const near = (root, t) => {
    const size = Math.hypot(t.re, t.im);
    return distance(root, t) <= (size > 0 ? size * 10 ** (-3 / t.multiplicity) : 2 ** (-126 / t.multiplicity));
};

// |P(z)| of polynomial exactly where its coefficients are finite, rounded
// up to a double; in double precision otherwise.
function modulus(polynomial, z) {
    if (!polynomial.flat().every(Number.isFinite))
        return abs(horner(polynomial, ...z));
    const { polynomial: exact, shift } = integerPolynomial(polynomial);
    return Math.exp(logModulusAt(exact, z) - shift * Math.LN2);
}

// The measure of a run's printed roots: the true roots, for each printed
// root the nearest true one, the distance and |P| of the typed polynomial,
// and the true roots no printed root came near.
export function measure(searches) {
    const typed = searches[0].polynomial;
    const typedRoots = trueRoots(typed);
    const rows = searches.map(search => {
        let nearest = typedRoots.kind === "everything" ? { ...search.root, multiplicity: 1, radius: 0 } : null;
        for (const t of typedRoots.roots)
            nearest = !nearest || distance(search.root, t) < distance(search.root, nearest) ? t : nearest;
        return { search, nearest, error: nearest && distance(search.root, nearest), p: modulus(typed, pair(search.root)) };
    });
    const missed = typedRoots.roots.filter(t => !searches.some(search => near(search.root, t)));
    return { typedRoots, rows, missed };
}

export function rootsFile({ rows }) {
    const lines = ["root,re,im,remark,true_re,true_im,error,abs_p_typed,true_radius"];
    rows.forEach(({ search, nearest, error, p }, k) => lines.push([k + 1, fileNumber(search.root.re), fileNumber(search.root.im),
        Number(search.remark), doubleNumber(nearest?.re), doubleNumber(nearest?.im), doubleNumber(error), doubleNumber(p),
        doubleNumber(nearest?.radius)].join(",")));
    return lines.join("\n") + "\n";
}

// A part of a true root with the digits its radius justifies: to the
// radius' first digit; all a double has where the root is exact; 0 where
// the part is within the radius; the program's 6 where no radius is proved.
function justified(x, radius) {
    if (radius === null)
        return programNumber(x);
    if (Math.abs(x) <= radius)
        return "0";
    const digits = radius === 0 ? 17 : Math.floor(Math.log10(Math.abs(x))) - Math.floor(Math.log10(radius)) + 1;
    return programNumber(x, Math.min(17, Math.max(1, digits)));
}
export const trueRootText = t => `${justified(t.re, t.radius)} ${justified(t.im, t.radius)}i`;
// A small measure as the table writes it: 3 significant digits.
export const shortNumber = x => programNumber(x, 3);

// What the page says besides the rows, for the inputs with no plain answer,
// the multiple roots and the roots no printed root came near; each only
// what holds for that root.
export function notes({ typedRoots, rows, missed }, count) {
    const said = [];
    if (typedRoots.kind === "undefined")
        said.push("Коэффициент бесконечен или не число: истинные корни не определены, погрешность не считается.");
    if (typedRoots.kind === "everything")
        said.push("Все коэффициенты равны 0: корень — любое число, и каждый напечатанный корень точен.");
    if (typedRoots.atInfinity > 0 && typedRoots.kind === "roots") {
        const finite = count - typedRoots.atInfinity;
        said.push(`Старший коэффициент равен 0: конечных корней — ${finite === 0 ? "нет" : finite}, на бесконечности — ${typedRoots.atInfinity}.`);
    }
    const named = t => trueRootText(t) + (t.multiplicity > 1 ? ` (кратности ${t.multiplicity})` : "");
    for (const t of eachRootOnce(typedRoots.roots).filter(t => t.multiplicity > 1)) {
        const [closest, k] = rows.reduce((best, row, k) => (distance(row.search.root, t) < best[0] ? [distance(row.search.root, t), k] : best), [Infinity, -1]);
        const size = Math.hypot(t.re, t.im);
        said.push(`Корень ${named(t)}: |P| мал на целой области вокруг него; ` + (closest === 0 ? `напечатанный корень x${k + 1} совпадает с ним.`
            : `ближайший напечатанный корень, x${k + 1}, отстоит от него на ${shortNumber(closest)}`
            + (size > 0 ? ` (относительная погрешность ${shortNumber(closest / size)}).` : ".")));
    }
    const unproved = eachRootOnce(typedRoots.roots).filter(t => t.radius === null);
    if (unproved.length > 0)
        said.push(`Для корней ${unproved.map(named).join("; ")} радиус, в котором корень доказан, не найден: их цифры — шесть, как у программы.`);
    if (missed.length > 0) {
        said.push("Истинные корни, к которым ни один напечатанный не подошёл ближе чем на 10⁻³ их модуля (на корень кратности m — на 10^(−3/m)): "
            + `${eachRootOnce(missed).map(named).join("; ")}.`);
    }
    return said;
}
