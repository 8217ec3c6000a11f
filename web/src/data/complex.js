// Complex numbers in double precision, each a pair [re, im], and
// polynomials, each its coefficients with the highest power's first: the
// page's one arithmetic for measuring the program's float roots.

export const eps = 2 ** -52;
export const add = (a, b) => [a[0] + b[0], a[1] + b[1]];
export const sub = (a, b) => [a[0] - b[0], a[1] - b[1]];
export const mul = (a, b) => [a[0] * b[0] - a[1] * b[1], a[0] * b[1] + a[1] * b[0]];
export const abs = a => Math.hypot(a[0], a[1]);
// Scaled, so that no part overflows where the quotient does not.
export function div(a, b) {
    const s = Math.max(Math.abs(b[0]), Math.abs(b[1]));
    const [c, d] = [b[0] / s, b[1] / s];
    const n = c * c + d * d;
    return [(a[0] * c + a[1] * d) / n / s, (a[1] * c - a[0] * d) / n / s];
}
// A point of the page's ({re, im}) as a pair.
export const pair = z => [z.re, z.im];

// P(re + im·i) by Horner's scheme, in plain numbers.
export function horner(p, re, im) {
    let a = 0;
    let b = 0;
    for (let k = 0; k < p.length; ++k) {
        const next = a * re - b * im + p[k][0];
        b = a * im + b * re + p[k][1];
        a = next;
    }
    return [a, b];
}
