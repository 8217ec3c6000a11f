// "Точность корней", once the last root is written: for each printed root
// a row headed by its name: the root as printed, its distance to the
// nearest true root and |P| there (data/accuracy.js), and that true root;
// its story in the row below; the notes; and the link to chord-roots.csv.

import { measure, notes, rootsFile, shortNumber, trueRootText } from "../data/accuracy.js";
import { programComplex } from "../data/numbers.js";
import { remarkWords, story } from "../data/story.js";
import { offerFile } from "./saved_files.js";

// A cell of lines, each a text.
function cell(name, lines) {
    const element = document.createElement(name);
    lines.filter(Boolean).forEach((text, k) => {
        if (k > 0)
            element.append(document.createElement("br"));
        element.append(text);
    });
    return element;
}

function rows(measured, searches) {
    return measured.rows.flatMap(({ search, nearest, error, p }, s) => {
        const numbers = document.createElement("tr");
        const head = cell("th", [`x${s + 1}`]);
        head.scope = "row";
        head.rowSpan = 2;
        const remark = remarkWords(search);
        const truth = !nearest ? ["не определён"] : [trueRootText(nearest), nearest.multiplicity > 1 ? `кратности ${nearest.multiplicity}` : "",
            nearest.radius === null ? "радиус не доказан" : `радиус ${shortNumber(nearest.radius)}`];
        numbers.append(head, cell("td", [programComplex(search.root), remark === "нет" ? "" : remark,
            `расстояние ${error === null ? "—" : shortNumber(error)}`, `|P| ${shortNumber(p)}`]), cell("td", truth));
        const told = document.createElement("tr");
        told.className = "story";
        const text = cell("td", [story(searches, s)]);
        text.colSpan = 2;
        told.append(text);
        return [numbers, told];
    });
}

// parts: the section, its table's body, the notes and the file's link.
export function showAccuracy(parts, searches, lifetime) {
    const measured = measure(searches);
    parts.body.replaceChildren(...rows(measured, searches));
    parts.notes.replaceChildren(...notes(measured, searches.length).map(text => {
        const item = document.createElement("p");
        item.textContent = text;
        return item;
    }));
    offerFile(parts.csv, lifetime, rootsFile(measured));
    parts.section.hidden = false;
    lifetime.own(() => {
        parts.section.hidden = true;
        parts.body.replaceChildren();
        parts.notes.replaceChildren();
    });
}
