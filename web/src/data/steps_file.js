// chord-steps.csv: every point of every search, with the digits that give
// back every float, for spreadsheets and Python. A header line, then a row
// for each point in the order computed: the search from 1, the step from 0,
// the point, |P| there, the order of convergence, and on each search's last
// row how it ended and whether its root is written with the remark (1) or
// not (0).

import { fileNumber } from "./numbers.js";
import { order } from "./steps.js";

export function stepsFile(searches) {
    const lines = ["search,step,re,im,abs_p,order,end,remark"];
    searches.forEach((search, s) => search.points.forEach((point, k) => {
        const q = order(search.points, k);
        const last = k === search.points.length - 1;
        lines.push([s + 1, k, fileNumber(point.re), fileNumber(point.im), fileNumber(point.p), q === null ? "" : fileNumber(q),
            last ? search.end ?? "" : "", last && search.remark !== null ? Number(search.remark) : ""].join(","));
    }));
    return lines.join("\n") + "\n";
}
