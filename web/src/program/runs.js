// The program's runs, one after another, each a fresh instance of the
// program from its start values with a console of its own (page_console.js).

import { createHistory } from "../terminal/history.js";
import { createLineDiscipline } from "../terminal/line_discipline.js";
import { createPageConsole } from "./page_console.js";
import { createProgram } from "../wasm/program.js";

// stated(state): what the run is doing, told once the screen shows all it
// wrote before: starting, running, input (waiting for a line), key (waiting
// for a key) or ended. ended(status): "0" and the like, "interrupted" or
// "failed". drawing: makes each run's drawing (drawing/drawing.js), the
// observer of what the run tells.
export function createRuns({ terminal, screen, keyWait, drawing, stated, ended }) {
    const history = createHistory(); // for ↑ and ↓ in every run
    let current = 0; // the run going on; what earlier ones call does nothing
    let input = null; // its line discipline
    let linesRead = []; // the lines it has read

    function run() {
        const number = ++current;
        const live = () => number === current;
        let finished = false;
        const active = () => live() && !finished;
        const state = name => screen.step(() => active() && stated(name));
        const finish = status => {
            if (!live() || finished)
                return;
            finished = true;
            runInput.close();
            keyWait.cancel();
            screen.step(() => live() && ended(status));
        };
        input?.close();
        input?.dispose();
        const runDrawing = drawing.begin();
        const runInput = createLineDiscipline({ terminal, screen, history, interrupted: () => finish("interrupted") });
        input = runInput;
        linesRead = [];
        const pageConsole = createPageConsole({ input: runInput, keyWait, observer: runDrawing, active, state, stateNow: stated,
            read: linesRead });

        keyWait.cancel();
        screen.reset();
        state("starting");
        createProgram({ pageConsole, noInitialRun: true })
            .then(chord => {
                state("running");
                // main is called here rather than on load: the call's promise
                // gives its status once the run, which waits for the user, has
                // ended.
                return chord.ccall("main", "number", [], [], { async: true });
            })
            .then(status => finish(String(status)))
            .catch(error => {
                console.error(error);
                finish("failed");
            });
    }

    return {
        run,
        // The line discipline of the run going on, which the terminal's keys
        // and text go to.
        get input() {
            return input;
        },
        // The lines the run going on has read, each with its line end; null
        // for the end of the input.
        linesRead: () => linesRead,
    };
}
