// The chord method at work, beside the terminal: the pictures of the run's
// searches, drawn as the steps come, stepped through one point at a time,
// and the steps and the roots' accuracy as tables and files. Each run has a
// drawing of its own, which stays to be stepped through after the run and
// is let go when the next run begins; whatever fails in it stops only the
// drawing, never the run, and the panel says so.

import { starts as programStarts } from "../data/chord_method.js";
import { programComplex } from "../data/numbers.js";
import { createSteps, locate, pointNumber } from "../data/steps.js";
import { stepWords, story } from "../data/story.js";
import { stepsFile } from "../data/steps_file.js";
import { trueRoots } from "../data/true_roots.js";
import { showAccuracy } from "./accuracy_table.js";
import { coloredRoots, createBasinMap } from "./basin_map.js";
import { createCharts } from "./charts.js";
import { prepareSolver, readySolver, runExperiment } from "./experiment.js";
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
    "landscape-search", "legend", "legend-text", "save-svg", "shared", "accuracy", "accuracy-table", "accuracy-notes", "roots-csv",
    "accuracy-title", "experiment", "experiment-reset", "map-shown", "map-legend", "map-summary"];
// How long the start points rest before the experiment's tables and files
// are made again, as the plane's view rests.
const restMs = 150;

export function createDrawing(panel) {
    const parts = Object.fromEntries(partNames.map(name => [name, panel.querySelector(`[data-part="${name}"]`)]));
    parts.legend.querySelector(".scale").style.background = landscapeScale;
    let run = null;

    return {
        // A new run's drawing, the observer of what the run tells;
        // experiment: the start points ([{re, im}, {re, im}]) to try once
        // its roots are written, if any.
        begin({ experiment } = {}) {
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
            const drawing = lifetime.guard(() => drawRun(panel, parts, lifetime, experiment ?? null))() ?? {};
            const told = name => lifetime.guard((...args) => drawing[name](...args));
            run = {
                searchStarted: told("searchStarted"),
                searchStepped: told("searchStepped"),
                searchEnded: told("searchEnded"),
                rootWritten: told("rootWritten"),
                experimentStarts: () => (failed ? null : drawing.experimentStarts?.() ?? null),
                dispose: lifetime.dispose,
            };
            return run;
        },
        // The start points of the experiment shown, null for none.
        experimentStarts: () => run?.experimentStarts() ?? null,
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

// Once every root is written, the run's or an experiment's (tried): the
// steps file and the accuracy of the roots, with its file.
function showCompleted(parts, searches, lifetime, tried) {
    const [prefix, whose] = tried ? ["chord-experiment", " опыта"] : ["chord", ""];
    for (const [link, name, words] of [[parts.csv, "steps", "шаги"], [parts["roots-csv"], "roots", "точность корней"]]) {
        link.download = `${prefix}-${name}.csv`;
        link.textContent = `Скачать ${words}${whose}: ${link.download}`;
    }
    parts["accuracy-title"].textContent = `Точность корней${whose}`;
    offerFile(parts.csv, lifetime, stepsFile(searches));
    parts.csv.hidden = false;
    lifetime.own(() => (parts.csv.hidden = true));
    showAccuracy({ section: parts.accuracy, body: parts["accuracy-table"].tBodies[0], notes: parts["accuracy-notes"],
        csv: parts["roots-csv"] }, searches, lifetime);
}

// The experiment in a line: its start points, chord steps and roots.
function experimentWords({ starts, steps, total }) {
    const roots = steps.searches.map((search, s) => `x${s + 1} = ${programComplex(search.root)}${search.remark ? " (точность не достигнута)" : ""}`);
    return `Опыт: поиски начаты в точках ${starts.map(programComplex).join(" и ")}; шагов ${total}`
        + `${roots.length > 0 ? `; корни: ${roots.join("; ")}` : ""}. Поиски запуска программы — серые линии под ними.`;
}

// The pictures, the tables and the step line of one run, showing either all
// its steps or, stepping, those up to the one selected; once its roots are
// written, its start points are handles, and moving one shows an
// experiment in its place: the searches from there, over the run's.
function drawRun(panel, parts, lifetime, linkedStarts) {
    const steps = createSteps();
    let selected = null; // the point stepped to, from 1; null: all shown
    let landscapeSearch = 0; // the search whose landscape is shown while all steps are shown
    let plainRoots = []; // the true roots of the polynomial as typed
    let roots = []; // each of them once, with its colour on the map
    let experiment = null; // {starts, steps, total}: what the run's equation came to from other start points
    let tried = null; // the start points to try next frame
    let completed = null; // the lifetime of the files and the accuracy shown
    const shown = () => experiment?.steps ?? steps;

    const landscapeChoice = createLandscapeChoice({ select: parts["landscape-search"], legend: parts["legend-text"] }, lifetime, search => {
        landscapeSearch = search;
        // Picking a search while stepping goes to its first step.
        if (selected !== null)
            selected = pointNumber(shown().searches, search, 0);
        draw();
    });
    const plane = createPlane(parts, { colors, describe: at => stepWords(shown().searches, at),
        shaded: range => landscapeChoice.said(range, steps.count > 0, map.picture !== null), lifetime,
        startMoved(k, point) {
            plane.holdView();
            tried = (experiment?.starts ?? programStarts).map((z, j) => (j === k ? point : { re: z.re, im: z.im }));
            update();
        } });
    const charts = createCharts(parts["p-chart"], parts["order-chart"], { colors, dashes, lifetime });
    const table = createStepTable({ details: parts.table.closest("details"), table: parts.table, earlier: parts.earlier,
        later: parts.later, range: parts.range }, lifetime);
    const map = createBasinMap({ shown: parts["map-shown"], list: parts["map-legend"], summary: parts["map-summary"] }, { changed: () => update(),
        lifetime });
    lifetime.observe(parts["p-chart"], () => charts.resize());

    // The files and the accuracy of what is shown, once it is complete.
    function showFiles() {
        completed?.dispose();
        completed = lifetime.child();
        showCompleted(parts, shown().searches, completed, experiment !== null);
        parts.experiment.textContent = experiment ? experimentWords(experiment) : "";
        parts["experiment-reset"].hidden = !experiment;
    }
    // While a start point moves, each frame draws the plane; once it rests,
    // a frame draws the plane sharp again, and the charts, the files and
    // the accuracy follow, each in a task of its own.
    let moving = false;
    let chartsWait = false; // the charts wait for the frame after the plane's
    const filesNext = lifetime.timer(showFiles, 0);
    const chartsNext = lifetime.timer(() => update(), 0);
    const rested = lifetime.timer(() => {
        moving = false;
        chartsWait = true;
        update();
        filesNext();
    }, restMs);

    // The experiment from the start points tried, drawn in the same frame.
    function tryStarts() {
        const searches = steps.searches;
        if (!tried || searches.length === 0)
            return;
        if (!readySolver()) {
            prepareSolver().then(update, error => {
                console.error(error);
                parts.experiment.textContent = "Опыт не удался: решатель программы не запустился.";
            });
            return;
        }
        const found = runExperiment(searches[0].polynomial, tried);
        experiment = { starts: tried, ...found };
        tried = null;
        selected = null;
        moving = true;
        rested();
    }

    function draw() {
        tryStarts();
        const { searches, count, revision } = shown();
        const at = selected === null ? null : locate(searches, selected);
        const search = at ? at.search : landscapeSearch;
        landscapeChoice.show(searches.length, search);
        const place = plane.place();
        map.update({ polynomial: steps.complete ? steps.searches[0]?.polynomial : null, first: (experiment?.starts ?? programStarts)[0],
            world: place.world, size: place.size, coloured: roots });
        // The first search's polynomial is the one typed, the run's, whose
        // landscape an experiment need not make again.
        const landscapeOf = (search === 0 ? steps.searches : searches)[search]?.polynomial ?? null;
        plane.show({ searches, count: selected ?? count, selected: at, revision, landscapeOf,
            trueRoots: map.picture ? roots : plainRoots, under: experiment && steps.searches,
            starts: experiment ? experiment.starts.map(z => ({ ...z, name: programComplex(z) })) : programStarts,
            movable: steps.complete && steps.searches.length > 0, moving, map: map.picture });
        if (chartsWait) {
            chartsWait = false;
            chartsNext();
        } else if (!moving) {
            charts.show(searches, selected ?? count, at);
        }
        table.show(searches, count);
        table.select(selected);
        showStepLine(parts, shown(), at);
        if (steps.complete)
            panel.dataset.complete = "";
    }
    const update = lifetime.perFrame(draw);
    lifetime.own(() => {
        parts.current.textContent = parts.story.textContent = parts.experiment.textContent = "";
        parts["experiment-reset"].hidden = true;
        delete panel.dataset.complete;
    });
    lifetime.listen(parts["save-svg"], "click", () => {
        saveFile("chord-plane.svg", lifetime, planeFile({ ground: parts["plane-ground"], plane: parts.plane, rings: parts["plane-marks"] },
            plane.trailPaths()), "image/svg+xml");
        parts.shared.textContent = "Плоскость сохранена в файл chord-plane.svg: рельеф, следы поисков и корни, как на экране.";
    });
    lifetime.listen(parts["experiment-reset"], "click", () => {
        experiment = tried = null;
        selected = null;
        showFiles();
        update();
        parts.plane.focus();
    });
    lifetime.listen(parts["map-shown"], "change", update);
    update();

    attachStepping(parts, {
        count: () => shown().count,
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
            if (steps.searches.length === 0) {
                plainRoots = trueRoots(polynomial).roots;
                roots = coloredRoots(plainRoots);
            }
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
            if (!steps.complete)
                return;
            showFiles();
            if (linkedStarts) {
                tried = linkedStarts;
                update();
            }
        },
        experimentStarts: () => experiment?.starts ?? null,
    };
}
