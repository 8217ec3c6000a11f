// Exact arithmetic in BigInt for the true roots: a float coefficient is a
// binary fraction, so the program's polynomial is known exactly, and so are
// its roots' multiplicities. A Gaussian integer is [a, b], a + bi; a
// polynomial its Gaussian integer coefficients, the highest power's first,
// known up to a constant factor, which changes neither its roots nor their
// multiplicities: so no fraction is ever reduced, which would cost a
// greatest common divisor of integers at every step.

const zero = [0n, 0n];
const isZero = c => c[0] === 0n && c[1] === 0n;
const sub = (x, y) => [x[0] - y[0], x[1] - y[1]];
const mul = (x, y) => [x[0] * y[0] - x[1] * y[1], x[0] * y[1] + x[1] * y[0]];
// x / w, where w divides x.
function quotient(x, w) {
    const norm = w[0] * w[0] + w[1] * w[1];
    return [(x[0] * w[0] + x[1] * w[1]) / norm, (x[1] * w[0] - x[0] * w[1]) / norm];
}
const power = (x, n) => (n === 0 ? [1n, 0n] : mul(x, power(x, n - 1)));

// A double as an exact fraction n / 2^k.
function fraction(x) {
    let k = 0;
    while (!Number.isInteger(x))
        [x, k] = [x * 2, k + 1];
    return [BigInt(x), k];
}
// Complex numbers [re, im] of doubles as Gaussian integers over one power
// of two: {values, shift}, each value 2^shift times its number.
function scaled(numbers) {
    const parts = numbers.flat().map(fraction);
    const shift = Math.max(...parts.map(([, k]) => k));
    const at = ([n, k]) => n << BigInt(shift - k);
    return { values: numbers.map((_, j) => [at(parts[2 * j]), at(parts[2 * j + 1])]), shift };
}
// A polynomial of doubles exactly: its Gaussian integer coefficients, 2^shift
// times the given ones.
export const integerPolynomial = polynomial => {
    const { values, shift } = scaled(polynomial);
    return { polynomial: values, shift };
};

const bits = n => (n < 0n ? -n : n).toString(16).length * 4;
// The nearest double to n/d, for BigInt n and d > 0, without overflow on
// the way; also the part below it, for double-double: [hi, lo].
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
// ln n for a BigInt n > 0, to a few units in the last place of a double.
function ln(n) {
    const drop = Math.max(0, bits(n) - 64);
    return Math.log(Number(n >> BigInt(drop))) + drop * Math.LN2;
}
// ln |c| of a Gaussian integer.
export const lnAbs = c => ln(c[0] * c[0] + c[1] * c[1]) / 2;

const trim = p => {
    let first = 0;
    while (first < p.length && isZero(p[first]))
        ++first;
    return p.slice(first);
};
const degree = p => p.length - 1;
const derivative = p => p.slice(0, -1).map((c, k) => [c[0] * BigInt(degree(p) - k), c[1] * BigInt(degree(p) - k)]);

// Pseudo-division: lc(b)^(deg a − deg b + 1) a = quotient b + remainder.
function pseudoDivide(a, b) {
    const rest = a.slice();
    const q = [];
    const lead = b[0];
    for (let k = 0; k + b.length <= a.length; ++k) {
        const c = rest[k];
        for (let j = 0; j < q.length; ++j)
            q[j] = mul(q[j], lead);
        q.push(c);
        for (let j = k; j < rest.length; ++j)
            rest[j] = mul(rest[j], lead);
        for (let j = 0; j < b.length; ++j)
            rest[k + j] = sub(rest[k + j], mul(c, b[j]));
    }
    return { quotient: q, remainder: trim(rest.slice(q.length)) };
}

// The greatest common divisor, up to a constant, by the subresultant
// remainder sequence, whose divisions are exact and whose coefficients grow
// only as determinants of the coefficients do.
function greatestCommon(a, b) {
    [a, b] = [trim(a), trim(b)];
    if (a.length < b.length)
        [a, b] = [b, a];
    if (b.length === 0)
        return a;
    let [g, h] = [[1n, 0n], [1n, 0n]];
    for (;;) {
        const delta = a.length - b.length;
        const rest = pseudoDivide(a, b).remainder;
        if (rest.length === 0)
            return b;
        if (rest.length === 1)
            return [[1n, 0n]];
        const divisor = mul(g, power(h, delta));
        [a, b] = [b, rest.map(c => quotient(c, divisor))];
        g = a[0];
        if (delta > 0)
            h = quotient(power(g, delta), power(h, delta - 1));
    }
}

// The square-free factors of a polynomial of doubles of degree ≥ 1:
// [{factor, multiplicity}], each factor (Gaussian integers, up to a
// constant) of degree ≥ 1, its roots exactly the polynomial's roots of that
// multiplicity. fₖ = gcd(fₖ₋₁, fₖ₋₁′) holds the roots of multiplicity above
// k, each k times fewer; hₖ = fₖ₋₁ / fₖ the roots of multiplicity k or more,
// once; hₖ / hₖ₊₁ those of multiplicity k.
export function squareFree(polynomial) {
    const chain = [integerPolynomial(polynomial).polynomial];
    while (degree(chain[chain.length - 1]) > 0)
        chain.push(greatestCommon(chain[chain.length - 1], derivative(chain[chain.length - 1])));
    const atLeast = chain.slice(1).map((f, k) => pseudoDivide(chain[k], f).quotient);
    return atLeast.map((h, k) => ({ factor: k + 1 < atLeast.length ? pseudoDivide(h, atLeast[k + 1]).quotient : h, multiplicity: k + 1 }))
        .filter(({ factor }) => degree(factor) > 0);
}

// ln |p(z)| at a complex z of doubles, p(z) exactly: -Infinity where it is 0.
export function logModulusAt(p, z) {
    const { values: [at], shift } = scaled([z]);
    // p(z) 2^(shift·n) by Horner's scheme in integers.
    let sum = p[0];
    for (let k = 1; k < p.length; ++k)
        sum = [sum[0] * at[0] - sum[1] * at[1] + (p[k][0] << BigInt(shift * k)), sum[0] * at[1] + sum[1] * at[0] + (p[k][1] << BigInt(shift * k))];
    return isZero(sum) ? -Infinity : lnAbs(sum) - shift * degree(p) * Math.LN2;
}
