// The landscape under the plane's trails: log₁₀|P| of the polynomial a
// search worked on, as shading (darker where |P| is smaller), a thin line at
// each whole decade and a bold one where |P| equals the tolerance, the small
// region where a search stops. log₁₀|P| comes from the product form through
// the polynomial's true roots, so that rounding never shows as relief, at
// any zoom. The shading spans at least a decade, and its middle 96 % of
// cells most of its lightness, so that it shows wherever |P| varies; the
// trails, marks and labels over it are cased in white, as maps draw roads.
// Computed on a grid of cells a few pixels wide, and around each root on a
// finer grid of its own, so that the tolerance line is true at every zoom.
// It is made a slice at a time, a few rows of the grid or one of its lines,
// so that no task holds the page for long.

import { tolerance } from "../../data/chord_method.js";
import { eachRootOnce, logModulus, trueRoots } from "../../data/true_roots.js";
import { contour } from "./contours.js";
import { svgElement } from "./svg.js";

const cell = 4; // pixels
// The ends of the shading, 3.3:1 apart, the decade lines (page.css) 3.6:1
// against the darker.
const light = [255, 250, 235];
const dark = [110, 140, 180];
const toleranceLevel = Math.log10(tolerance);
// The colour for t from 0 (the smallest |P| shown) to 1 (the largest).
const shade = t => light.map((c, k) => Math.round(dark[k] + (c - dark[k]) * t));
// The same scale for the legend, as CSS.
export const landscapeScale = `linear-gradient(to right, rgb(${dark.join(", ")}), rgb(${light.join(", ")}))`;

// The values of height on a grid, each kept finite: a zero of P as a value
// below every other, so that lines still find it; a slice each 8 rows.
function* grid(height, cols, rows, world) {
    const values = new Float64Array(cols * rows);
    for (let j = 0; j < rows; ++j) {
        for (let i = 0; i < cols; ++i)
            values[j * cols + i] = height(...world(i, j));
        if (j % 8 === 7)
            yield;
    }
    let [lo, hi] = [Infinity, -Infinity];
    for (const v of values) {
        if (Number.isFinite(v))
            [lo, hi] = [Math.min(lo, v), Math.max(hi, v)];
    }
    values.forEach((v, k) => (values[k] = v === -Infinity ? lo - 1 : v === Infinity ? hi + 1 : v));
    return { values, lo, hi };
}

// How far from root along any of 8 directions |P| stays below the tolerance.
function toleranceRadius(height, root) {
    let widest = 0;
    for (let k = 0; k < 8; ++k) {
        const u = [Math.cos(k * Math.PI / 4), Math.sin(k * Math.PI / 4)];
        const below = t => height(root.re + t * u[0], root.im + t * u[1]) < toleranceLevel;
        let [inside, outside] = [0, 1e-30 * Math.max(1, Math.hypot(root.re, root.im))];
        while (below(outside) && outside < 1e30)
            [inside, outside] = [outside, outside * 4];
        for (let n = 0; n < 40; ++n) {
            const middle = (inside + outside) / 2;
            [inside, outside] = below(middle) ? [middle, outside] : [inside, middle];
        }
        widest = Math.max(widest, outside);
    }
    return widest;
}

// The scale of the shading: the range it spans, [lo, hi] widened to a
// decade at least, and where in it each value lies, from 0 to 1: linear
// where the values span less than a decade, else their 2nd to 98th
// percentile over the middle 80 % of the scale.
function scaleOf(values, lo, hi) {
    if (hi - lo < 1) {
        const middle = (lo + hi) / 2;
        return { lo: middle - 0.5, hi: middle + 0.5, at: v => v - middle + 0.5 };
    }
    const sorted = Float64Array.from(values).sort();
    const [p2, p98] = [sorted[Math.floor(0.02 * (sorted.length - 1))], sorted[Math.ceil(0.98 * (sorted.length - 1))]];
    const piece = (v, a, b, ta, tb) => ta + (b > a ? ((v - a) / (b - a)) * (tb - ta) : 0);
    return { lo, hi, at: v => (v < p2 ? piece(v, lo, p2, 0, 0.1) : v > p98 ? piece(v, p98, hi, 0.9, 1) : piece(v, p2, p98, 0.1, 0.9)) };
}

// The shading of values (cols × rows) by scale, as an SVG image of cells.
function shading(values, cols, rows, scale) {
    const canvas = document.createElement("canvas");
    [canvas.width, canvas.height] = [cols, rows];
    const context = canvas.getContext("2d");
    const image = context.createImageData(cols, rows);
    values.forEach((v, k) => {
        const [r, g, b] = shade(Math.min(1, Math.max(0, scale.at(v))));
        image.data[4 * k] = r;
        image.data[4 * k + 1] = g;
        image.data[4 * k + 2] = b;
        image.data[4 * k + 3] = 255;
    });
    context.putImageData(image, 0, 0);
    const picture = svgElement("image", { width: cols * cell, height: rows * cell, preserveAspectRatio: "none" });
    picture.setAttribute("href", canvas.toDataURL());
    return picture;
}

// The tolerance line. Where the region around a root is a few cells wide or
// less, the grid cannot draw it truly: a grid of its own around that root
// does, to the digits a sub-pixel line needs (down to a thousandth of a
// pixel; zoomed in, a smaller one is drawn), and the coarse grid's squares
// there are left out. A slice for each root.
function* toleranceLine(height, roots, { values, cols, rows, place }, { world, perPixel, w, h }) {
    const near = 24;
    let bold = "";
    const boxes = [];
    for (const root of eachRootOnce(roots)) {
        const p = { x: (root.re - world.left) / perPixel, y: (world.top - root.im) / perPixel };
        const r = toleranceRadius(height, root) * 1.5;
        if (p.x < -cell || p.y < -cell || p.x > w + cell || p.y > h + cell || r / perPixel > 4 * cell || !(r / perPixel > 1e-3))
            continue;
        boxes.push({ ...p, r: r / perPixel + cell });
        const step = (2 * r) / (near - 1);
        const { values: local } = yield* grid(height, near, near, (i, j) => [root.re - r + i * step, root.im + r - j * step]);
        bold += contour(local, near, near, (i, j) => ({ x: p.x + (-r + i * step) / perPixel, y: p.y + (-r + j * step) / perPixel }),
            { first: toleranceLevel, digits: 6 });
        yield;
    }
    const covered = (i, j) => boxes.some(p => Math.abs((i + 1) * cell - p.x) <= p.r + cell && Math.abs((j + 1) * cell - p.y) <= p.r + cell);
    return bold + contour(values, cols, rows, place, { first: toleranceLevel, skip: covered });
}

// The landscape of polynomial in view, as an SVG group, with the range of
// log₁₀|P| its shading spans, {lo, hi}, and where the tolerance line is:
// "in view", "above" (|P| below the tolerance everywhere in view), "below"
// or "beyond" (in the range, but not in view); no range where |P| is 0 or
// undefined everywhere. A slice each few rows and each line.
function* landscape(polynomial, view, key) {
    const { w, h } = view.size;
    const world = view.world();
    const cols = Math.ceil(w / cell);
    const rows = Math.ceil(h / cell);
    const perPixel = (world.right - world.left) / w;
    const at = (x, y) => [world.left + x * perPixel, world.top - y * perPixel];
    const found = trueRoots(polynomial);
    const height = logModulus(polynomial, found);
    const group = svgElement("g", { class: "landscape" });
    const none = { key, group, world, perPixel, lo: null, hi: null };
    if (!height)
        return none;
    const { values, lo, hi } = yield* grid(height, cols, rows, (i, j) => at((i + 0.5) * cell, (j + 0.5) * cell));
    if (!(hi >= lo))
        return none;
    const place = (i, j) => ({ x: (i + 0.5) * cell, y: (j + 0.5) * cell });
    // At most 40 lines of whole decades.
    const every = Math.ceil((Math.floor(hi) - Math.ceil(lo) + 1) / 40);
    const decades = contour(values, cols, rows, place, { first: Math.ceil(lo / every) * every, last: hi, every });
    yield;
    const bold = yield* toleranceLine(height, found.roots, { values, cols, rows, place }, { world, perPixel, w, h });
    yield;
    const scale = scaleOf(values, lo, hi);
    group.append(shading(values, cols, rows, scale), svgElement("path", { d: decades, class: "decade" }),
        svgElement("path", { d: bold, class: "tolerance" }));
    const line = bold ? "in view" : lo > toleranceLevel ? "below" : hi < toleranceLevel ? "above" : "beyond";
    return { ...none, lo: scale.lo, hi: scale.hi, line };
}

// The landscapes of one plane: the last one made for each polynomial.
export function createLandscapes() {
    const lastOf = new WeakMap(); // a polynomial's last landscape
    let making = null; // the landscape being made: its polynomial, key and slice()
    return {
        // The landscape made last for polynomial, if any, placed in view:
        // where it was made for another view, moved and scaled to it (its
        // group transformed) and marked stale, to stand in until the
        // landscape of this view is made.
        last(polynomial, view) {
            const last = lastOf.get(polynomial);
            if (!last)
                return null;
            const world = view.world();
            const stale = last.key !== view.key();
            const scale = (world.right - world.left) / view.size.w;
            if (stale)
                last.group.setAttribute("transform", `translate(${(last.world.left - world.left) / scale} ${(world.top - last.world.top) / scale}) `
                    + `scale(${last.perPixel / scale})`);
            else
                last.group.removeAttribute("transform");
            return { ...last, stale };
        },
        // The making of the landscape of polynomial in view, null where it
        // is made: slice() makes a slice of it and tells whether it is
        // made. The same making while it goes on.
        making(polynomial, view) {
            const key = view.key();
            if (lastOf.get(polynomial)?.key === key)
                return null;
            if (making?.polynomial !== polynomial || making.key !== key) {
                const slices = landscape(polynomial, view, key);
                making = { polynomial, key, slice() {
                    const { done, value } = slices.next();
                    if (done) {
                        lastOf.set(polynomial, value);
                        making = null;
                    }
                    return done;
                } };
            }
            return making;
        },
    };
}
