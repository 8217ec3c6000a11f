// The steps as a table in the program's number format, for screen readers
// and the keyboard, a page of rows at a time: ten thousand rows would take
// seconds to lay out. The page turns by its buttons, and to the step
// selected when stepping, whose row is marked.

import { programComplex, programNumber } from "../data/numbers.js";
import { locate, order } from "../data/steps.js";
import { endWords, remarkWords } from "../data/story.js";
import { tableRow } from "./table_rows.js";

const rowsPerPage = 100;

// parts: the details element, the table, the pager's buttons and its text.
export function createStepTable({ details, table, earlier, later, range }, lifetime) {
    const body = table.tBodies[0];
    let searches = [];
    let total = 0;
    let page = 0;
    let selected = null; // the point selected, from 1
    let rowsKey = ""; // what the rows shown were made from

    function render() {
        const pages = Math.max(1, Math.ceil(total / rowsPerPage));
        page = Math.min(page, pages - 1);
        const from = page * rowsPerPage;
        const to = Math.min(total, from + rowsPerPage);
        earlier.disabled = page === 0;
        later.disabled = page >= pages - 1;
        range.textContent = total === 0 ? "" : `Строки ${from + 1}–${to} из ${total}`;
        if (!details.open)
            return;
        // A step moves only the mark; the rows are made again when the page
        // or the searches' ends change.
        const key = `${from} ${to} ${searches.map(s => `${s.end}${s.remark}`).join()}`;
        if (key !== rowsKey) {
            rowsKey = key;
            body.replaceChildren(...rowsOf(from, to));
        }
        body.querySelector("[aria-current]")?.removeAttribute("aria-current");
        if (selected > from && selected <= to)
            body.rows[selected - from - 1].setAttribute("aria-current", "step");
    }
    function rowsOf(from, to) {
        const rows = [];
        for (let n = from + 1; n <= to; ++n) {
            const { search: s, step: k } = locate(searches, n);
            const search = searches[s];
            const q = order(search.points, k);
            const last = k === search.points.length - 1;
            rows.push(tableRow([s + 1, k, programComplex(search.points[k]), programNumber(search.points[k].p), q === null ? "" : programNumber(q),
                last && search.end ? endWords[search.end] : "", last ? remarkWords(search) : ""]));
        }
        return rows;
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
