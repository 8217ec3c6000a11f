// "Точность корней", once the last root is written: a row for each printed
// root against the nearest true root (data/accuracy.js), the notes for the
// inputs with no plain answer, and the link to chord-roots.csv.

import { measure, notes, rootsFile, trueRootText } from "../data/accuracy.js";
import { programComplex, programNumber } from "../data/numbers.js";
import { remarkWords, story } from "../data/story.js";
import { offerFile } from "./saved_files.js";
import { tableRow } from "./table_rows.js";

const short = x => (Number.isFinite(x) ? (x === 0 ? "0" : x.toExponential(2)) : programNumber(x));

// parts: the section, its table's body, the notes and the file's link.
export function showAccuracy(parts, searches, lifetime) {
    const measured = measure(searches);
    parts.body.replaceChildren(...measured.rows.map(({ search, nearest, error, p }, s) => tableRow([`x${s + 1}`, programComplex(search.root),
        nearest ? trueRootText(nearest) : "не определён", error === null ? "—" : short(error), short(p), remarkWords(search) || "нет",
        story(searches, s)])));
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
