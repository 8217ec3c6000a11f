// The chord method at work, beside the terminal: the pictures of the run's
// searches, drawn as the steps come, stepped through one point at a time,
// and the steps and the roots' accuracy as tables and files. Each run has a
// drawing of its own, which stays to be stepped through after the run and
// is let go when the next run begins; whatever fails in it stops only the
// drawing, never the run, and the panel says so.

import { createSteps, locate, pointNumber } from "../data/steps.js";
import { stepWords, story } from "../data/story.js";
import { stepsFile } from "../data/steps_file.js";
import { trueRoots } from "../data/true_roots.js";
import { showAccuracy } from "./accuracy_table.js";
import { createCharts } from "./charts.js";
import { createLandscapeChoice } from "./landscape_choice.js";
import { createLifetime } from "./lifetime.js";
import { landscapeScale } from "./plane/landscape.js";
import { createPlane } from "./plane/plane.js";
import { planeFile } from "./plane/plane_file.js";
import { offerFile, saveFile } from "./saved_files.js";
import { createStepTable } from "./step_table.js";
import { attachStepping } from "./stepping.js";

// One colour for each search, told apart by colour-blind eyes and at least
// 3:1 against white; the dashes and the labels tell them apart without.
const colors = ["#0072b2", "#d55e00", "#117733", "#aa4499", "#332288", "#882255", "#8a6100", "#cc3355", "#444444"];
const dashes = [[], [8, 3], [2, 3], [8, 3, 2, 3], [12, 4], [4, 4], [1, 2], [10, 2, 2, 2], [6, 6]];
const failure = "Рисунок этого запуска построить не удалось; программа работает без него.";
const partNames = ["current", "plane-ground", "plane-trails", "plane", "plane-marks", "plane-hint", "tooltip", "p-chart", "order-chart", "table", "csv", "earlier",
    "later", "range", "fault", "steps", "first", "back", "forward", "all", "zoom-in", "zoom-out", "zoom-reset", "story",
    "landscape-search", "legend", "legend-text", "save-svg", "shared", "accuracy", "accuracy-table", "accuracy-notes", "roots-csv"];

export function createDrawing(panel) {
    const parts = Object.fromEntries(partNames.map(name => [name, panel.querySelector(`[data-part="${name}"]`)]));
    parts.legend.querySelector(".scale").style.background = landscapeScale;
    let run = null;

    return {
        // A new run's drawing, the observer of what the run tells.
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
                searchStarted: told("searchStarted"),
                searchStepped: told("searchStepped"),
                searchEnded: told("searchEnded"),
                rootWritten: told("rootWritten"),
                dispose: lifetime.dispose,
            };
            return run;
        },
    };
}

// The line above the plane: the step selected (at, {search, step}), or how
// many steps there are in all; below the plane, the story of the step's
// search. Each is read out when it changes, so each is told again only
// then: a step tells the step, and the story only with a new search.
function showStepLine(parts, steps, at) {
    const tell = (element, text) => element.textContent !== text && (element.textContent = text);
    tell(parts.current, at ? stepWords(steps.searches, at) : steps.count === 0 ? "" : `Все шаги: поисков ${steps.searches.length}, точек ${steps.count}.`);
    tell(parts.story, at ? story(steps.searches, at.search) : "");
}

// Once every root is written: the steps file, made once, and the accuracy
// of the roots.
function showCompleted(parts, searches, lifetime) {
    offerFile(parts.csv, lifetime, stepsFile(searches));
    parts.csv.hidden = false;
    lifetime.own(() => (parts.csv.hidden = true));
    showAccuracy({ section: parts.accuracy, body: parts["accuracy-table"].tBodies[0], notes: parts["accuracy-notes"],
        csv: parts["roots-csv"] }, searches, lifetime);
}

// The pictures, the tables and the step line of one run, showing either all
// its steps or, stepping, those up to the one selected.
function drawRun(panel, parts, lifetime) {
    const steps = createSteps();
    let selected = null; // the point stepped to, from 1; null: all shown
    let landscapeSearch = 0; // the search whose landscape is shown while all steps are shown
    let roots = []; // the true roots of the polynomial as typed

    const landscapeChoice = createLandscapeChoice({ select: parts["landscape-search"], legend: parts["legend-text"] }, lifetime, search => {
        landscapeSearch = search;
        // Picking a search while stepping goes to its first step.
        if (selected !== null)
            selected = pointNumber(steps.searches, search, 0);
        draw();
    });
    const plane = createPlane(parts, { colors, describe: at => stepWords(steps.searches, at),
        shaded: range => landscapeChoice.said(range, steps.count > 0), lifetime });
    const charts = createCharts(parts["p-chart"], parts["order-chart"], { colors, dashes, lifetime });
    const table = createStepTable({ details: parts.table.closest("details"), table: parts.table, earlier: parts.earlier,
        later: parts.later, range: parts.range }, lifetime);
    lifetime.observe(parts["p-chart"], () => charts.resize());

    function draw() {
        const at = selected === null ? null : locate(steps.searches, selected);
        const shown = at ? at.search : landscapeSearch;
        landscapeChoice.show(steps.searches.length, shown);
        plane.show(steps.searches, selected ?? steps.count, at, steps.revision, steps.searches[shown]?.polynomial ?? null, roots);
        charts.show(steps.searches, selected ?? steps.count, at);
        table.show(steps.searches, steps.count);
        table.select(selected);
        showStepLine(parts, steps, at);
        if (steps.complete)
            panel.dataset.complete = "";
    }
    const update = lifetime.perFrame(draw);
    lifetime.own(() => {
        parts.current.textContent = parts.story.textContent = "";
        delete panel.dataset.complete;
    });
    lifetime.listen(parts["save-svg"], "click", () => {
        saveFile("chord-plane.svg", lifetime, planeFile({ ground: parts["plane-ground"], plane: parts.plane, rings: parts["plane-marks"] },
            plane.trailPaths()), "image/svg+xml");
        parts.shared.textContent = "Плоскость сохранена в файл chord-plane.svg: рельеф, следы поисков и корни, как на экране.";
    });
    update();

    attachStepping(parts, {
        count: () => steps.count,
        selected: () => selected,
        // Keys held down step faster than frames come: each frame draws
        // the step reached.
        select(n) {
            selected = n;
            update();
        },
    }, lifetime);

    return {
        searchStarted(polynomial, first, second) {
            if (steps.searches.length === 0)
                roots = trueRoots(polynomial).roots;
            steps.started(polynomial, first, second);
            update();
        },
        searchStepped(point) {
            steps.stepped(point);
            update();
        },
        searchEnded(end, root) {
            steps.ended(end, root);
            update();
        },
        rootWritten(number, remark, afterMiss) {
            steps.rootWritten(number, remark, afterMiss);
            update();
            if (steps.complete)
                showCompleted(parts, steps.searches, lifetime);
        },
    };
}
