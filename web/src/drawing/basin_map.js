// The map of where the first search leads: for each second start point of
// a grid over the plane's view, with the first where its handle is, the
// true root the program's search reaches (a colour each, paler the more
// steps it takes), or grey where it fails (the budget spent, a step that
// would divide by zero or leave the floats). Computed in a worker, coarse
// first and refined, and asked again when the view or the first start
// rests somewhere new; its legend says the share of starts each root takes.

import { programComplex } from "../data/numbers.js";
import { createMapWorker } from "../wasm/map_worker.js";
import { svgElement } from "./plane/svg.js";

// A colour for each true root, none grey, told apart by colour-blind eyes.
export const mapColors = ["#0072b2", "#d55e00", "#009e73", "#cc79a7", "#e69f00", "#56b4e9", "#882255", "#117733", "#332288"];
const failed = [150, 150, 150];
// Paleness: from the fewest steps to a thousand and more.
const [palest, fullest] = [0.8, 0.15];
const rgb = hex => [1, 3, 5].map(k => parseInt(hex.slice(k, k + 2), 16));
const paled = (color, t) => color.map(c => Math.round(c + (255 - c) * t));

// Each true root once, with its colour.
export function coloredRoots(roots) {
    const distinct = roots.filter((z, k) => roots.findIndex(w => w.re === z.re && w.im === z.im) === k);
    return distinct.map((z, k) => ({ ...z, color: mapColors[k % mapColors.length] }));
}

// The picture of one level: an image of cols × rows cells, made for the
// world and w pixels across; and each root's share of the cells and the
// failures'.
function picture({ cols, rows, ends, world, first }, roots, w) {
    const canvas = document.createElement("canvas");
    [canvas.width, canvas.height] = [cols, rows];
    const context = canvas.getContext("2d");
    const image = context.createImageData(cols, rows);
    const counts = new Array(roots.length + 1).fill(0);
    const colors = roots.map(z => rgb(z.color));
    for (let k = 0; k < cols * rows; ++k) {
        const [re, im, steps, end] = [ends[4 * k], ends[4 * k + 1], ends[4 * k + 2], ends[4 * k + 3]];
        let nearest = -1;
        let best = Infinity;
        for (let r = 0; end === 0 && r < roots.length; ++r) {
            const d = Math.hypot(roots[r].re - re, roots[r].im - im);
            if (d < best)
                [best, nearest] = [d, r];
        }
        ++counts[nearest + 1];
        const t = Math.min(1, Math.log10(steps + 1) / 3);
        const color = nearest < 0 ? failed : paled(colors[nearest], fullest + (palest - fullest) * t);
        image.data[4 * k] = color[0];
        image.data[4 * k + 1] = color[1];
        image.data[4 * k + 2] = color[2];
        image.data[4 * k + 3] = 255;
    }
    context.putImageData(image, 0, 0);
    const h = w * (world.top - world.bottom) / (world.right - world.left);
    const group = svgElement("g", { class: "basin-map", "data-cols": cols, "data-rows": rows,
        "data-world": [world.left, world.right, world.bottom, world.top].join(" "), "data-first": `${first.re} ${first.im}` });
    const cells = svgElement("image", { width: w, height: h, preserveAspectRatio: "none" });
    cells.setAttribute("href", canvas.toDataURL());
    group.append(cells);
    return { group, world, width: w, counts, cells: cols * rows };
}

// parts: the map's checkbox, its legend's list and its summary (read out);
// changed(): the picture changed.
export function createBasinMap(parts, { changed, lifetime }) {
    let worker = null;
    let asked = ""; // the request last sent, as a key
    let roots = [];
    let shown = null; // the latest picture
    let width = 0;

    const legend = (made, final) => {
        const share = n => `${Math.round(100 * n / made.cells)} %`;
        const items = roots.map((z, r) => [z.color, `к корню ${programComplex(z)}: ${share(made.counts[r + 1])} начал`]);
        items.push([`rgb(${failed})`, `поиск не достиг допуска: ${share(made.counts[0])}`]);
        const shades = document.createElement("li");
        shades.textContent = "Чем бледнее цвет, тем больше шагов сделал поиск: от одного до тысячи и больше.";
        parts.list.replaceChildren(...items.map(([color, text]) => {
            const item = document.createElement("li");
            const swatch = document.createElement("span");
            swatch.className = "swatch";
            swatch.style.background = color;
            item.append(swatch, ` ${text}`);
            return item;
        }), shades);
        if (final)
            parts.summary.textContent = `Карта готова: ${items.map(([, text]) => text).join("; ")}.`;
    };

    const stop = () => {
        worker?.dispose();
        worker = null;
        asked = "";
    };
    lifetime.own(stop);

    return {
        // The picture to draw, null while there is none or it is not shown.
        get picture() {
            return parts.shown.checked ? shown : null;
        },
        // The map of polynomial's first search from first in world (w
        // pixels across, aspect w/h), asked where it is shown and new; its
        // true roots, coloured.
        update({ polynomial, first, world, size, coloured }) {
            if (!parts.shown.checked || !polynomial) {
                stop();
                return;
            }
            const key = JSON.stringify([first.re, first.im, world, size]);
            if (key === asked)
                return;
            asked = key;
            [roots, width] = [coloured, size.w];
            worker ??= createMapWorker(lifetime.guard(level => {
                shown = picture(level, roots, width);
                legend(shown, level.last);
                changed();
            }));
            if (!worker) {
                parts.summary.textContent = "Карту построить не удалось: браузер не дал ей потока.";
                return;
            }
            parts.summary.textContent = "";
            worker.ask({ polynomial, first: { re: first.re, im: first.im }, world, aspect: size.w / size.h });
        },
    };
}
