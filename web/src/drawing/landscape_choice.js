// "Рельеф |P| для поиска": which search's landscape lies beneath the trails,
// and the legend that says what its shading spans.

import { tolerance } from "../data/chord_method.js";
import { programNumber } from "../data/numbers.js";

// select and legend: the control and the legend's text; picked(search):
// told the search (from 0) the user picks.
export function createLandscapeChoice({ select, legend }, lifetime, picked) {
    lifetime.listen(select, "change", () => picked(Number(select.value)));
    lifetime.own(() => {
        legend.textContent = "";
        select.replaceChildren();
        select.disabled = true;
    });
    return {
        // count searches to pick from; shown: the one whose landscape is shown.
        show(count, shown) {
            if (select.length !== count) {
                select.replaceChildren(...Array.from({ length: count }, (_, s) => new Option(`поиск ${s + 1}`, String(s))));
                select.disabled = count === 0;
            }
            select.value = String(shown);
        },
        // range: the values of log₁₀|P| shaded, {lo, hi}, and where the
        // tolerance line is (landscape.js), or null for none; stepped:
        // whether any search has a point; mapped: whether the map lies there
        // instead. Told again only when it changes, as the legend is read
        // out then.
        said(range, stepped, mapped) {
            const search = Number(select.value) + 1;
            const limit = programNumber(tolerance);
            const line = range && {
                "in view": `, жирная — допуск |P| = ${limit}.`,
                above: `; |P| всюду на виду меньше допуска ${limit}.`,
                below: `; |P| всюду на виду больше допуска ${limit}, его линии здесь нет.`,
                beyond: `; линия допуска |P| = ${limit} — за краем вида.`,
            }[range.line];
            const text = mapped ? "Вместо рельефа — карта первого поиска, её цвета ниже." : !range ? (stepped ? "Рельефа нет: |P| всюду равен 0 или не определён." : "")
                : `Рельеф поиска ${search}: log₁₀|P(x)| его многочлена, от ${range.lo.toFixed(1)} (темнее) до ${range.hi.toFixed(1)}`
                + ` (светлее); тонкие линии — целые степени 10${line}`;
            if (legend.textContent !== text)
                legend.textContent = text;
        },
    };
}
