// What the program's searches computed, as its solver tells it
// (dialogue/console_web.cpp): for each search its points in the order
// computed, each with |P| there as the search compares it with the
// tolerance; how the search ended and the root it returned; and, as the
// dialogue writes that root, whether it carries the remark that the
// tolerance was not reached, and whether a search before it missed; and the
// polynomial each search worked on, as the program held it at its start.

// The tolerance, as the program holds it: 1e-5 as a float.
export const tolerance = Math.fround(1e-5);
// The chord method's order of convergence near a simple root.
export const goldenOrder = (1 + Math.sqrt(5)) / 2;

export function createSteps() {
    const searches = [];
    const point = ([re, im, p]) => ({ re, im, p });
    const last = () => searches[searches.length - 1];
    const steps = {
        searches,
        count: 0, // points in all
        revision: 0, // changes so far, to tell whether anything changed
        // Whether every root has been written: the run's steps are complete.
        complete: false,
        started(first, second, polynomial) {
            searches.push({ points: [point(first), point(second)], end: null, root: null, remark: null, afterMiss: false, polynomial });
            steps.count += 2;
            ++steps.revision;
        },
        stepped(next) {
            last().points.push(point(next));
            steps.count += 1;
            ++steps.revision;
        },
        // end: "tolerance", "budget" or "nonfinite".
        ended(end, [re, im]) {
            Object.assign(last(), { end, root: { re, im } });
            ++steps.revision;
        },
        rootWritten(number, remark, afterMiss) {
            Object.assign(searches[number - 1], { remark, afterMiss });
            steps.complete = number === searches.length;
            ++steps.revision;
        },
    };
    return steps;
}

// Where the point number n (from 1, over all searches in the order
// computed) is: its search and step, from 0; null beyond the last.
export function locate(searches, n) {
    for (const [search, { points }] of searches.entries()) {
        if (n <= points.length)
            return { search, step: n - 1 };
        n -= points.length;
    }
    return null;
}

// Each search's points as far as the first count of all.
export function shownPoints(searches, count) {
    let left = count;
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
