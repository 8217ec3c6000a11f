// The program's runs, one after another, each a fresh instance of the
// program from its start values, and the console each calls (dialogue/console_web.cpp):
// its texts shown on the terminal, its standard input read from the lines
// typed there, its key wait.

import { createLineDiscipline } from "./line_discipline.js";
import { createProgram } from "./program.js";

// stated(state): what the run is doing, told once the screen shows all it
// wrote before: starting, running, input (waiting for a line), key (waiting
// for a key) or ended. ended(status): "0" and the like, "interrupted" or
// "failed".
// drawing: makes each run's drawing (drawing.js), told of the searches'
// steps and of the roots as they are written.
export function createRuns({ terminal, screen, keyWait, drawing, stated, ended }) {
    const history = []; // the lines entered, for ↑ and ↓ in every run
    let current = 0; // the run going on; what earlier ones call does nothing
    let lines = null; // its line discipline
    let entered = []; // the lines it has read, each with its line end; null: the end of the input

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
            own.close();
            keyWait.cancel();
            screen.step(() => live() && ended(status));
        };
        lines?.close();
        const drawn = drawing.begin();
        const own = createLineDiscipline({ terminal, screen, history, interrupted: () => finish("interrupted") });
        lines = own;
        entered = [];
        let rest = null; // the bytes of the line being read that the program has not taken yet

        const services = {
            show: text => active() && own.show(text),
            // A line end moves to the next line's start, as a terminal's output does.
            write: text => active() && own.show(text.replace(/\n/g, "\r\n")),
            async nextBytes(size) {
                if (!rest) {
                    if (!own.hasLine())
                        state("input");
                    const text = await own.nextLine();
                    if (active())
                        entered.push(text);
                    // At once: the line is the program's, whatever is still
                    // being drawn.
                    if (active())
                        stated("running");
                    if (text === null)
                        return null;
                    rest = new TextEncoder().encode(text);
                }
                const bytes = rest.subarray(0, size);
                rest = rest.length > size ? rest.subarray(size) : null;
                return bytes;
            },
            searchStarted: (first, second, polynomial) => active() && drawn.started(first, second, polynomial),
            searchStepped: point => active() && drawn.stepped(point),
            searchEnded: (end, root) => active() && drawn.ended(end, root),
            rootWritten: (number, remark, afterMiss) => active() && drawn.rootWritten(number, remark, afterMiss),
            keyPress() {
                // The rest of a line already read is no key; one typed ahead is.
                rest = null;
                const typedAhead = own.takeTypedAhead();
                own.close();
                if (typedAhead)
                    return Promise.resolve();
                state("key");
                return keyWait.wait();
            },
        };

        keyWait.cancel();
        screen.reset();
        state("starting");
        createProgram({ pageConsole: services, noInitialRun: true })
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
        // and input go to.
        get lines() {
            return lines;
        },
        entered: () => entered,
    };
}
