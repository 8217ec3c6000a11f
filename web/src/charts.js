// Two pictures of the searches step by step, drawn with uPlot, which gives
// the axes, the logarithmic scale, the values under the pointer and the zoom
// (drag across a chart, double-click to undo): |P(xₖ)| against the step
// number k, with the tolerance and each search's end marked; and the
// observed order of convergence, with the chord method's (1 + √5)/2.

import uPlot from "uplot";
import "uplot/dist/uPlot.min.css";
import { programNumber } from "./numbers.js";
import { goldenOrder, order, shownPoints, tolerance } from "./steps.js";

const height = 200;
const font = "14px system-ui, sans-serif";
const axis = { stroke: "#222", font, labelFont: font, grid: { stroke: "#ddd" }, ticks: { stroke: "#999" } };
const stepAxis = { ...axis, label: "шаг k" };
// |P| is drawn as its decimal logarithm on a linear scale, a power of ten
// at each tick, written as 1e-5: the library's own logarithmic scale rounds
// small ticks away.
const powersAxis = {
    incrs: [1, 2, 3, 5, 10, 20, 50],
    values: (u, splits) => splits.map(v => `1e${v}`),
};

// One chart in element: a line for each search and the reference line;
// end(si): the step to mark as series si's end, if any; labelled(u): draws
// on it once drawn.
function chart(element, { name, scale, values, reference, searches, colors, dashes, end, labelled }) {
    const series = [{ label: "k", value: (u, k) => k ?? "" }];
    searches.forEach((search, s) => series.push({
        label: `поиск ${s + 1}`,
        stroke: colors[s],
        dash: dashes[s],
        width: 2,
        spanGaps: false,
        value: (u, v, si, k) => (k == null || u.data[si][k] == null ? "—" : programNumber(u.exact?.[si]?.[k] ?? v)),
        points: end ? { show: true, size: 9, fill: colors[s], filter: (u, si) => (end(si) == null ? null : [end(si)]) }
            : { show: false },
    }));
    series.push({ label: reference.label, stroke: "#222", dash: [4, 4], width: 1, points: { show: false },
        value: () => reference.name });
    return new uPlot({
        width: element.clientWidth || 300,
        height,
        scales: { x: { time: false }, y: scale },
        axes: [stepAxis, { ...axis, ...values, label: name, size: 70 }],
        series,
        cursor: { drag: { x: true, y: false } },
        hooks: { draw: [labelled] },
    }, [[]], element);
}

// pElement and orderElement: where the charts go; colors and dashes: one for
// each search.
export function createCharts(pElement, orderElement, { colors, dashes }) {
    let charts = null;
    let count = -1;
    let ends = [];

    function rebuild(searches) {
        charts?.forEach(c => c.destroy());
        charts = [
            chart(pElement, {
                name: "|P(xₖ)|", scale: {}, values: powersAxis, searches, colors, dashes,
                reference: { label: "допуск 1e-5", name: "1e-05" }, end: si => ends[si],
                labelled: u => {
                    // Each search's end marked with its root's name.
                    u.ctx.save();
                    u.ctx.font = `${14 * devicePixelRatio}px system-ui, sans-serif`;
                    ends.forEach((k, si) => {
                        if (k == null || u.data[si][k] == null)
                            return;
                        u.ctx.fillStyle = colors[si - 1];
                        u.ctx.fillText(`x${si}`, u.valToPos(k, "x", true) + 8 * devicePixelRatio,
                            u.valToPos(u.data[si][k], "y", true) - 6 * devicePixelRatio);
                    });
                    u.ctx.restore();
                },
            }),
            chart(orderElement, {
                name: "порядок", scale: { range: [-1, 3] }, values: {}, searches, colors, dashes,
                reference: { label: "(1 + √5)/2", name: "1.618" }, labelled: () => {},
            }),
        ];
        count = searches.length;
    }

    return {
        // Draws the searches as far as shown points.
        show(searches, shown) {
            if (searches.length !== count)
                rebuild(searches);
            const cut = shownPoints(searches, shown);
            const longest = Math.max(0, ...cut.map(points => points.length));
            const steps = Array.from({ length: longest }, (_, k) => k);
            // A logarithm has no 0: |P| = 0 is drawn below the least value
            // shown, and its value is given as 0.
            const least = Math.min(tolerance, ...cut.flat().map(point => point.p).filter(p => p > 0)) / 10;
            const exact = cut.map(points => steps.map(k => points[k]?.p ?? null));
            ends = [null, ...cut.map((points, s) => (searches[s].end && points.length === searches[s].points.length ? points.length - 1 : null))];
            charts[0].exact = [null, ...exact];
            const scaled = p => (p === null ? null : Math.log10(p === 0 ? least : p));
            charts[0].setData([steps, ...exact.map(ps => ps.map(scaled)), steps.map(() => Math.log10(tolerance))]);
            charts[1].setData([steps, ...cut.map(points => steps.map(k => order(points, k))), steps.map(() => goldenOrder)]);
        },
        resize() {
            charts?.forEach((c, k) => c.setSize({ width: [pElement, orderElement][k].clientWidth, height }));
        },
    };
}
