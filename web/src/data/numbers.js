// Numbers as the page writes them: in the program's own form, and in its
// files, with the digits that give back the very number.

// As the program writes a float: printf's %g with 6 significant digits
// (scientific below 1e-4 and from 1e6 on, trailing zeros dropped, an
// exponent of at least two digits), a tie rounded to even as printf does;
// with count digits, %.{count}g.
export function programNumber(x, count = 6) {
    if (Number.isNaN(x))
        return "nan";
    if (!Number.isFinite(x))
        return x > 0 ? "inf" : "-inf";
    if (x === 0)
        return Object.is(x, -0) ? "-0" : "0";
    let [digits, exponent] = roundedDigits(Math.abs(x), count);
    const sign = x < 0 ? "-" : "";
    if (exponent < -4 || exponent >= count) {
        const mantissa = trimmed(`${digits[0]}.${digits.slice(1)}`);
        const e = Math.abs(exponent);
        return `${sign}${mantissa}e${exponent < 0 ? "-" : "+"}${e < 10 ? "0" : ""}${e}`;
    }
    if (exponent < 0)
        digits = "0".repeat(-exponent) + digits, (exponent = 0);
    return sign + trimmed(`${digits.slice(0, exponent + 1)}.${digits.slice(exponent + 1)}`);
}

// The significant digits of a positive x, rounded to count, and the decimal
// exponent of the first. toExponential rounds a tie away from zero; the
// exact value, which a float has in few enough digits, tells a tie.
function roundedDigits(x, count) {
    const [mantissa, exponent] = x.toExponential(count - 1).split("e");
    const exact = x.toExponential(100).replace(".", "");
    const tie = exact[count] === "5" && /^0*e/.test(exact.slice(count + 1)) && Number(exact[count - 1]) % 2 === 0;
    if (!tie)
        return [mantissa.replace(".", ""), Number(exponent)];
    const [down, downExponent] = exact.split("e");
    return [down.slice(0, count), Number(downExponent)];
}

const trimmed = text => (text.includes(".") ? text.replace(/0+$/, "").replace(/\.$/, "") : text);

// For the steps file: 9 significant digits, which give back the float they
// were written from, also -0; "." as the decimal point; inf, -inf and nan
// as the program writes them.
export function fileNumber(x) {
    if (!Number.isFinite(x))
        return programNumber(x);
    return Object.is(x, -0) ? "-0.00000000" : x.toPrecision(9);
}

// A complex number as the program writes a root: "1 -5.93766e-08i".
export const programComplex = z => `${programNumber(z.re)} ${programNumber(z.im)}i`;

// For the roots file: 17 significant digits, which give back the very
// double; inf or nan where a value is one, empty where there is none.
export function doubleNumber(x) {
    if (x === null || x === undefined)
        return "";
    return Number.isFinite(x) ? x.toPrecision(17) : programNumber(x);
}
