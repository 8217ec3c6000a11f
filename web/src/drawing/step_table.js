// The steps as a table in the program's number format, for screen readers
// and the keyboard, a page of rows at a time: ten thousand rows would take
// seconds to lay out. The page turns by its buttons, and to the step
// selected when stepping, whose row is marked.

import { programNumber } from "./numbers.js";
import { order } from "./steps.js";

export const rowsPerPage = 100;

// How a search ended and whether its root carries the remark, in words.
export const endings = { tolerance: "допуск достигнут", budget: "шаги исчерпаны", nonfinite: "шаг вышел за пределы чисел" };
export function remarkText(search) {
    if (search.remark === null)
        return "";
    if (!search.remark)
        return "нет";
    return search.afterMiss ? "точность не достигнута, после неудачного поиска" : "точность не достигнута";
}

// parts: the details element, the table, the pager's buttons and its text.
export function createStepTable({ details, table, earlier, later, range }, lifetime) {
    const body = table.tBodies[0];
    let searches = [];
    let total = 0;
    let page = 0;
    let selected = null; // the point selected, from 1
    let drawn = ""; // what the rows shown were made from

    function render() {
        const pages = Math.max(1, Math.ceil(total / rowsPerPage));
        page = Math.min(page, pages - 1);
        const from = page * rowsPerPage;
        const to = Math.min(total, from + rowsPerPage);
        earlier.disabled = page === 0;
        later.disabled = page >= pages - 1;
        range.textContent = total === 0 ? "" : `Строки ${from + 1}–${to} из ${total}`;
        const key = `${from} ${to} ${selected} ${searches.map(s => `${s.end}${s.remark}`).join()}`;
        if (!details.open || key === drawn)
            return;
        drawn = key;
        const rows = [];
        let n = 0;
        searches.forEach((search, s) => {
            const points = search.points;
            if (n + points.length <= from || n >= to) {
                n += points.length;
                return;
            }
            for (let k = Math.max(0, from - n); k < points.length && n + k < to; ++k) {
                const point = points[k];
                const q = order(points, k);
                const last = k === points.length - 1;
                const row = document.createElement("tr");
                if (n + k + 1 === selected)
                    row.setAttribute("aria-current", "step");
                for (const text of [s + 1, k, `${programNumber(point.re)} ${programNumber(point.im)}i`, programNumber(point.p),
                    q === null ? "" : programNumber(q), last && search.end ? endings[search.end] : "", last ? remarkText(search) : ""]) {
                    const cell = document.createElement("td");
                    cell.textContent = text;
                    row.append(cell);
                }
                rows.push(row);
            }
            n += points.length;
        });
        body.replaceChildren(...rows);
    }
    const turn = by => {
        page += by;
        render();
    };
    lifetime.listen(earlier, "click", () => turn(-1));
    lifetime.listen(later, "click", () => turn(1));
    lifetime.listen(details, "toggle", render);
    lifetime.own(() => {
        body.replaceChildren();
        range.textContent = "";
    });

    return {
        // The searches as far as they have come, in all.
        show(searchesSoFar, count) {
            searches = searchesSoFar;
            total = count;
            render();
        },
        // The point selected when stepping, from 1; null: none.
        select(n) {
            selected = n;
            if (n !== null)
                page = Math.floor((n - 1) / rowsPerPage);
            render();
        },
    };
}
