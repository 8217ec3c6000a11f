// The roots of a polynomial in double precision, to measure the program's
// float roots against: Aberth–Ehrlich's method, each root polished by
// Newton's.

import { abs, add, derivative, div, eps, evaluate, mul, sub } from "./complex.js";

// Newton's steps from z while they bring P(z) down.
function polish(p, z) {
    const d = derivative(p);
    for (let k = 0; k < 8; ++k) {
        const here = abs(evaluate(p, z).value);
        const next = sub(z, div(evaluate(p, z).value, evaluate(d, z).value));
        if (here === 0 || !(abs(evaluate(p, next).value) < here))
            break;
        z = next;
    }
    return z;
}

// All n roots of p, of degree n ≥ 1 with a leading coefficient not 0.
function aberth(p) {
    const n = p.length - 1;
    const d = derivative(p);
    // Started on a circle of the roots' mean size, turned off the axes.
    const radius = Math.pow(abs(p[n]) / abs(p[0]), 1 / n) || 1;
    const z = Array.from({ length: n }, (_, k) => {
        const angle = (2 * Math.PI * k) / n + 0.4;
        return [radius * Math.cos(angle), radius * Math.sin(angle)];
    });
    for (let round = 0; round < 1000; ++round) {
        let moved = false;
        for (let i = 0; i < n; ++i) {
            const { value, error } = evaluate(p, z[i]);
            if (abs(value) <= error)
                continue;
            const ratio = div(value, evaluate(d, z[i]).value);
            let sum = [0, 0];
            for (let j = 0; j < n; ++j)
                if (j !== i)
                    sum = add(sum, div([1, 0], sub(z[i], z[j])));
            const w = div(ratio, sub([1, 0], mul(ratio, sum)));
            if (!w.every(Number.isFinite))
                continue;
            z[i] = sub(z[i], w);
            moved ||= abs(w) > 4 * eps * abs(z[i]);
        }
        if (!moved)
            break;
    }
    return z.map(root => polish(p, root));
}

// Roots that Aberth's method leaves spread around one root of multiplicity
// m (by about eps^(1/m)) are taken as that root, m times, where P and its
// first m - 1 derivatives vanish at their mean within rounding error; the
// mean, polished as the simple root of the (m - 1)th derivative, is then as
// good as a simple root.
function joinMultiple(p, roots) {
    const found = [];
    const left = roots.slice();
    while (left.length > 0) {
        const first = left.shift();
        const near = left.map((z, k) => ({ k, d: abs(sub(z, first)) })).filter(x => x.d < 0.1 * Math.max(1, abs(first)))
            .sort((a, b) => a.d - b.d);
        let joined = 1;
        for (let m = near.length + 1; m >= 2 && joined === 1; --m) {
            const members = [first, ...near.slice(0, m - 1).map(x => left[x.k])];
            let q = p;
            for (let k = 1; k < m; ++k)
                q = derivative(q);
            const mean = polish(q, [members.reduce((s, z) => s + z[0], 0) / m, members.reduce((s, z) => s + z[1], 0) / m]);
            let vanish = true;
            for (let k = 0, r = p; k < m; ++k, r = derivative(r)) {
                const { value, error } = evaluate(r, mean);
                vanish &&= abs(value) <= 8 * m * error;
            }
            if (vanish) {
                joined = m;
                const taken = new Set(near.slice(0, m - 1).map(x => x.k));
                left.splice(0, left.length, ...left.filter((_, k) => !taken.has(k)));
                for (let k = 0; k < m; ++k)
                    found.push({ re: mean[0], im: mean[1], multiplicity: m });
            }
        }
        if (joined === 1)
            found.push({ re: first[0], im: first[1], multiplicity: 1 });
    }
    return found;
}

// The roots of the polynomial, as far as they are defined: kind "roots"
// with the finite roots ({re, im, multiplicity}) and how many lie at
// infinity (a leading coefficient 0 lowers the degree); "everything" when
// every coefficient is 0; "undefined" when one is infinite or not a number.
export function trueRoots(polynomial) {
    if (!polynomial.flat().every(Number.isFinite))
        return { kind: "undefined", roots: [], atInfinity: 0 };
    const zero = c => c[0] === 0 && c[1] === 0;
    const lead = polynomial.findIndex(c => !zero(c));
    if (lead < 0)
        return { kind: "everything", roots: [], atInfinity: 0 };
    let p = polynomial.slice(lead);
    const roots = [];
    while (p.length > 1 && zero(p[p.length - 1])) {
        p = p.slice(0, -1);
        roots.push([0, 0]);
    }
    const all = [...roots, ...(p.length > 1 ? aberth(p) : [])];
    return { kind: "roots", roots: joinMultiple(polynomial.slice(lead), all), atInfinity: lead };
}

// Each root once: a multiple root's copies stand together.
export const eachRootOnce = roots => roots.filter((t, k) => k === 0 || t.re !== roots[k - 1].re || t.im !== roots[k - 1].im);
