// Two pictures of the searches step by step, drawn with uPlot, which gives
// the axes, the values under the pointer and the zoom (drag across a chart,
// double-click to undo): |P(xₖ)| against the step number k, with the
// tolerance and each search's end marked; and the observed order of
// convergence, with the chord method's (1 + √5)/2. A value the chart cannot
// hold is drawn at its edge with a mark that says so; the step selected is
// marked on both.

import uPlot from "uplot";
import { goldenOrder, tolerance } from "../data/chord_method.js";
import { placeLabels } from "../data/labels.js";
import { programNumber } from "../data/numbers.js";
import { order, shownPoints } from "../data/steps.js";

const height = 200;
const font = "14px system-ui, sans-serif";
const greatestFloat = 3.4028234663852886e38;
const orderLimit = 10;
// A line of more points than this is drawn one device pixel wide, as the
// plane's long trails are: at two pixels it is a band, and ten times as
// dear to paint.
const mostWidePoints = 1000;
const axis = { stroke: "#222", font, labelFont: font, grid: { stroke: "#ddd" }, ticks: { stroke: "#999" } };
// Whole steps only.
const stepAxis = { ...axis, label: "шаг k", incrs: [1, 2, 5, 10, 20, 50, 100, 200, 500, 1000, 2000, 5000, 10000],
    values: (u, splits) => splits.map(String) };
// |P| is drawn as its decimal logarithm on a linear scale, a power of ten
// at each tick, written as 1e-5: the library's own logarithmic scale rounds
// small ticks away.
const power = v => `1e${v}`;
const powersAxis = { incrs: [1, 2, 3, 5, 10, 20, 50], values: (u, splits) => splits.map(power) };

// Draws on a chart once drawn, in its canvas' pixels: marks[si][k] (a value
// beyond the chart, "up" or "down"), labels ({si, k, text}) placed apart,
// and the step selected ({si, k}).
function drawExtras(u, { marks, labels, selected, colors }) {
    const ratio = devicePixelRatio;
    const { ctx } = u;
    const at = (si, k) => ({ x: u.valToPos(k, "x", true), y: u.valToPos(u.data[si][k], "y", true) });
    ctx.save();
    ctx.font = `${14 * ratio}px system-ui, sans-serif`;
    marks.forEach((byStep, si) => byStep?.forEach((way, k) => {
        if (!way || u.data[si][k] == null)
            return;
        const { x, y } = at(si, k);
        const tip = way === "up" ? -1 : 1;
        ctx.fillStyle = colors[si - 1];
        ctx.beginPath();
        ctx.moveTo(x, y + tip * 9 * ratio);
        ctx.lineTo(x - 6 * ratio, y);
        ctx.lineTo(x + 6 * ratio, y);
        ctx.fill();
    }));
    const { left, top, width, height: tall } = u.bbox;
    const taken = [];
    const items = labels.filter(({ si, k }) => u.data[si][k] != null).map(label => {
        const { x, y } = at(label.si, label.k);
        taken.push({ x: x - left - 5 * ratio, y: y - top - 5 * ratio, w: 10 * ratio, h: 10 * ratio });
        return { ...label, x: x - left, y: y - top, w: ctx.measureText(label.text).width, h: 16 * ratio };
    });
    placeLabels(items, taken, { w: width, h: tall }).forEach((place, n) => {
        if (!place)
            return;
        ctx.fillStyle = colors[items[n].si - 1];
        ctx.textBaseline = "top";
        ctx.fillText(items[n].text, left + place.box.x, top + place.box.y);
    });
    if (selected && u.data[selected.si]?.[selected.k] != null) {
        const { x, y } = at(selected.si, selected.k);
        ctx.strokeStyle = "#000";
        ctx.lineWidth = 2 * ratio;
        ctx.setLineDash([4 * ratio, 3 * ratio]);
        ctx.beginPath();
        ctx.moveTo(x, top);
        ctx.lineTo(x, top + tall);
        ctx.stroke();
        ctx.setLineDash([]);
        ctx.beginPath();
        ctx.arc(x, y, 8 * ratio, 0, 2 * Math.PI);
        ctx.stroke();
    }
    ctx.restore();
}

// One chart in element: a line for each search and the reference line;
// range(): the y scale's; extras: what drawExtras draws.
function chart(element, { name, values, range, reference, searches, colors, dashes, exact, extras }) {
    const series = [{ label: "k", value: (u, k) => k ?? "" }];
    searches.forEach((search, s) => series.push({
        label: `поиск ${s + 1}`,
        stroke: colors[s],
        dash: dashes[s],
        width: 2,
        spanGaps: false,
        value: (u, v, si, k) => (k == null || u.data[si][k] == null ? "—" : programNumber(exact()[si]?.[k] ?? v)),
        points: { show: false },
    }));
    series.push({ label: reference.label, stroke: "#222", dash: [4, 4], width: 1, points: { show: false },
        value: () => reference.name });
    return new uPlot({
        width: element.clientWidth || 300,
        height,
        scales: { x: { time: false }, y: { range } },
        axes: [stepAxis, { ...axis, ...values, label: name, size: 70 }],
        series,
        cursor: { drag: { x: true, y: false } },
        hooks: { draw: [u => drawExtras(u, extras())] },
    }, [[]], element);
}

// The scale's ends for values, with room around them; lo and hi bound it.
function rangeOf(values, lo, hi, room) {
    let [least, most] = [Infinity, -Infinity];
    for (const value of values) {
        if (Number.isFinite(value))
            [least, most] = [Math.min(least, value), Math.max(most, value)];
    }
    return [Math.max(lo, least - room), Math.min(hi, most + room)];
}

// Each search's |P| and order of convergence at its points, worked out as
// its points come: a step shows more of them, never new ones.
function createValues() {
    const known = new WeakMap(); // a search's points: their values
    return points => {
        const values = known.get(points) ?? { p: [], order: [] };
        // The last point's order waits for the point after it.
        for (let k = Math.max(0, values.p.length - 1); k < points.length; ++k)
            [values.p[k], values.order[k]] = [points[k].p, order(points, k)];
        known.set(points, values);
        return values;
    };
}

// |P| of the first lengths[s] points of each search on a scale of powers of
// ten, at steps: 0 at the foot, infinity and what exceeds a float at the
// top, each with a mark; each search's end labelled with its root's name.
function pictureOfP(lengths, steps, searches, valuesOf) {
    const exact = lengths.map((length, s) => {
        const { p } = valuesOf(searches[s].points);
        return steps.map(k => (k < length ? p[k] : null));
    });
    const drawable = p => p !== null && p > 0 && p <= greatestFloat;
    const range = rangeOf([...exact.flat().filter(drawable).map(Math.log10), Math.log10(tolerance)], -Infinity, Infinity, 1);
    const marks = [null, ...exact.map(ps => ps.map(v => (v === null || drawable(v) ? null : v === 0 ? "down" : "up")))];
    const labels = lengths.map((length, s) => (searches[s].end && length === searches[s].points.length
        ? { si: s + 1, k: length - 1, text: `x${s + 1}` } : null)).filter(Boolean);
    const [bottom, top] = range;
    const scaled = v => (v === null ? null : drawable(v) ? Math.log10(v) : v === 0 ? bottom : top);
    return { state: { range, exact: [null, ...exact], marks, labels },
        data: [steps, ...exact.map(ps => ps.map(scaled)), steps.map(() => Math.log10(tolerance))] };
}

// The order of convergence at the first lengths[s] points of each search,
// within ±10; beyond, at the edge with a mark. The last point shown has none.
function pictureOfOrder(lengths, steps, searches, valuesOf) {
    const exact = lengths.map((length, s) => {
        const values = valuesOf(searches[s].points).order;
        return steps.map(k => (k < length - 1 ? values[k] : null));
    });
    const range = rangeOf([...exact.flat(), goldenOrder, 0], -orderLimit, orderLimit, 0.5);
    const marks = [null, ...exact.map(vs => vs.map(v => (v === null || Math.abs(v) <= orderLimit ? null : v > 0 ? "up" : "down")))];
    const clipped = v => (v === null ? null : Math.max(range[0], Math.min(range[1], v)));
    return { state: { range, exact: [null, ...exact], marks, labels: [] },
        data: [steps, ...exact.map(vs => vs.map(clipped)), steps.map(() => goldenOrder)] };
}

// pElement and orderElement: where the charts go; colors and dashes: one for
// each search.
export function createCharts(pElement, orderElement, { colors, dashes, lifetime }) {
    let charts = [];
    let searchCount = -1; // the charts have a line for each of this many searches
    const state = { p: { marks: [], labels: [], range: [-6, 1], exact: [] }, order: { marks: [], labels: [], range: [-1, 3], exact: [] } };
    let selected = null;
    const valuesOf = createValues();
    lifetime.own(() => charts.forEach(c => c.destroy()));

    function rebuild(searches) {
        charts.forEach(c => c.destroy());
        const chartOf = (element, key, options) => chart(element, { ...options, searches, colors, dashes,
            range: () => state[key].range, exact: () => state[key].exact,
            extras: () => ({ ...state[key], selected, colors }) });
        const toleranceLine = { label: `допуск ${power(Math.round(Math.log10(tolerance)))}`, name: programNumber(tolerance) };
        charts = [
            chartOf(pElement, "p", { name: "|P(xₖ)|", values: powersAxis, reference: toleranceLine }),
            chartOf(orderElement, "order", { name: "порядок", values: {}, reference: { label: "(1 + √5)/2", name: goldenOrder.toFixed(3) } }),
        ];
        searchCount = searches.length;
    }

    return {
        // Draws the searches as far as count points; at: the step selected
        // ({search, step}) or null.
        show(searches, count, at) {
            if (searches.length !== searchCount)
                rebuild(searches);
            const lengths = shownPoints(searches, count).map(points => points.length);
            const steps = Array.from({ length: Math.max(0, ...lengths) }, (_, k) => k);
            selected = at && { si: at.search + 1, k: at.step };

            const p = pictureOfP(lengths, steps, searches, valuesOf);
            const q = pictureOfOrder(lengths, steps, searches, valuesOf);
            [state.p, state.order] = [p.state, q.state];
            for (const c of charts)
                lengths.forEach((length, s) => (c.series[s + 1].width = length > mostWidePoints ? 1 / devicePixelRatio : 2));
            charts[0].setData(p.data);
            charts[1].setData(q.data);
        },
        resize() {
            charts.forEach((c, k) => c.setSize({ width: [pElement, orderElement][k].clientWidth, height }));
        },
    };
}
