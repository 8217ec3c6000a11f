// The chord method at work, beside the terminal: the three pictures of the
// run's searches, drawn as the steps come, stepped through one point at a
// time (buttons, ← → Home End), and the steps as a table and a file.

import { createCharts } from "./charts.js";
import { programNumber } from "./numbers.js";
import { createPlane } from "./plane.js";
import { stepsFile, tableRows } from "./step_table.js";
import { createSteps, order } from "./steps.js";

// One colour for each search, told apart by colour-blind eyes and at least
// 3:1 against white; the dashes and the labels tell them apart without.
const colors = ["#0072b2", "#d55e00", "#117733", "#aa4499", "#332288", "#882255", "#8a6100", "#cc3355", "#444444"];
const dashes = [[], [8, 3], [2, 3], [8, 3, 2, 3], [12, 4], [4, 4], [1, 2], [10, 2, 2, 2], [6, 6]];

export function createDrawing(panel) {
    const find = name => panel.querySelector(`[data-part="${name}"]`);
    const current = find("current");
    const plane = createPlane(find("plane"), { colors, hovered: step => step && describe(step) });
    const charts = createCharts(find("p-chart"), find("order-chart"), { colors, dashes });
    const table = find("table");
    const csv = find("csv");
    let steps = createSteps();
    let shown = null; // the points shown when stepping; null: all
    let scheduled = false;
    let lastStep = 0; // when the last step came, to measure the drawing

    const total = () => steps.searches.reduce((sum, search) => sum + search.points.length, 0);
    // The search and the step of the point number n, counted from 1.
    function locate(n) {
        for (const [s, search] of steps.searches.entries()) {
            if (n <= search.points.length)
                return { search: s, step: n - 1 };
            n -= search.points.length;
        }
        return null;
    }
    function describe({ search, step }) {
        const points = steps.searches[search].points;
        const point = points[step];
        const q = order(points, step);
        current.textContent = `Поиск ${search + 1}, шаг ${step}: x = ${programNumber(point.re)} ${programNumber(point.im)}i, `
            + `|P(x)| = ${programNumber(point.p)}${q === null ? "" : `, порядок ${programNumber(q)}`}.`;
    }

    function draw() {
        scheduled = false;
        const count = total();
        const visible = shown ?? count;
        const at = shown === null ? null : locate(visible);
        plane.show(steps.searches, visible, at);
        charts.show(steps.searches, visible);
        if (at)
            describe(at);
        else
            current.textContent = count === 0 ? "" : `Все шаги: поисков ${steps.searches.length}, точек ${count}.`;
        panel.dataset.drawnIn = (performance.now() - lastStep).toFixed(1);
        // The text forms after the pictures, in a task of their own: ten
        // thousand rows take longer to lay out than the pictures to draw.
        setTimeout(() => {
            delete panel.dataset.pending;
            if (table.closest("details").open)
                table.tBodies[0].innerHTML = tableRows(steps.searches);
            if (csv.href)
                URL.revokeObjectURL(csv.href);
            csv.href = URL.createObjectURL(new Blob([stepsFile(steps.searches)], { type: "text/csv" }));
        });
    }
    function schedule() {
        lastStep = performance.now();
        panel.dataset.pending = "";
        if (!scheduled) {
            scheduled = true;
            requestAnimationFrame(draw);
        }
    }

    function stepTo(n) {
        shown = n >= total() ? null : Math.max(1, n);
        draw();
    }
    const actions = {
        first: () => stepTo(1),
        back: () => stepTo((shown ?? total()) - 1),
        forward: () => stepTo((shown ?? total()) + 1),
        all: () => stepTo(Infinity),
        "zoom-in": () => plane.zoom(1.5),
        "zoom-out": () => plane.zoom(1 / 1.5),
        "zoom-reset": () => plane.reset(),
    };
    for (const [name, action] of Object.entries(actions))
        find(name).addEventListener("click", action);
    const keys = { ArrowLeft: actions.back, ArrowRight: actions.forward, Home: actions.first, End: actions.all };
    panel.addEventListener("keydown", event => {
        const action = keys[event.key] ?? (event.target === find("plane") && { "+": actions["zoom-in"], "-": actions["zoom-out"] }[event.key]);
        if (action && !event.ctrlKey && !event.altKey && !event.metaKey && event.target.tagName !== "SUMMARY") {
            event.preventDefault();
            action();
        }
    });
    table.closest("details").addEventListener("toggle", draw);
    new ResizeObserver(() => charts.resize()).observe(find("p-chart"));

    return {
        // A new run: nothing drawn yet.
        reset() {
            steps = createSteps();
            shown = null;
            plane.reset();
            draw();
        },
        // What the solver tells of its searches.
        started(first, second) {
            steps.started(first, second);
            schedule();
        },
        stepped(point) {
            steps.stepped(point);
            schedule();
        },
        ended(end, root) {
            steps.ended(end, root);
            schedule();
        },
    };
}
