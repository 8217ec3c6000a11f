// A model of the program's arithmetic, for inputs of plain numbers: every
// operation rounded to float, the modulus in double; the chord method with
// its shared budget, and deflation. Its rows are those of the steps file:
// search, step, re, im, |P| and order with 9 digits, and how the search
// ended on its last row.
"use strict";

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
        const row = (x, p) => rows.push({ search, re: x[0], im: x[1], p, end: "" });
        row(x0, modulus(f0));
        row(x1, modulus(f1));
        let [root, end] = [x2, "budget"];
        for (; budget < 10000; ++budget) {
            x2 = sub(x0, div(mul(f0, sub(x1, x0)), sub(f1, f0)));
            const f2 = at(x2);
            if (![...x2, ...f2].every(Number.isFinite)) {
                [root, end] = [x1, "nonfinite"];
                break;
            }
            row(x2, modulus(f2));
            root = x2;
            if (modulus(f2) < f(1e-5)) {
                end = "tolerance";
                break;
            }
            [x0, f0, x1, f1] = [x1, f1, x2, f2];
        }
        rows[rows.length - 1].end = end;
        const quotient = [[table[0][0], table[0][1] ?? 0]];
        for (let k = 1; k < table.length - 1; ++k)
            quotient.push(add([table[k][0], table[k][1] ?? 0], mul(root, quotient[k - 1])));
        table.splice(0, table.length, ...quotient);
    }
    return rows.map((r, k) => {
        const [before, after] = [rows[k - 1], rows[k + 1]];
        const q = before?.search === r.search && after?.search === r.search ? Math.log(after.p / r.p) / Math.log(r.p / before.p) : NaN;
        return [r.search, r.re, r.im, r.p.toPrecision(9), Number.isFinite(q) ? q.toPrecision(9) : "", r.end].join();
    });
}

module.exports = { modelRows, f };
