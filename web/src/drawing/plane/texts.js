// The plane's texts, laid out together once measured: the axes' names and
// the ticks that have room, each with its grid line, then the names of the
// points, every one apart from the others and from the marks.

import { crowds, fits, overlaps, placeLabels } from "../../data/labels.js";
import { svgElement } from "./svg.js";
import { ticks } from "./ticks.js";

// grid and texts: the layers of the grid lines (null where they are drawn
// for this view already) and the texts; marks: the layer the leader lines
// go in; taken and named: as drawMarks gives them.
export function drawTexts({ grid, texts, marks }, { view, taken, named }) {
    const { w, h } = view.size;
    const at = view.projection();
    const world = view.world();
    const text = (content, className) => {
        const created = svgElement("text", { class: className }, content);
        texts.append(created);
        return created;
    };
    const fixed = [[text("Re", "axis-name"), w - 24, h - 36], [text("Im", "axis-name"), 28, 2]];
    for (const [axis, low, high] of [["re", world.left, world.right], ["im", world.bottom, world.top]]) {
        for (const tick of ticks(low, high)) {
            const p = at(axis === "re" ? { re: tick.value, im: 0 } : { re: 0, im: tick.value });
            const line = axis === "re" ? { x1: p.x, x2: p.x, y1: 0, y2: h } : { x1: 0, x2: w, y1: p.y, y2: p.y };
            grid?.append(svgElement("line", { ...line, class: tick.value === 0 ? "axis" : "grid" }));
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
            marks.append(svgElement("line", { x1: x, y1: y, x2: to.x, y2: to.y, class: "leader" }));
        }
    });
}
