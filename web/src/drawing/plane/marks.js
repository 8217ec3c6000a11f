// What the plane shows, in SVG: a base layer with the axes and their ticks,
// each search's trail and points, the start points 0 and 1 + i and the
// roots, every label placed apart; and a layer of its own for the step
// selected and the one under the pointer, which change far more often. A
// point beyond the view is shown at the edge by a chevron pointing to it,
// never by the mark of a point there.

import { crowds, fits, overlaps, placeLabels } from "./labels.js";
import { programNumber } from "./numbers.js";
import { shownPoints } from "./steps.js";
import { starts, ticks } from "./view.js";

const ns = "http://www.w3.org/2000/svg";
export function element(name, attributes = {}, text) {
    const created = document.createElementNS(ns, name);
    for (const [key, value] of Object.entries(attributes))
        created.setAttribute(key, value);
    if (text !== undefined)
        created.textContent = text;
    return created;
}
// A dashed line over thousands of pieces takes seconds to paint; beyond
// this many, a trail whose root carries the remark is drawn solid, its root
// mark hollow as ever.
const mostDashedPieces = 1000;
const mostDots = 400;
const margin = 8;
const arrows = ["→", "↗", "↑", "↖", "←", "↙", "↓", "↘"];
const within = (p, r) => p.x >= r.left && p.x <= r.right && p.y >= r.top && p.y <= r.bottom;

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

// A search's whole trail in a view, worked out once and cut to the points
// shown, so that stepping through ten thousand points redraws without
// working them out again: the path through the points in half pixels,
// clipped to room, where a piece drawn before or one that would not move
// the pen is left out; for each point, where the path up to it ends and how
// many lines it holds; the points in view, and the chevrons for those
// beyond it, each with the first point it stands for.
const trails = new WeakMap();
function wholeTrail(search, { at, world, room, size }) {
    const key = `${world.left} ${world.right} ${world.bottom} ${world.top} ${size.w} ${size.h} ${search.points.length}`;
    const known = trails.get(search);
    if (known?.key === key)
        return known;
    const drawn = search.points.map(at);
    const viewed = { left: 0, right: size.w, top: 0, bottom: size.h };
    const half = v => Math.round(v * 2) / 2;
    const seen = new Set();
    const ends = new Int32Array(drawn.length);
    const lines = new Int32Array(drawn.length);
    let d = "";
    let pen = ""; // where the last line ended
    for (let k = 1; k < drawn.length; ++k) {
        const [a, b] = [drawn[k - 1], drawn[k]];
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
    drawn.forEach((p, k) => {
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
    const made = { key, d, ends, lines, inView, beyond: [...beyond.values()] };
    trails.set(search, made);
    return made;
}

// Where a pixel beyond the view is marked: the nearest place within the
// margin, and the direction towards it, as an angle and an arrow.
function atEdge(p, { w, h }) {
    const x = Math.min(w - margin, Math.max(margin, p.x));
    const y = Math.min(h - margin, Math.max(margin, p.y));
    const angle = Math.atan2(y - p.y, p.x - x);
    return { x, y, angle, arrow: arrows[(Math.round(angle / (Math.PI / 4)) + 8) % 8] };
}
function chevron({ x, y, angle }, size, attributes) {
    const [c, s] = [Math.cos(angle), -Math.sin(angle)];
    const at = (along, across) => `${(x + c * along - s * across).toFixed(1)},${(y + s * along + c * across).toFixed(1)}`;
    return element("polygon", { points: [at(size, 0), at(-size, size), at(-size / 3, 0), at(-size, -size)].join(" "), ...attributes });
}
const boxOf = (x, y, r) => ({ x: x - r, y: y - r, w: 2 * r, h: 2 * r });

// Draws the base layer into layer (a <g> within the SVG): the landscape
// (ground, a group) beneath all, searches as far as count points, in view;
// colors: one for each search; truth: the true roots, crosses of their own.
export function drawBase(layer, { view, searches, count, colors, ground, truth }) {
    const { w, h } = view.size;
    const at = view.projection();
    const world = view.world();
    const viewed = { left: 0, right: w, top: 0, bottom: h };
    const grid = element("g");
    const paths = element("g");
    const marks = element("g");
    const texts = element("g");
    layer.replaceChildren(...(ground ? [ground] : []), grid, paths, marks, texts);
    const taken = []; // what a label must not cover

    // Trails and points, as far as shown; far pieces clipped.
    const room = { left: -w, right: 2 * w, top: -h, bottom: 2 * h };
    shownPoints(searches, count).forEach(({ length }, s) => {
        const whole = wholeTrail(searches[s], { at, world, room, size: view.size });
        const dashed = searches[s].remark && whole.lines[Math.max(0, length - 1)] <= mostDashedPieces;
        paths.append(element("path", { d: whole.d.slice(0, whole.ends[Math.max(0, length - 1)]), stroke: colors[s],
            class: dashed ? "trail remark" : "trail", "data-search": s + 1, "data-points": length }));
        if (length <= mostDots) {
            for (const { p, k } of whole.inView)
                k < length && paths.append(element("circle", { cx: p.x, cy: p.y, r: 2.5, fill: colors[s] }));
        }
        for (const { edge, k } of whole.beyond)
            k < length && paths.append(chevron(edge, 4, { class: "edge", fill: colors[s] }));
    });

    // The start points and the roots whose search is shown to its end, each
    // a mark and a name, or a chevron at the edge and name, arrow and value.
    const named = [];
    const mark = (z, name, draw) => {
        const p = at(z);
        if (within(p, viewed)) {
            marks.append(draw(p, null));
            taken.push(boxOf(p.x, p.y, 8));
            named.push({ x: p.x, y: p.y, name });
            return;
        }
        const edge = atEdge(p, view.size);
        marks.append(draw(edge, edge));
        // A chevron turned aslant reaches √2 times its size from its point.
        taken.push(boxOf(edge.x, edge.y, 8 * Math.SQRT2));
        named.push({ x: edge.x, y: edge.y, name: `${name} ${edge.arrow} ${programNumber(z.re)} ${programNumber(z.im)}i`, alone: true });
    };
    for (const start of starts) {
        mark(start, start.name, (p, edge) => (edge ? chevron(edge, 7, { class: "start" })
            : element("rect", { x: p.x - 4, y: p.y - 4, width: 8, height: 8, class: "start" })));
    }
    let before = 0;
    searches.forEach((search, s) => {
        before += search.points.length;
        if (!search.root || before > count)
            return;
        const hollow = search.remark === true;
        mark(search.root, `x${s + 1}`, (p, edge) => {
            const group = element("g", { class: hollow ? "root remark" : "root", "data-root": s + 1, "data-re": search.root.re,
                "data-im": search.root.im, "data-end": search.end });
            if (edge)
                group.setAttribute("data-outside", "");
            group.append(edge ? chevron(edge, 8, { stroke: colors[s], fill: hollow ? "#fff" : colors[s] })
                : element("circle", { cx: p.x, cy: p.y, r: 6, stroke: colors[s], fill: hollow ? "#fff" : colors[s] }));
            return group;
        });
    });

    for (const root of truth) {
        const p = at(root);
        const cross = element("g", { class: "true-root", "data-re": root.re, "data-im": root.im });
        if (within(p, viewed)) {
            cross.append(element("path", { d: `M${p.x - 5} ${p.y - 5}l10 10m0 -10l-10 10` }));
            taken.push(boxOf(p.x, p.y, 6));
        }
        marks.append(cross);
    }

    // The texts, measured together once laid out: the axes' names, the
    // ticks that have room, then the names of the points.
    const text = (content, className) => {
        const created = element("text", { class: className }, content);
        texts.append(created);
        return created;
    };
    const fixed = [[text("Re", "axis-name"), w - 24, h - 36], [text("Im", "axis-name"), 28, 2]];
    for (const [axis, low, high] of [["re", world.left, world.right], ["im", world.bottom, world.top]]) {
        for (const tick of ticks(low, high)) {
            const p = at(axis === "re" ? { re: tick.value, im: 0 } : { re: 0, im: tick.value });
            const line = axis === "re" ? { x1: p.x, x2: p.x, y1: 0, y2: h } : { x1: 0, x2: w, y1: p.y, y2: p.y };
            grid.append(element("line", { ...line, class: tick.value === 0 ? "axis" : "grid" }));
            fixed.push(axis === "re" ? [text(tick.label, "tick re"), p.x + 3, h - 20] : [text(tick.label, "tick im"), 3, p.y - 19]);
        }
    }
    const groups = [...crowds(named.filter(item => !item.alone), 14), ...named.filter(item => item.alone).map(item => [item])];
    const labels = groups.map(group => text(group.map(item => item.name).join(", "), "label"));
    const sizes = [...fixed.map(([t]) => t), ...labels].map(t => t.getBBox());
    const put = (t, box, size) => {
        t.setAttribute("x", (box.x - size.x).toFixed(1));
        t.setAttribute("y", (box.y - size.y).toFixed(1));
    };
    fixed.forEach(([t, x, y], k) => {
        const box = { x, y, w: sizes[k].width, h: sizes[k].height };
        if (!fits(box, view.size) || taken.some(other => overlaps(box, other)))
            t.remove();
        else {
            taken.push(box);
            put(t, box, sizes[k]);
        }
    });
    const places = placeLabels(groups.map((group, k) => {
        const size = sizes[fixed.length + k];
        const x = group.reduce((sum, item) => sum + item.x, 0) / group.length;
        const y = group.reduce((sum, item) => sum + item.y, 0) / group.length;
        return { x, y, w: size.width, h: size.height };
    }), taken, view.size);
    places.forEach((place, k) => {
        const [group, label, size] = [groups[k], labels[k], sizes[fixed.length + k]];
        if (!place) {
            label.remove();
            return;
        }
        put(label, place.box, size);
        if (place.leader) {
            const [x, y] = [group[0].x, group[0].y];
            const to = { x: Math.min(Math.max(x, place.box.x), place.box.x + place.box.w), y: Math.min(Math.max(y, place.box.y), place.box.y + place.box.h) };
            marks.append(element("line", { x1: x, y1: y, x2: to.x, y2: to.y, class: "leader" }));
        }
    });
}

// The layer above: a ring on the step selected and a dashed one on the step
// under the pointer ({search, step} each, or null).
export function drawOverlay(layer, { view, searches, selected, pointed }) {
    const at = view.projection();
    const rings = [];
    for (const [step, name] of [[selected, "current"], [pointed, "pointed"]]) {
        const point = step && searches[step.search]?.points[step.step];
        if (point) {
            const p = at(point);
            rings.push(element("circle", { cx: p.x, cy: p.y, r: 9, class: name }));
        }
    }
    layer.replaceChildren(...rings);
}
