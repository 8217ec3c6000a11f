// The steps as text: a table in the program's number format, for screen
// readers and the keyboard, and chord-steps.csv, with the digits that give
// back every float, for spreadsheets and Python.

import { fileNumber, programNumber } from "./numbers.js";
import { order } from "./steps.js";

const endings = {
    withinTolerance: "допуск достигнут",
    budgetSpent: "шаги исчерпаны",
    leftFiniteNumbers: "шаг вышел за пределы чисел",
};
const escaped = text => text.replace(/&/g, "&amp;").replace(/</g, "&lt;");

export function tableRows(searches) {
    let html = "";
    searches.forEach((search, s) => search.points.forEach((point, k) => {
        const q = order(search.points, k);
        const end = k === search.points.length - 1 && search.end ? endings[search.end] : "";
        html += `<tr><td>${s + 1}</td><td>${k}</td><td>${programNumber(point.re)} ${programNumber(point.im)}i</td>`
            + `<td>${programNumber(point.p)}</td><td>${q === null ? "" : programNumber(q)}</td><td>${escaped(end)}</td></tr>`;
    }));
    return html;
}

// A header line, then a row for each point of every search in the order
// computed: the search from 1, the step from 0, the point, |P| there and
// the order of convergence, empty where it is not defined.
export function stepsFile(searches) {
    const lines = ["search,step,re,im,abs_p,order"];
    searches.forEach((search, s) => search.points.forEach((point, k) => {
        const q = order(search.points, k);
        lines.push([s + 1, k, fileNumber(point.re), fileNumber(point.im), fileNumber(point.p), q === null ? "" : fileNumber(q)].join(","));
    }));
    return lines.join("\n") + "\n";
}
