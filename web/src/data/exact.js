// Exact arithmetic over the Gaussian rationals, in BigInt: a float
// coefficient is a binary fraction, so the program's polynomial is known
// exactly, and so are its roots' multiplicities. A number is [a, b, d],
// (a + bi)/d with d > 0 and no common factor; a polynomial its
// coefficients, the highest power's first.

const gcd = (x, y) => {
    x = x < 0n ? -x : x;
    y = y < 0n ? -y : y;
    while (y)
        [x, y] = [y, x % y];
    return x;
};
function reduced(a, b, d) {
    if (d < 0n)
        [a, b, d] = [-a, -b, -d];
    const g = gcd(gcd(a, b), d);
    return g > 1n ? [a / g, b / g, d / g] : [a, b, d];
}
const zero = [0n, 0n, 1n];
const isZero = q => q[0] === 0n && q[1] === 0n;
const add = (x, y) => reduced(x[0] * y[2] + y[0] * x[2], x[1] * y[2] + y[1] * x[2], x[2] * y[2]);
const sub = (x, y) => add(x, [-y[0], -y[1], y[2]]);
const mul = (x, y) => reduced(x[0] * y[0] - x[1] * y[1], x[0] * y[1] + x[1] * y[0], x[2] * y[2]);
const inverse = ([a, b, d]) => reduced(d * a, -d * b, a * a + b * b);

// A double as an exact fraction n / 2^k.
function fraction(x) {
    let k = 0n;
    while (!Number.isInteger(x))
        [x, k] = [x * 2, k + 1n];
    return [BigInt(x), 1n << k];
}
// A complex number [re, im] of doubles, exactly.
export function exact([re, im]) {
    const [[a, p], [b, q]] = [fraction(re), fraction(im)];
    const d = p > q ? p : q;
    return reduced(a * (d / p), b * (d / q), d);
}

// The nearest double to n/d, for BigInt n and d > 0, without overflow on
// the way; also its part below the double, for double-double.
const bits = n => (n < 0n ? -n : n).toString(16).length * 4;
export function toDouble(n, d) {
    if (n === 0n)
        return [0, 0];
    const shift = 120 - (bits(n) - bits(d));
    const q = shift >= 0 ? (n << BigInt(shift)) / d : n / (d << BigInt(-shift));
    const hi = Number(q);
    const half = Math.trunc(-shift / 2);
    const scale = x => x * 2 ** half * 2 ** (-shift - half);
    return [scale(hi), scale(Number(q - BigInt(hi)))];
}

const degree = p => p.length - 1;
const monic = p => p.map(c => mul(c, inverse(p[0])));
const derivative = p => p.slice(0, -1).map((c, k) => mul(c, [BigInt(degree(p) - k), 0n, 1n]));
const trim = p => {
    const first = p.findIndex(c => !isZero(c));
    return first < 0 ? [] : p.slice(first);
};
function difference(p, q) {
    const n = Math.max(p.length, q.length);
    const at = (r, k) => r[k - (n - r.length)] ?? zero;
    return trim(Array.from({ length: n }, (_, k) => sub(at(p, k), at(q, k))));
}

// The quotient and remainder of p by a monic divisor.
function divide(p, divisor) {
    const rest = p.slice();
    const quotient = [];
    for (let k = 0; k + divisor.length <= rest.length; ++k) {
        const c = rest[k];
        quotient.push(c);
        for (let j = 1; j < divisor.length; ++j)
            rest[k + j] = sub(rest[k + j], mul(c, divisor[j]));
    }
    return { quotient, remainder: trim(rest.slice(quotient.length)) };
}
// The monic greatest common divisor.
function greatestCommon(p, q) {
    [p, q] = [monic(p), trim(q)];
    while (q.length > 0)
        [p, q] = [monic(q), divide(p, monic(q)).remainder];
    return p;
}

// The square-free factors of a polynomial of degree ≥ 1 (Yun's algorithm):
// [{factor, multiplicity}], each factor monic, of degree ≥ 1, its roots
// exactly the polynomial's roots of that multiplicity.
export function squareFree(polynomial) {
    const p = monic(polynomial.map(exact));
    const factors = [];
    const common = greatestCommon(p, derivative(p));
    let b = divide(p, common).quotient;
    let d = difference(divide(derivative(p), common).quotient, derivative(b));
    for (let multiplicity = 1; degree(b) > 0; ++multiplicity) {
        const a = greatestCommon(b, d);
        if (degree(a) > 0)
            factors.push({ factor: a, multiplicity });
        b = divide(b, a).quotient;
        d = difference(divide(d, a).quotient, derivative(b));
    }
    return factors;
}

// ln |p(z)| at a complex z of doubles, p(z) exactly, the logarithm a
// little above: -Infinity where p(z) is 0.
export function logModulusAt(p, z) {
    const at = exact(z);
    const [a, b, d] = p.reduce((sum, c) => add(mul(sum, at), c), zero);
    const lnOf = n => {
        const drop = Math.max(0, bits(n) - 64);
        return Math.log(Number(n >> BigInt(drop))) + drop * Math.LN2;
    };
    return a === 0n && b === 0n ? -Infinity : (lnOf(a * a + b * b) - lnOf(d * d)) / 2 + 1e-12;
}
