// A search in words: how it ended and what its root carries, as the tables
// say it; its story in one sentence: where it started, how many chord steps
// it made, how it ended, and, for a root found after a search that missed,
// that the polynomial had been divided by a point that is no root; and a
// step of it.

import { starts, stepBudget, tolerance } from "./chord_method.js";
import { programComplex, programNumber } from "./numbers.js";
import { order } from "./steps.js";

export const endWords = { tolerance: "допуск достигнут", budget: "шаги исчерпаны", nonfinite: "шаг вышел за пределы чисел" };

// Whether the root is written with the remark; "" until it is written.
export function remarkWords(search) {
    if (search.remark === null)
        return "";
    if (!search.remark)
        return "нет";
    return search.afterMiss ? "точность не достигнута, после неудачного поиска" : "точность не достигнута";
}

const steps = n => {
    const [tens, ones] = [n % 100, n % 10];
    const word = tens >= 11 && tens <= 14 ? "шагов" : ones === 1 ? "шаг" : ones >= 2 && ones <= 4 ? "шага" : "шагов";
    return `${n} ${word}`;
};

// The sentence of search s (from 0) of searches; "" until it has ended.
export function story(searches, s) {
    const search = searches[s];
    if (!search?.end)
        return "";
    const chords = search.points.length - 2;
    const last = search.points[search.points.length - 1];
    const root = `x${s + 1} = ${programComplex(search.root)}`;
    const start = `Поиск ${s + 1} начат в точках ${starts[0].name} и ${starts[1].name}`;
    const budget = `запас в ${stepBudget} шагов`;
    let text = {
        tolerance: () => `${start} и за ${steps(chords)} хорд достиг допуска: на шаге ${chords + 1} |P| = ${programNumber(last.p)}`
            + ` меньше ${programNumber(tolerance)}, корень ${root}.`,
        budget: () => (chords === 0 ? `${start}, но общий ${budget} уже исчерпан: корнем взята точка ${root}.`
            : `${start} и за ${steps(chords)} хорд исчерпал общий на все поиски ${budget}: корнем взята последняя точка, ${root}.`),
        nonfinite: () => `${start} и за ${steps(chords)} хорд дошёл до шага, который делил бы на нуль или вышел бы за пределы`
            + ` чисел одинарной точности: корнем взята последняя точка, ${root}.`,
    }[search.end]();
    if (search.afterMiss) {
        const missed = searches.findIndex(other => other.remark && !other.afterMiss);
        text += ` Поиск ${missed + 1} не достиг допуска, многочлен разделён не на корень: этот корень найден не в исходном уравнении.`;
    } else if (search.remark && search.end !== "tolerance") {
        text += " Допуск не достигнут.";
    }
    return text;
}

// A step (search and step, from 0) in words: its point, |P| there and the
// order of convergence, where defined.
export function stepWords(searches, { search, step }) {
    const points = searches[search].points;
    const q = order(points, step);
    return `Поиск ${search + 1}, шаг ${step}: x = ${programComplex(points[step])}, `
        + `|P(x)| = ${programNumber(points[step].p)}${q === null ? "" : `, порядок ${programNumber(q)}`}.`;
}
