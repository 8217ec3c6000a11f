// What the program reads as its standard input: the lines typed at the
// terminal, as a terminal in canonical mode gives them, edited as users
// expect of a shell's prompt (keys.js), drawn as typed (typed_line.js).

import { keyAction } from "./keys.js";
import { createTypedLine } from "./typed_line.js";
import { typedPieces } from "./typed_text.js";

// The lines entered and not yet read, each with its line end (null: the end
// of the input), and the program's wait for the next one.
function createLineQueue() {
    const typed = [];
    let reader = null;
    return {
        deliver(text) {
            if (reader) {
                const waiting = reader;
                reader = null;
                waiting(text);
            } else {
                typed.push(text);
            }
        },
        next: () => (typed.length > 0 ? Promise.resolve(typed.shift()) : new Promise(resolve => (reader = resolve))),
        get waiting() {
            return typed.length > 0;
        },
        holdsText: () => typed.some(text => text !== null),
        clear() {
            typed.length = 0;
            reader = null;
        },
    };
}

// terminal: the xterm.js terminal; screen: its ordered writes; history: the
// lines entered on this page, kept across runs; interrupted: called when
// Ctrl+C stops the run.
export function createLineDiscipline({ terminal, screen, history, interrupted }) {
    let reading = true; // false once the run has ended: nothing more is read
    const queue = createLineQueue();
    const typed = createTypedLine(screen, history);
    const stopRedrawing = screen.onRefit(typed.draw);
    function close() {
        reading = false;
        queue.clear();
    }
    // As many characters as the screen can draw again in place: the line
    // being edited must fit on the screen, even were every character wide.
    const room = () => Math.floor((terminal.cols * (terminal.rows - 2)) / 2);
    const actions = {
        copy: () => document.execCommand("copy"),
        interrupt() {
            typed.handOver(false);
            screen.print("^C");
            close();
            interrupted();
        },
        // The end of the input on an empty line; else the line so far, with
        // no line end, as a terminal hands it over.
        endOfInput: () => queue.deliver(typed.line.length === 0 ? null : typed.handOver()),
        clear() {
            typed.line.clear();
            typed.draw();
        },
        // A line longer than the screen can draw again in place, as a long
        // paste or a link types, is entered whole but kept from ↑, which
        // could not edit it.
        enter() {
            const text = typed.handOver(typed.line.length <= room());
            screen.print("\r\n");
            queue.deliver(text + "\n");
        },
    };


    return {
        // A key pressed at the terminal.
        key(event) {
            const action = keyAction(event, terminal.hasSelection(), reading);
            if (action === null)
                return;
            event.preventDefault();
            if (typeof action === "function") {
                action(typed.line);
                typed.draw();
            } else {
                actions[action]();
            }
        },

        // Text typed, composed or pasted: its line ends enter lines, and
        // Ctrl+D's character, as a terminal takes it, ends the input.
        data(text) {
            text.split("\x04").forEach((part, end) => {
                if (end > 0 && reading)
                    actions.endOfInput();
                const pieces = typedPieces(part);
                pieces.forEach((piece, k) => {
                    if (!reading)
                        return;
                    const last = k === pieces.length - 1;
                    typed.line.insert(piece, last ? room() : Infinity);
                    if (last)
                        typed.draw();
                    else
                        actions.enter();
                });
            });
        },

        // The program's output, written where the cursor is; a line being
        // typed ahead of it moves behind it.
        show(text) {
            const typing = typed.line.length > 0;
            if (typing)
                typed.lift();
            screen.print(text);
            if (typing)
                typed.draw();
        },

        // Whether a line entered waits to be read.
        hasLine: () => queue.waiting,

        // The next line for the program, with its line end; null at the end
        // of the input.
        nextLine: () => queue.next(),

        // Whether a key was typed ahead of the key wait, in a line entered
        // and not read or one being typed: the wait takes it, and the rest.
        // What is left of a line the program has read was no key.
        takeTypedAhead() {
            const typing = typed.line.length > 0;
            const typedAhead = typing || queue.holdsText();
            if (typing)
                typed.handOver(false);
            queue.clear();
            return typedAhead;
        },

        // Nothing more is read.
        close,
        // Nor drawn again after a resize: a new run's line takes its place.
        dispose: stopRedrawing,
    };
}
