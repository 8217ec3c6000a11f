// What the program's searches computed, as its run tells it: for each search
// the polynomial it worked on, as the program held it at its start, its
// points in the order computed, each with |P| there as the search compares it
// with the tolerance, how it ended and the root it returned; and, as the
// dialogue writes that root, whether it carries the remark that the
// tolerance was not reached, and whether a search before it missed. Only
// this record changes a search: each change makes a new one, frozen.

export function createSteps() {
    const searches = [];
    let count = 0; // points in all
    let revision = 0; // changes so far, to tell whether anything changed
    let complete = false; // whether every root has been written
    const point = ([re, im, p]) => Object.freeze({ re, im, p });
    const change = (k, changes) => {
        searches[k] = Object.freeze({ ...searches[k], ...changes });
        ++revision;
    };
    return {
        searches,
        get count() {
            return count;
        },
        get revision() {
            return revision;
        },
        get complete() {
            return complete;
        },
        started(polynomial, first, second) {
            searches.push(null);
            count += 2;
            change(searches.length - 1, { polynomial, points: [point(first), point(second)], end: null, root: null, remark: null,
                afterMiss: false });
        },
        // The points of a search grow here only, as it steps.
        stepped(next) {
            searches[searches.length - 1].points.push(point(next));
            count += 1;
            ++revision;
        },
        // end: "tolerance", "budget" or "nonfinite".
        ended(end, [re, im]) {
            change(searches.length - 1, { end, root: { re, im } });
        },
        rootWritten(number, remark, afterMiss) {
            complete = number === searches.length;
            change(number - 1, { remark, afterMiss });
        },
    };
}

// The points are numbered from 1 over all searches in the order computed.
// Where the point number n is: its search and step, from 0; null beyond the
// last.
export function locate(searches, n) {
    for (const [search, { points }] of searches.entries()) {
        if (n <= points.length)
            return { search, step: n - 1 };
        n -= points.length;
    }
    return null;
}

// The number of step (from 0) of search (from 0).
export const pointNumber = (searches, search, step) =>
    searches.slice(0, search).reduce((n, { points }) => n + points.length, step + 1);

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
