// The experiment's searches: the run's equation solved again from other
// start points by the program's own solver (wasm/solver.js), recorded as
// a run's steps (data/steps.js).

import { createSteps } from "../data/steps.js";
import { createSolver } from "../wasm/solver.js";

let solver = null; // once made, for every run of the page
let making = null;

// The solver's promise, made once a page.
export function prepareSolver() {
    making ??= createSolver().then(made => (solver = made));
    return making;
}

// The solver, null while it is being made (prepareSolver's promise tells
// when it is).
export const readySolver = () => solver;

// The searches of polynomial (the first search's, as the run told it) from
// starts ([{re, im}, {re, im}]) as steps, and the chord steps counted.
export function runExperiment(polynomial, starts) {
    const steps = createSteps();
    const total = solver.experiment(polynomial, starts[0], starts[1], { searchStarted: steps.started, searchStepped: steps.stepped,
        searchEnded: steps.ended, rootWritten: steps.rootWritten });
    return { steps, total };
}
