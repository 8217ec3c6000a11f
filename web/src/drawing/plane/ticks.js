// The ticks of the plane's axes: a round step for about five of them, their
// labels in the program's six digits.

import { programNumber } from "../../data/numbers.js";

// 1, 2 or 5 times a power of ten.
function tickStep(span) {
    const power = 10 ** Math.floor(Math.log10(span / 5));
    return power * ([1, 2, 5, 10].find(factor => span / (power * factor) <= 7) ?? 10);
}

// The ticks between low and high: their values and labels.
export function ticks(low, high) {
    const step = tickStep(high - low);
    const found = [];
    for (let k = Math.ceil(low / step); k * step <= high; ++k) {
        const value = k * step;
        found.push({ value, label: programNumber(Number(value.toPrecision(6))) });
    }
    return found;
}

// Whether the ticks tell their values apart: at least two, no two labels the same.
export const readable = list => list.length >= 2 && new Set(list.map(tick => tick.label)).size === list.length;
