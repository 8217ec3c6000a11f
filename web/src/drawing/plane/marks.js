// The marks of the plane: the start points (0 and 1 + i, or the
// experiment's), the roots whose
// search is shown to its end, hollow where the program wrote the remark, and
// the true roots as crosses, each over a light casing. A point beyond the
// view is shown at the edge by a chevron pointing to it and named with its
// direction and value, never by the mark of a point there.

import { programComplex } from "../../data/numbers.js";
import { shownPoints } from "../../data/steps.js";
import { atEdge, chevron, within } from "./edges.js";
import { svgElement } from "./svg.js";

const boxOf = (x, y, r) => ({ x: x - r, y: y - r, w: 2 * r, h: 2 * r });

// The shapes of a mark, each over its casing: a copy of its outline, wider
// and white (page.css).
function cased(...shapes) {
    const casings = shapes.map(shape => {
        const casing = shape.cloneNode();
        for (const name of ["class", "fill", "stroke"])
            casing.removeAttribute(name);
        casing.setAttribute("class", "casing");
        return casing;
    });
    return [...casings, ...shapes];
}

// Draws the marks into layer; returns what a label must not cover (taken)
// and the points to name (named: {x, y, name, alone}, alone for the names
// at the edge, which share no label).
export function drawMarks(layer, { view, searches, count, colors, trueRoots, starts }) {
    const at = view.projection();
    const viewed = { left: 0, right: view.size.w, top: 0, bottom: view.size.h };
    const taken = [];
    const named = [];
    // A mark and a name, or a chevron at the edge and name, arrow and value.
    const mark = (z, name, draw) => {
        const p = at(z);
        if (within(p, viewed)) {
            layer.append(draw(p, null));
            taken.push(boxOf(p.x, p.y, 8));
            named.push({ x: p.x, y: p.y, name });
            return;
        }
        const edge = atEdge(p, view.size);
        layer.append(draw(edge, edge));
        // A chevron turned aslant reaches √2 times its size from its point.
        taken.push(boxOf(edge.x, edge.y, 8 * Math.SQRT2));
        named.push({ x: edge.x, y: edge.y, name: `${name} ${edge.arrow} ${programComplex(z)}`, alone: true });
    };

    for (const start of starts) {
        mark(start, start.name, (p, edge) => {
            const group = svgElement("g");
            group.append(...cased(edge ? chevron(edge, 7, { class: "start" }) : svgElement("rect", { x: p.x - 4, y: p.y - 4, width: 8, height: 8, class: "start" })));
            return group;
        });
    }
    const shown = shownPoints(searches, count);
    searches.forEach((search, s) => {
        if (!search.root || shown[s].length < search.points.length)
            return;
        const hollow = search.remark === true;
        mark(search.root, `x${s + 1}`, (p, edge) => {
            const group = svgElement("g", { class: hollow ? "root remark" : "root", "data-root": s + 1, "data-re": search.root.re,
                "data-im": search.root.im, "data-end": search.end });
            if (edge)
                group.setAttribute("data-outside", "");
            group.append(...cased(edge ? chevron(edge, 8, { stroke: colors[s], fill: hollow ? "#fff" : colors[s] })
                : svgElement("circle", { cx: p.x, cy: p.y, r: 6, stroke: colors[s], fill: hollow ? "#fff" : colors[s] })));
            return group;
        });
    });

    // The true roots: crosses, and beyond the view chevrons, each root's
    // copies named once, with its value, as the printed roots' are.
    trueRoots.forEach((root, k) => {
        const p = at(root);
        const cross = svgElement("g", { class: "true-root", "data-re": root.re, "data-im": root.im, ...(root.color ? { style: `--cross: ${root.color}` } : {}) });
        layer.append(cross);
        if (within(p, viewed)) {
            cross.append(...cased(svgElement("path", { d: `M${p.x - 5} ${p.y - 5}l10 10m0 -10l-10 10` })));
            taken.push(boxOf(p.x, p.y, 6));
            return;
        }
        const edge = atEdge(p, view.size);
        cross.append(...cased(chevron(edge, 6, {})));
        taken.push(boxOf(edge.x, edge.y, 6 * Math.SQRT2));
        const copy = k > 0 && trueRoots[k - 1].re === root.re && trueRoots[k - 1].im === root.im;
        if (!copy)
            named.push({ x: edge.x, y: edge.y, name: `истинный ${edge.arrow} ${programComplex(root)}`, alone: true });
    });
    return { taken, named };
}

// The layer above: a ring on the step selected and a dashed one on the step
// under the pointer ({search, step} each, or null).
export function drawRings(layer, { view, searches, selected, pointed }) {
    const at = view.projection();
    const rings = [];
    for (const [step, name] of [[selected, "current"], [pointed, "pointed"]]) {
        const point = step && searches[step.search]?.points[step.step];
        if (point) {
            const p = at(point);
            rings.push(svgElement("circle", { cx: p.x, cy: p.y, r: 9, class: name }));
        }
    }
    layer.replaceChildren(...rings);
}
