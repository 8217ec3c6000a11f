// The complex plane: the start points 0 and 1 + i, each search's points joined
// in the order computed, the roots as the program printed them. It is drawn
// by hand in SVG: a complex plane needs the same scale on both axes, and
// trails joined in the order computed rather than sorted by the real part,
// neither of which the charts' library draws; the marks stay elements that a
// screen reader and the tests can reach.

import { programNumber } from "./numbers.js";
import { shownPoints } from "./steps.js";

const ns = "http://www.w3.org/2000/svg";
const element = (name, attributes, text) => {
    const created = document.createElementNS(ns, name);
    for (const [key, value] of Object.entries(attributes))
        created.setAttribute(key, value);
    if (text !== undefined)
        created.textContent = text;
    return created;
};
const starts = [{ re: 0, im: 0, name: "0" }, { re: 1, im: 1, name: "1+i" }];

// A round step for about five ticks over span: 1, 2 or 5 times a power of ten.
function tickStep(span) {
    const power = 10 ** Math.floor(Math.log10(span / 5));
    return power * ([1, 2, 5, 10].find(factor => span / (power * factor) <= 7) ?? 10);
}

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

// The view that shows the start points and the roots well: all roots that
// reached the tolerance, and the others unless they lie ten times farther
// out than those; what lies beyond is drawn at the edge.
function framed(searches) {
    const reached = searches.filter(search => search.root && !search.remark).map(search => search.root);
    const reach = 10 * Math.max(Math.SQRT2, ...reached.map(root => Math.hypot(root.re, root.im)));
    const others = searches.filter(search => search.root && search.remark && Math.hypot(search.root.re, search.root.im) <= reach);
    const shown = [...starts, ...reached, ...others.map(search => search.root)];
    const box = axis => [Math.min(...shown.map(z => z[axis])), Math.max(...shown.map(z => z[axis]))];
    const [[left, right], [bottom, top]] = [box("re"), box("im")];
    const pad = Math.max(0.25, 0.15 * Math.max(right - left, top - bottom));
    return { left: left - pad, right: right + pad, bottom: bottom - pad, top: top + pad };
}

// svg: the element to draw in; colors: one for each search; hovered(step):
// called with the step a pointer rests on ({search, step} or null).
export function createPlane(svg, { colors, hovered }) {
    let drawn = { searches: [], shown: 0, current: null };
    let pointed = null; // the step a pointer rests on
    let view = null; // centre and pixels per unit; null: the framed view
    const size = () => ({ w: svg.clientWidth || 300, h: svg.clientHeight || 300 });

    function fitted() {
        const { w, h } = size();
        const frame = framed(drawn.searches);
        const scale = Math.min(w / (frame.right - frame.left), h / (frame.top - frame.bottom));
        return { re: (frame.left + frame.right) / 2, im: (frame.bottom + frame.top) / 2, scale };
    }

    // Where a point of the plane is drawn, in the view shown.
    function projection() {
        const { w, h } = size();
        const v = view ?? fitted();
        return z => ({ x: w / 2 + (z.re - v.re) * v.scale, y: h / 2 - (z.im - v.im) * v.scale });
    }

    function draw() {
        const { w, h } = size();
        const v = view ?? fitted();
        const at = projection();
        const world = { left: v.re - w / 2 / v.scale, right: v.re + w / 2 / v.scale };
        Object.assign(world, { bottom: v.im - h / 2 / v.scale, top: v.im + h / 2 / v.scale });
        svg.dataset.view = [world.left, world.right, world.bottom, world.top].map(x => x.toPrecision(4)).join(" ");
        svg.setAttribute("viewBox", `0 0 ${w} ${h}`);
        const parts = [];
        const add = (...created) => parts.push(...created);

        // Axes with ticks, the real and the imaginary one through 0.
        for (const [axis, low, high] of [["re", world.left, world.right], ["im", world.bottom, world.top]]) {
            const step = tickStep(high - low);
            for (let k = Math.ceil(low / step); k * step <= high; ++k) {
                const value = k * step;
                const p = at(axis === "re" ? { re: value, im: v.im } : { re: v.re, im: value });
                const line = axis === "re" ? { x1: p.x, x2: p.x, y1: 0, y2: h } : { x1: 0, x2: w, y1: p.y, y2: p.y };
                add(element("line", { ...line, class: value === 0 ? "axis" : "grid" }));
                const label = programNumber(Number(value.toPrecision(6)));
                add(axis === "re" ? element("text", { x: p.x + 3, y: h - 4, class: "tick" }, label)
                    : element("text", { x: 3, y: p.y - 3, class: "tick" }, label));
            }
        }
        add(element("text", { x: w - 4, y: h - 18, class: "axis-name", "text-anchor": "end" }, "Re"));
        add(element("text", { x: 26, y: 14, class: "axis-name" }, "Im"));

        // The searches' trails, only as far as the steps shown; what lies
        // out of view is marked at the edge.
        const room = { left: -w, right: 2 * w, top: -h, bottom: 2 * h };
        const inside = p => p.x >= 0 && p.x <= w && p.y >= 0 && p.y <= h;
        const edges = new Set();
        shownPoints(drawn.searches, drawn.shown).forEach((shown, s) => {
            const search = drawn.searches[s];
            const points = shown.map(at);
            let d = "";
            for (let k = 1; k < points.length; ++k) {
                const piece = clip(points[k - 1], points[k], room);
                if (piece)
                    d += `M${piece[0].x.toFixed(1)} ${piece[0].y.toFixed(1)}L${piece[1].x.toFixed(1)} ${piece[1].y.toFixed(1)}`;
            }
            add(element("path", { d, stroke: colors[s], class: search.remark ? "trail remark" : "trail",
                "data-search": s + 1, "data-points": points.length, "clip-path": "url(#plane-clip)" }));
            for (const p of points) {
                if (inside(p)) {
                    if (points.length <= 400)
                        add(element("circle", { cx: p.x, cy: p.y, r: 2.5, fill: colors[s] }));
                } else {
                    const x = Math.round(Math.min(w - 5, Math.max(5, p.x)));
                    const y = Math.round(Math.min(h - 5, Math.max(5, p.y)));
                    if (!edges.has(`${s} ${x} ${y}`)) {
                        edges.add(`${s} ${x} ${y}`);
                        add(element("rect", { x: x - 4, y: y - 4, width: 8, height: 8, class: "edge", fill: colors[s] }));
                    }
                }
            }
        });
        for (const start of starts) {
            const p = at(start);
            add(element("rect", { x: p.x - 4, y: p.y - 4, width: 8, height: 8, class: "start" }));
            add(element("text", { x: p.x + 7, y: p.y + 14, class: "label" }, start.name));
        }

        // The roots, once their search is shown to its end: filled where the
        // tolerance was reached, hollow where the program remarks it was not.
        let before = 0;
        drawn.searches.forEach((search, s) => {
            before += search.points.length;
            if (!search.root || before > drawn.shown)
                return;
            const p = at(search.root);
            const x = Math.min(w - 8, Math.max(8, p.x));
            const y = Math.min(h - 8, Math.max(8, p.y));
            const mark = element("g", { class: search.remark ? "root remark" : "root", "data-root": s + 1,
                "data-re": search.root.re, "data-im": search.root.im, "data-end": search.end });
            mark.append(element("circle", { cx: x, cy: y, r: 6, stroke: colors[s], fill: search.remark ? "#fff" : colors[s] }),
                element("text", { x: x + 8, y: y - 8, class: "label" }, `x${s + 1}`));
            add(mark);
        });
        // The step stepped to and the one a pointer rests on, numbered.
        for (const [step, name] of [[drawn.current, "current"], [pointed, "pointed"]]) {
            if (!step)
                continue;
            const p = at(drawn.searches[step.search].points[step.step]);
            add(element("circle", { cx: p.x, cy: p.y, r: 9, class: name }),
                element("text", { x: p.x + 11, y: p.y + 4, class: "label" }, String(step.step)));
        }
        const clipPath = element("clipPath", { id: "plane-clip" });
        clipPath.append(element("rect", { x: 0, y: 0, width: w, height: h }));
        const defs = element("defs", {});
        defs.append(clipPath);
        svg.replaceChildren(defs, ...parts);
    }

    // Zoom and pan: the wheel, a pinch or the buttons zoom, about the
    // pointer or the middle; a drag pans.
    function zoom(factor, x = size().w / 2, y = size().h / 2) {
        const v = view ?? fitted();
        const { w, h } = size();
        const re = v.re + (x - w / 2) / v.scale;
        const im = v.im - (y - h / 2) / v.scale;
        const scale = v.scale * factor;
        view = { re: re - (x - w / 2) / scale, im: im + (y - h / 2) / scale, scale };
        draw();
    }
    const local = event => {
        const box = svg.getBoundingClientRect();
        return { x: event.clientX - box.left, y: event.clientY - box.top };
    };
    svg.addEventListener("wheel", event => {
        event.preventDefault();
        const p = local(event);
        zoom(1.2 ** (-event.deltaY / 100), p.x, p.y);
    }, { passive: false });
    const pointers = new Map();
    svg.addEventListener("pointerdown", event => {
        svg.setPointerCapture(event.pointerId);
        pointers.set(event.pointerId, local(event));
    });
    svg.addEventListener("pointermove", event => {
        const p = local(event);
        const last = pointers.get(event.pointerId);
        if (!last) {
            hover(p);
            return;
        }
        if (pointers.size === 2) {
            const other = [...pointers.entries()].find(([id]) => id !== event.pointerId)[1];
            const factor = Math.hypot(p.x - other.x, p.y - other.y) / Math.max(1, Math.hypot(last.x - other.x, last.y - other.y));
            zoom(factor, (p.x + other.x) / 2, (p.y + other.y) / 2);
        } else {
            const v = view ?? fitted();
            view = { ...v, re: v.re - (p.x - last.x) / v.scale, im: v.im + (p.y - last.y) / v.scale };
            draw();
        }
        pointers.set(event.pointerId, p);
    });
    for (const type of ["pointerup", "pointercancel"])
        svg.addEventListener(type, event => pointers.delete(event.pointerId));

    // The step nearest a pointer that rests on the plane, numbered.
    function hover(p) {
        const at = projection();
        let best = null;
        shownPoints(drawn.searches, drawn.shown).forEach((points, s) => points.forEach((z, k) => {
            const q = at(z);
            const distance = Math.hypot(q.x - p.x, q.y - p.y);
            if (distance < 16 && (!best || distance < best.distance))
                best = { distance, search: s, step: k };
        }));
        if (best?.search !== pointed?.search || best?.step !== pointed?.step) {
            pointed = best;
            draw();
            hovered(best);
        }
    }
    new ResizeObserver(() => draw()).observe(svg);

    return {
        // Draws the searches as far as shown points; current: the step
        // stepped to ({search, step}), if any.
        show(searches, shown, current) {
            drawn = { searches, shown, current };
            draw();
        },
        zoom,
        reset() {
            view = null;
            draw();
        },
    };
}
