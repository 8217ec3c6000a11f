// The chord method at work, beside the terminal: the three pictures of the
// run's searches, drawn as the steps come, stepped through one point at a
// time, and the steps as a table and a file. Each run has a drawing of its
// own, which stays to be stepped through after the run and is let go when
// the next run begins; whatever fails in it stops only the drawing, never
// the run, and the panel says so.

import { showAccuracy } from "./accuracy.js";
import { createCharts } from "./charts.js";
import { createLifetime } from "./lifetime.js";
import { programNumber } from "./numbers.js";
import { createPlane } from "./plane.js";
import { savePlane } from "./plane_file.js";
import { createStepTable } from "./step_table.js";
import { offerStepsFile } from "./steps_file.js";
import { attachStepping } from "./stepping.js";
import { createSteps, locate, order } from "./steps.js";
import { story } from "./story.js";
import { trueRoots } from "./true_roots.js";

// One colour for each search, told apart by colour-blind eyes and at least
// 3:1 against white; the dashes and the labels tell them apart without.
const colors = ["#0072b2", "#d55e00", "#117733", "#aa4499", "#332288", "#882255", "#8a6100", "#cc3355", "#444444"];
const dashes = [[], [8, 3], [2, 3], [8, 3, 2, 3], [12, 4], [4, 4], [1, 2], [10, 2, 2, 2], [6, 6]];
const failure = "Рисунок этого запуска построить не удалось; программа работает без него.";

export function createDrawing(panel) {
    const find = name => panel.querySelector(`[data-part="${name}"]`);
    const parts = Object.fromEntries(["current", "plane", "plane-marks", "plane-hint", "tooltip", "p-chart", "order-chart", "table", "csv",
        "earlier", "later", "range", "fault", "steps", "first", "back", "forward", "all", "zoom-in", "zoom-out", "zoom-reset", "story", "ground",
        "legend-text", "save-svg", "accuracy", "accuracy-table", "accuracy-notes", "roots-csv"]
        .map(name => [name, find(name)]));
    let run = null;

    return {
        // A new run: what the solver tells of its searches, drawn.
        begin() {
            run?.dispose();
            parts.fault.hidden = true;
            let failed = false;
            const lifetime = createLifetime(error => {
                if (failed)
                    return;
                failed = true;
                console.error(error);
                lifetime.dispose();
                parts.fault.textContent = failure;
                parts.fault.hidden = false;
            });
            const drawing = lifetime.guard(() => drawRun(panel, parts, lifetime))() ?? {};
            const told = name => lifetime.guard((...args) => drawing[name](...args));
            run = {
                started: told("started"),
                stepped: told("stepped"),
                ended: told("ended"),
                rootWritten: told("rootWritten"),
                dispose: lifetime.dispose,
            };
            return run;
        },
    };
}

function drawRun(panel, parts, lifetime) {
    const steps = createSteps();
    let selected = null; // the point stepped to, from 1; null: all shown
    let chosen = 0; // the search whose landscape is shown while all steps are shown
    let truth = []; // the roots of the polynomial as typed

    function describe({ search, step }) {
        const points = steps.searches[search].points;
        const point = points[step];
        const q = order(points, step);
        return `Поиск ${search + 1}, шаг ${step}: x = ${programNumber(point.re)} ${programNumber(point.im)}i, `
            + `|P(x)| = ${programNumber(point.p)}${q === null ? "" : `, порядок ${programNumber(q)}`}.`;
    }
    const shaded = range => {
        const search = Number(parts.ground.value) + 1;
        parts["legend-text"].textContent = !range ? (steps.count === 0 ? "" : "Рельефа нет: |P| всюду равен 0 или не определён.")
            : `Рельеф поиска ${search}: log₁₀|P(x)| его многочлена, от ${range.lo.toFixed(1)} (темнее) до ${range.hi.toFixed(1)}`
            + " (светлее); линии — целые степени 10, жирная — допуск |P| = 1e-05.";
    };
    const plane = createPlane({ svg: parts.plane, rings: parts["plane-marks"], hint: parts["plane-hint"], tooltip: parts.tooltip },
        { colors, describe, shaded, lifetime });
    const charts = createCharts(parts["p-chart"], parts["order-chart"], { colors, dashes, lifetime });
    const table = createStepTable({ details: parts.table.closest("details"), table: parts.table, earlier: parts.earlier,
        later: parts.later, range: parts.range }, lifetime);
    lifetime.observe(parts["p-chart"], () => charts.resize());

    const draw = () => {
        const visible = selected ?? steps.count;
        const at = selected === null ? null : locate(steps.searches, selected);
        const ground = at ? at.search : chosen;
        if (parts.ground.length !== steps.searches.length) {
            parts.ground.replaceChildren(...steps.searches.map((_, s) => new Option(String(s + 1), String(s))));
            parts.ground.disabled = steps.searches.length === 0;
        }
        parts.ground.value = String(ground);
        plane.show(steps.searches, visible, at, steps.revision, steps.searches[ground]?.polynomial ?? null, truth);
        charts.show(steps.searches, visible, at);
        table.show(steps.searches, steps.count);
        table.select(selected);
        parts.current.textContent = at ? describe(at)
            : steps.count === 0 ? "" : `Все шаги: поисков ${steps.searches.length}, точек ${steps.count}.`;
        parts.story.textContent = at ? story(steps.searches, at.search) : "";
        if (steps.complete)
            panel.dataset.complete = "";
    };
    const update = lifetime.perFrame(draw);
    lifetime.own(() => {
        parts.current.textContent = parts.story.textContent = parts["legend-text"].textContent = "";
        parts.ground.replaceChildren();
        parts.ground.disabled = true;
        delete panel.dataset.complete;
    });
    // Picking a search while stepping goes to its first step.
    lifetime.listen(parts.ground, "change", () => {
        chosen = Number(parts.ground.value);
        if (selected !== null)
            selected = steps.searches.slice(0, chosen).reduce((n, search) => n + search.points.length, 1);
        draw();
    });
    lifetime.listen(parts["save-svg"], "click", () => savePlane(parts.plane, parts["plane-marks"], lifetime));
    update();

    attachStepping(parts, {
        count: () => steps.count,
        selected: () => selected,
        select(n) {
            selected = n;
            draw();
        },
        zoom: factor => plane.zoom(factor),
        reset: () => plane.reset(),
    }, lifetime);

    return {
        started(first, second, polynomial) {
            if (steps.searches.length === 0)
                truth = trueRoots(polynomial).roots;
            steps.started(first, second, polynomial);
            update();
        },
        stepped(point) {
            steps.stepped(point);
            update();
        },
        ended(end, root) {
            steps.ended(end, root);
            update();
        },
        rootWritten(number, remark, afterMiss) {
            steps.rootWritten(number, remark, afterMiss);
            update();
            if (steps.complete) {
                offerStepsFile(parts.csv, lifetime, steps.searches);
                showAccuracy({ section: parts.accuracy, body: parts["accuracy-table"].tBodies[0], notes: parts["accuracy-notes"],
                    csv: parts["roots-csv"] }, steps.searches, lifetime);
            }
        },
    };
}
