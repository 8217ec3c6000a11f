// Each search's story in one sentence, from what the solver told of it:
// where it started, how many chord steps it made, how it ended, and, for a
// root found after a search that missed, that the polynomial had been
// divided by a point that is no root.

import { programNumber } from "./numbers.js";

const steps = n => {
    const [tens, ones] = [n % 100, n % 10];
    const word = tens >= 11 && tens <= 14 ? "шагов" : ones === 1 ? "шаг" : ones >= 2 && ones <= 4 ? "шага" : "шагов";
    return `${n} ${word}`;
};
const point = z => `${programNumber(z.re)} ${programNumber(z.im)}i`;

// The sentence of search s (from 0) of searches; "" until it has ended.
export function story(searches, s) {
    const search = searches[s];
    if (!search?.end)
        return "";
    const made = search.points.length - 2;
    const last = search.points[search.points.length - 1];
    const root = `x${s + 1} = ${point(search.root)}`;
    const start = `Поиск ${s + 1} начат в точках 0 и 1+i`;
    let text = {
        tolerance: () => `${start} и за ${steps(made)} хорд достиг допуска: на шаге ${made + 1} |P| = ${programNumber(last.p)}`
            + ` меньше 1e-05, корень ${root}.`,
        budget: () => (made === 0 ? `${start}, но общий запас в 10000 шагов уже исчерпан: корнем взята точка ${root}.`
            : `${start} и за ${steps(made)} хорд исчерпал общий на все поиски запас в 10000 шагов: корнем взята последняя точка, ${root}.`),
        nonfinite: () => `${start} и за ${steps(made)} хорд дошёл до шага, который делил бы на нуль или вышел бы за пределы`
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
