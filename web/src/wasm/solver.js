// The program's own solver for the page's experiment: an instance of the
// program that never runs its dialogue, whose exported search finds the
// roots again from start points the page gives, in the program's arithmetic
// and with its tolerance, budget and deflation.

import { createProgram } from "./program.js";

const observed = ["searchStarted", "searchStepped", "searchEnded", "rootWritten"];

// Its promise: experiment(polynomial, first, second, observer), which tells
// observer (as a run tells the drawing) each search and root of polynomial
// (pairs of floats, the highest power's first, as a run tells them) from
// first and second ({re, im}, taken as floats), and returns the chord steps
// the dialogue would count.
export async function createSolver() {
    let observer = null;
    const forward = Object.fromEntries(observed.map(name => [name, (...args) => observer[name](...args)]));
    const chord = await createProgram({ noInitialRun: true, pageConsole: { observer: forward } });
    const slots = chord._polynomialSlots() >> 2;
    return {
        experiment(polynomial, first, second, told) {
            chord.HEAPF32.set(polynomial.flat(), slots);
            observer = told;
            try {
                return chord._experiment(polynomial.length, first.re, first.im, second.re, second.im);
            } finally {
                observer = null;
            }
        },
    };
}
