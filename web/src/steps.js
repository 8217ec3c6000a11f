// What the program's searches computed, as its solver tells it
// (dialogue/console_web.cpp): for each search its points in the order
// computed, each with |P| there as the search compares it with the
// tolerance; how the search ended and the root it returned.

// The tolerance, as the program holds it: 1e-5 as a float.
export const tolerance = Math.fround(1e-5);
// The chord method's order of convergence near a simple root.
export const goldenOrder = (1 + Math.sqrt(5)) / 2;

export function createSteps() {
    const searches = [];
    const point = ([re, im, p]) => ({ re, im, p });
    return {
        searches,
        started(first, second) {
            searches.push({ points: [point(first), point(second)], end: null, root: null, remark: false });
        },
        stepped(next) {
            searches[searches.length - 1].points.push(point(next));
        },
        ended(end, [re, im]) {
            const search = searches[searches.length - 1];
            search.end = end;
            search.root = { re, im };
            // The program judges each root on the polynomial it was searched
            // in, and once one misses the tolerance, all after it: the root
            // is the last point, or 0 where the budget was spent before the
            // search took a step.
            const at = end === "budgetSpent" && search.points.length === 2 ? search.points[0] : search.points.at(-1);
            const before = searches.at(-2);
            search.remark = (before?.remark ?? false) || !(at.p < tolerance);
        },
    };
}

// Each search's points as far as the first shown of all, counted over the
// searches in the order computed.
export function shownPoints(searches, shown) {
    let left = shown;
    return searches.map(search => {
        const points = search.points.slice(0, Math.max(0, left));
        left -= search.points.length;
        return points;
    });
}

// The observed order of convergence at step k of points:
// log(|Pₖ₊₁|/|Pₖ|) / log(|Pₖ|/|Pₖ₋₁|); null where it is not defined.
export function order(points, k) {
    if (k < 1 || k + 1 >= points.length)
        return null;
    const value = Math.log(points[k + 1].p / points[k].p) / Math.log(points[k].p / points[k - 1].p);
    return Number.isFinite(value) ? value : null;
}
