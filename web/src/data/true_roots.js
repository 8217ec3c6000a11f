// The roots of a polynomial, to measure the program's float roots against,
// as true as a double can hold them: the multiplicities exactly, from the
// square-free factors (exact.js); each factor's roots by Aberth–Ehrlich's
// method, started on the circles the Newton polygon of the coefficients'
// moduli gives, so that roots of every size are found in one polynomial,
// then refined in double-double; each rounded to the nearest double and
// given a radius in which a root of that multiplicity is proved to lie.

import { ddAddDd, ddDiffDd, ddMultDd } from "double-double";
import { lnAbs, logModulusAt, squareFree, toDouble } from "./exact.js";
import { abs, add, div, eps, mul, sub } from "./complex.js";

const one = [1, 0];
const isZero = z => z[0] === 0 && z[1] === 0;

// Where Aberth's method starts for the coefficients' moduli (highest power
// first): for each edge of the upper hull of (power, ln modulus), as many
// points as the edge is long, on the circle of the size of those roots.
function startPoints(moduli) {
    const n = moduli.length - 1;
    const ln = moduli.map(m => Math.log(m)).reverse(); // by power
    const hull = [];
    for (let j = 0; j <= n; ++j) {
        if (ln[j] === -Infinity)
            continue;
        const slope = (a, b) => (ln[b] - ln[a]) / (b - a);
        while (hull.length >= 2 && slope(hull[hull.length - 2], hull[hull.length - 1]) <= slope(hull[hull.length - 1], j))
            hull.pop();
        hull.push(j);
    }
    const points = [];
    for (let e = 0; e + 1 < hull.length; ++e) {
        const [a, b] = [hull[e], hull[e + 1]];
        const radius = Math.exp((ln[a] - ln[b]) / (b - a));
        for (let q = 0; q < b - a; ++q) {
            const angle = (2 * Math.PI * q) / (b - a) + (2 * Math.PI * a) / n + 0.4;
            points.push([radius * Math.cos(angle), radius * Math.sin(angle)]);
        }
    }
    return points;
}

// p(z) and p'(z) by Horner's scheme.
function valueAndSlope(p, z) {
    let [value, slope] = [[0, 0], [0, 0]];
    for (const c of p)
        [slope, value] = [add(mul(slope, z), value), add(mul(value, z), c)];
    return [value, slope];
}
// Newton's correction p(z)/p'(z) of a polynomial (doubles, highest first)
// without overflow: beyond the unit circle from the reversed polynomial q
// at w = 1/z, as z / (n − w q'(w)/q(w)).
function newton(p, z) {
    if (abs(z) <= 1) {
        const [value, slope] = valueAndSlope(p, z);
        return isZero(value) ? [0, 0] : div(value, slope);
    }
    const w = div(one, z);
    const [value, slope] = valueAndSlope(p.slice().reverse(), w);
    return isZero(value) ? [0, 0] : div(z, sub([p.length - 1, 0], mul(w, div(slope, value))));
}

// Aberth's iteration: each round moves each root i by Newton's correction
// n(i) turned away from the other roots (difference(i, j): zᵢ − zⱼ as a
// double; move(i, w) moves zᵢ by −w), until no root moves by more than
// small times its modulus (size(i)), or the rounds are spent.
function aberth(count, { n, difference, move, size, small, rounds }) {
    for (let round = 0; round < rounds; ++round) {
        let moved = false;
        for (let i = 0; i < count; ++i) {
            const ratio = n(i);
            let sum = [0, 0];
            for (let j = 0; j < count; ++j) {
                if (j !== i)
                    sum = add(sum, div(one, difference(i, j)));
            }
            const w = div(ratio, sub(one, mul(ratio, sum)));
            if (!w.every(Number.isFinite))
                continue;
            move(i, w);
            moved ||= abs(w) > small * size(i);
        }
        if (!moved)
            return;
    }
}

// Complex double-double numbers: [re, im], each [lo, hi].
const dd = z => [[0, z[0]], [0, z[1]]];
const rounded = z => [z[0][1] + z[0][0], z[1][1] + z[1][0]];
const ddMul = (a, b) => [ddDiffDd(ddMultDd(a[0], b[0]), ddMultDd(a[1], b[1])), ddAddDd(ddMultDd(a[0], b[1]), ddMultDd(a[1], b[0]))];
const ddAdd = (a, b) => [ddAddDd(a[0], b[0]), ddAddDd(a[1], b[1])];
const ddScaled = (a, s) => [[a[0][0] * s, a[0][1] * s], [a[1][0] * s, a[1][1] * s]];

// Newton's correction in double-double: p (double-double coefficients) at
// z/s, s a power of two near |z| beyond the unit circle, so that nothing
// overflows; its derivative needs only doubles.
function ddNewton(p, z) {
    const n = p.length - 1;
    const e = Math.max(0, Math.ceil(Math.log2(abs(rounded(z)))));
    const y = ddScaled(z, 2 ** -e);
    let value = [[0, 0], [0, 0]];
    let slope = [0, 0];
    p.forEach((c, k) => {
        slope = add(mul(slope, rounded(y)), rounded(value));
        value = ddAdd(ddMul(value, y), ddScaled(c, 2 ** (-e * k)));
    });
    const v = rounded(value);
    return isZero(v) ? [0, 0] : mul(div(v, slope), [2 ** e, 0]);
}

// The roots of a square-free factor (exact): double, then double-double.
function factorRoots(factor) {
    // Its coefficients made monic, as double-double.
    const [c, d] = factor[0];
    const norm = c * c + d * d;
    const coefficients = factor.map(([a, b]) => [toDouble(a * c + b * d, norm), toDouble(b * c - a * d, norm)]);
    const p = coefficients.map(([re, im]) => [re[0], im[0]]);
    const z = startPoints(p.map(abs));
    aberth(z.length, { n: i => newton(p, z[i]), difference: (i, j) => sub(z[i], z[j]), move: (i, w) => (z[i] = sub(z[i], w)),
        size: i => abs(z[i]), small: 4 * eps, rounds: 500 });
    const ddp = coefficients.map(([re, im]) => [[re[1], re[0]], [im[1], im[0]]]);
    const zz = z.map(dd);
    aberth(zz.length, { n: i => ddNewton(ddp, zz[i]),
        difference: (i, j) => [zz[i][0][1] - zz[j][0][1] + (zz[i][0][0] - zz[j][0][0]), zz[i][1][1] - zz[j][1][1] + (zz[i][1][0] - zz[j][1][0])],
        move: (i, w) => (zz[i] = [ddDiffDd(zz[i][0], [0, w[0]]), ddDiffDd(zz[i][1], [0, w[1]])]), size: i => abs(rounded(zz[i])), small: 2 ** -100, rounds: 12 });
    return zz.map(rounded);
}

// A real factor's roots made real or conjugate pairs exactly: a root whose
// mirror image lies nearest to itself is real; two roots each nearest to
// the other's mirror image are a pair.
function mirrored(z) {
    const nearestTo = w => z.reduce((best, u, k) => (abs(sub(u, w)) < abs(sub(z[best], w)) ? k : best), 0);
    const partner = z.map(u => nearestTo([u[0], -u[1]]));
    return z.map((u, i) => {
        const j = partner[i];
        if (j === i)
            return [u[0], 0];
        if (partner[j] !== i)
            return u;
        const im = (Math.abs(u[1]) + Math.abs(z[j][1])) / 2;
        return [(u[0] + z[j][0]) / 2, u[1] < 0 ? -im : im];
    });
}

// The radius about each root z of a square-free factor of degree n in which
// a root is proved to lie: n |f(zᵢ)| / ∏ |zᵢ − zⱼ| for the factor made monic,
// f (Weierstrass' correction; the discs' union holds every root, and a disc
// apart from the others holds exactly one), f(zᵢ) exactly, the distances
// rounded down, in logarithms, so that no product overflows; null where
// discs meet.
function radii(factor, z) {
    const n = z.length;
    const margin = 1e-12;
    const ln = z.map((u, i) => {
        let below = logModulusAt(factor, u) - lnAbs(factor[0]) + Math.log(n) + margin;
        for (let j = 0; j < n; ++j) {
            if (j !== i)
                below -= Math.log(abs(sub(u, z[j])) * (1 - 8 * eps));
        }
        return below;
    });
    const r = ln.map(x => (x === -Infinity ? 0 : Math.max(Math.exp(x), Number.MIN_VALUE)));
    return r.map((ri, i) => (z.every((u, j) => j === i || abs(sub(u, z[i])) * (1 - 8 * eps) > ri + r[j]) ? ri : null));
}

// The roots of the polynomial, as far as they are defined: kind "roots"
// with the finite roots ({re, im, multiplicity, radius}, a multiple root's
// copies together) and how many lie at infinity (a leading coefficient 0
// lowers the degree); "everything" when every coefficient is 0;
// "undefined" when one is infinite or not a number.
const known = new WeakMap(); // each polynomial's, worked out once
export function trueRoots(polynomial) {
    if (!known.has(polynomial))
        known.set(polynomial, rootsOf(polynomial));
    return known.get(polynomial);
}
function rootsOf(polynomial) {
    if (!polynomial.flat().every(Number.isFinite))
        return { kind: "undefined", roots: [], atInfinity: 0 };
    const lead = polynomial.findIndex(c => !isZero(c));
    if (lead < 0)
        return { kind: "everything", roots: [], atInfinity: 0 };
    let p = polynomial.slice(lead);
    const roots = [];
    const copies = (z, multiplicity, radius) => {
        for (let k = 0; k < multiplicity; ++k)
            roots.push({ re: z[0], im: z[1], multiplicity, radius });
    };
    let zeros = 0;
    while (isZero(p[p.length - 1 - zeros]))
        ++zeros;
    if (zeros > 0)
        copies([0, 0], zeros, 0);
    p = p.slice(0, p.length - zeros);
    if (p.length > 1) {
        for (const { factor, multiplicity } of squareFree(p)) {
            const real = factor.every(c => c[1] === 0n);
            const z = real ? mirrored(factorRoots(factor)) : factorRoots(factor);
            const r = radii(factor, z);
            z.forEach((u, k) => copies(u, multiplicity, r[k]));
        }
    }
    roots.sort((a, b) => a.re - b.re || a.im - b.im);
    return { kind: "roots", roots, atInfinity: lead };
}

// Each root once: a multiple root's copies stand together.
export const eachRootOnce = roots => roots.filter((t, k) => k === 0 || t.re !== roots[k - 1].re || t.im !== roots[k - 1].im);

// log₁₀|P(re + im·i)| from the product form through its roots (found by
// trueRoots, given where known), so that no rounding shows as relief however
// near a root; null where P has no finite roots to measure it by
// (undefined, or 0 everywhere).
export function logModulus(polynomial, { kind, roots } = trueRoots(polynomial)) {
    if (kind !== "roots")
        return null;
    const lead = polynomial.find(c => !isZero(c));
    const base = Math.log10(abs(lead));
    const points = eachRootOnce(roots).map(t => [t.re, t.im, t.multiplicity / 2 / Math.LN10]);
    return (re, im) => {
        let sum = base;
        for (const [a, b, m] of points)
            sum += m * Math.log((re - a) * (re - a) + (im - b) * (im - b));
        return sum;
    };
}
