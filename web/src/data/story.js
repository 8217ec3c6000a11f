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

// A start point by its name: the program's by theirs, others as the program
// writes numbers.
const startName = z => starts.find(start => start.re === z.re && start.im === z.im)?.name ?? programComplex(z);

// The sentence of search s (from 0) of searches; "" until it has ended.
// Its steps are numbered as the table and the step line number them: the
// start points are steps 0 and 1, each chord a step after them.
export function story(searches, s) {
    const search = searches[s];
    if (!search?.end)
        return "";
    const n = search.points.length - 1;
    const last = search.points[n];
    const root = `x${s + 1} = ${programComplex(search.root)}`;
    const start = `Поиск ${s + 1} начат в точках ${search.points.slice(0, 2).map(startName).join(" и ")} (шаги 0 и 1)`;
    const budget = `запас в ${stepBudget} шагов`;
    let text = {
        tolerance: () => `${start} и на шаге ${n} достиг допуска: |P| = ${programNumber(last.p)} меньше ${programNumber(tolerance)}, корень ${root}.`,
        budget: () => (n === 1 ? `${start}, но общий ${budget} уже исчерпан: корнем взята точка ${root}.`
            : `${start} и на шаге ${n} исчерпал общий на все поиски ${budget}: корнем взята последняя точка, ${root}.`),
        nonfinite: () => `${start}; следующий за шагом ${n} шаг делил бы на нуль или вышел бы за пределы`
            + ` чисел одинарной точности: корнем взята последняя точка, ${root}.`,
    }[search.end]();
    if (search.end !== "tolerance" && last.p < tolerance)
        text += ` В этой точке |P| = ${programNumber(last.p)} уже меньше допуска.`;
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
