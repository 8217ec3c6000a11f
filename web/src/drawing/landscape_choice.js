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
                select.replaceChildren(...Array.from({ length: count }, (_, s) => new Option(String(s + 1), String(s))));
                select.disabled = count === 0;
            }
            select.value = String(shown);
        },
        // range: the values of log₁₀|P| shaded, {lo, hi}, or null for none;
        // stepped: whether any search has a point.
        said(range, stepped) {
            const search = Number(select.value) + 1;
            legend.textContent = !range ? (stepped ? "Рельефа нет: |P| всюду равен 0 или не определён." : "")
                : `Рельеф поиска ${search}: log₁₀|P(x)| его многочлена, от ${range.lo.toFixed(1)} (темнее) до ${range.hi.toFixed(1)}`
                + ` (светлее); линии — целые степени 10, жирная — допуск |P| = ${programNumber(tolerance)}.`;
        },
    };
}
