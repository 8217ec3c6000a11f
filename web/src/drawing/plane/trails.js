// Each search's trail on the plane: its points joined in the order computed,
// the points themselves where few, and a chevron at the edge for those
// beyond the view. A trail is worked out once for each view and cut to the
// points shown, so that stepping through ten thousand points redraws
// without working them out again.

import { shownPoints } from "../../data/steps.js";
import { atEdge, chevron, within } from "./edges.js";
import { svgElement } from "./svg.js";

// A dashed line over thousands of pieces takes seconds to paint; beyond
// this many, a trail whose root carries the remark is drawn solid, its root
// mark hollow as ever.
const mostDashedPieces = 1000;
const mostDots = 400;

// The part of the segment a-b within the rectangle r (Liang–Barsky); null
// if none. Points far away thus never reach the drawing as huge numbers.
function clip(a, b, r) {
    let t0 = 0;
    let t1 = 1;
    const dx = b.x - a.x;
    const dy = b.y - a.y;
    for (const [p, q] of [[-dx, a.x - r.left], [dx, r.right - a.x], [-dy, a.y - r.top], [dy, r.bottom - a.y]]) {
        if (p === 0 && q < 0)
            return null;
        const t = q / p;
        if (p < 0)
            t0 = Math.max(t0, t);
        else if (p > 0)
            t1 = Math.min(t1, t);
    }
    return t0 > t1 ? null : [{ x: a.x + t0 * dx, y: a.y + t0 * dy }, { x: a.x + t1 * dx, y: a.y + t1 * dy }];
}

// A search's whole trail in a view: the path through its points in half
// pixels, clipped to room, where a piece drawn before or one that would not
// move the pen is left out; for each point, where the path up to it ends and
// how many lines it holds; the points in view, and the chevrons for those
// beyond it, each with the first point it stands for.
function wholeTrail(points, { at, room, size }) {
    const pixels = points.map(at);
    const viewed = { left: 0, right: size.w, top: 0, bottom: size.h };
    const half = v => Math.round(v * 2) / 2;
    const seen = new Set();
    const ends = new Int32Array(pixels.length);
    const lines = new Int32Array(pixels.length);
    let d = "";
    let pen = ""; // where the last line ended
    for (let k = 1; k < pixels.length; ++k) {
        const [a, b] = [pixels[k - 1], pixels[k]];
        const piece = within(a, room) && within(b, room) ? [a, b] : clip(a, b, room);
        const from = piece && half(piece[0].x) + " " + half(piece[0].y);
        const to = piece && half(piece[1].x) + " " + half(piece[1].y);
        const line = piece && (from < to ? from + " " + to : to + " " + from);
        if (piece && !seen.has(line)) {
            seen.add(line);
            d += (from === pen ? "L" : "M" + from + "L") + to;
            pen = to;
        }
        [ends[k], lines[k]] = [d.length, seen.size];
    }
    const inView = [];
    const beyond = new Map();
    pixels.forEach((p, k) => {
        if (within(p, viewed)) {
            inView.push({ p, k });
            return;
        }
        // One chevron for each few pixels of the edge and way out.
        const edge = atEdge(p, size);
        const place = `${Math.round(edge.x / 6)} ${Math.round(edge.y / 6)} ${edge.arrow}`;
        if (!beyond.has(place))
            beyond.set(place, { edge, k });
    });
    return { d, ends, lines, inView, beyond: [...beyond.values()] };
}

// The trails of one plane, each worked out again only when its points or
// the view change.
export function createTrails() {
    const known = new WeakMap(); // a search's points: the view's key and its trail

    // Draws into layer the searches as far as count points, one colour for each.
    return function drawTrails(layer, { view, searches, count, colors }) {
        const { w, h } = view.size;
        const world = view.world();
        const geometry = { at: view.projection(), room: { left: -w, right: 2 * w, top: -h, bottom: 2 * h }, size: view.size };
        shownPoints(searches, count).forEach(({ length }, s) => {
            const { points } = searches[s];
            const key = `${world.left} ${world.right} ${world.bottom} ${world.top} ${w} ${h} ${points.length}`;
            if (known.get(points)?.key !== key)
                known.set(points, { key, trail: wholeTrail(points, geometry) });
            const whole = known.get(points).trail;
            const dashed = searches[s].remark && whole.lines[Math.max(0, length - 1)] <= mostDashedPieces;
            layer.append(svgElement("path", { d: whole.d.slice(0, whole.ends[Math.max(0, length - 1)]), stroke: colors[s],
                class: dashed ? "trail remark" : "trail", "data-search": s + 1, "data-points": length }));
            if (length <= mostDots) {
                for (const { p, k } of whole.inView)
                    k < length && layer.append(svgElement("circle", { cx: p.x, cy: p.y, r: 2.5, fill: colors[s] }));
            }
            for (const { edge, k } of whole.beyond)
                k < length && layer.append(chevron(edge, 4, { class: "edge", fill: colors[s] }));
        });
    };
}
