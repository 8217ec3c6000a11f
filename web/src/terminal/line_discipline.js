// What the program reads as its standard input: the lines typed at the
// terminal, as a terminal in canonical mode gives them, edited as users
// expect of a shell's prompt. What the line holds and what the screen shows
// of it are the same at every moment: each change draws the line again from
// where it begins, and the cursor is put where the screen itself says the
// character under it stands.

import { Line } from "./line.js";
import { eraseBelow } from "./screen.js";

const editingKeys = {
    ArrowLeft: line => line.move(-1),
    ArrowRight: line => line.move(1),
    Home: line => line.home(),
    End: line => line.end(),
    Backspace: line => line.backspace(),
    Delete: line => line.delete(),
    ArrowUp: line => line.recall(-1),
    ArrowDown: line => line.recall(1),
};

// What pasted text may hold besides characters: escape sequences and control
// characters, which are dropped (tabs and line ends are kept).
const notCharacters = /\x1b(\[[0-?]*[ -/]*[@-~]|O.|.)?|[\x00-\x08\x0b\x0c\x0e-\x1f\x7f-\x9f]/gsu;
const mac = /Mac|iPhone|iPad/.test(navigator.platform);

// The letter of a Ctrl shortcut, also with a Cyrillic layout, where Ctrl+C
// comes as "с": then the key's place on the keyboard tells.
function shortcutLetter(event) {
    if (/^[a-z]$/i.test(event.key))
        return event.key.toLowerCase();
    return event.code.startsWith("Key") ? event.code.slice(3).toLowerCase() : "";
}

// terminal: the xterm.js terminal; screen: its ordered writes; history: the
// lines entered on this page, kept across runs; interrupted: called when
// Ctrl+C stops the run.
export function createLineDiscipline({ terminal, screen, history, interrupted }) {
    let line = new Line(history);
    const typed = []; // lines entered and not yet read, with their line ends; null: the end of the input
    let reader = null; // the program, waiting for a line
    let open = true; // false once the run has ended: nothing more is read
    // Where the line begins on the screen and what is drawn of it, read when
    // it is first drawn after anything else was written.
    let start = null;
    let shown = { text: "", before: "" };

    function draw() {
        const text = line.text;
        const before = line.beforeCursor;
        screen.step(async () => {
            if (start === null || start.changes !== screen.changes) {
                start = { place: screen.cursor(), changes: screen.changes };
                shown = { text: "", before: "" };
            }
            if (text === shown.text && before === shown.before)
                return;
            if (shown.before === shown.text && before === text && text.startsWith(shown.text)) {
                // Typed at the end: the new characters echoed, as anywhere.
                await screen.written(text.slice(shown.text.length));
            } else {
                await screen.moveTo(start.place);
                await screen.written(eraseBelow + before);
                if (before !== text) {
                    const cursor = screen.cursor();
                    await screen.written(text.slice(before.length));
                    await screen.showAt(cursor);
                }
            }
            shown = { text, before };
        });
    }
    screen.whenRefitted(draw);

    function deliver(text) {
        if (reader) {
            const waiting = reader;
            reader = null;
            waiting(text);
        } else {
            typed.push(text);
        }
    }

    // The line as it stands becomes part of the screen above the next one;
    // entered, it is kept in the history too.
    function handOver(entered = true) {
        line.end();
        draw();
        const text = entered ? line.entered() : line.text;
        screen.keep(text);
        line = new Line(history);
        return text;
    }

    function enter() {
        const text = handOver();
        screen.print("\r\n");
        deliver(text + "\n");
    }

    // Ctrl+D: the end of the input on an empty line; else the line so far,
    // with no line end, as a terminal hands it over.
    function endOfInput() {
        deliver(line.length === 0 ? null : handOver());
    }

    function interrupt() {
        handOver(false);
        screen.print("^C");
        close();
        interrupted();
    }

    function close() {
        open = false;
        reader = null;
        typed.length = 0;
    }

    // As many characters as the screen can draw again in place: the line
    // being edited must fit on the screen, even were every character wide.
    const room = () => Math.floor((terminal.cols * (terminal.rows - 2)) / 2);

    return {
        // A key pressed at the terminal. xterm.js makes no input of keys:
        // characters come as input events, which data takes, and the keys
        // that are no characters type nothing but what is below. Tab and the
        // browser's shortcuts keep their meaning on the page.
        key(event) {
            const control = event.ctrlKey && !event.altKey && !event.metaKey;
            const letter = shortcutLetter(event);
            // Ctrl+C, Ctrl+Shift+C or ⌘C with text selected copies it.
            if ((control || (mac && event.metaKey)) && letter === "c" && terminal.hasSelection()) {
                event.preventDefault();
                document.execCommand("copy");
                return;
            }
            if (!open || event.isComposing)
                return;
            if (control && !event.shiftKey) {
                const action = { c: interrupt, d: endOfInput, u: () => (line.clear(), draw()) }[letter];
                if (action) {
                    event.preventDefault();
                    action();
                }
                return;
            }
            if (event.ctrlKey || event.altKey || event.metaKey)
                return;
            if (event.key === "Enter") {
                event.preventDefault();
                enter();
                return;
            }
            const edit = editingKeys[event.key];
            if (edit) {
                event.preventDefault();
                edit(line);
                draw();
            }
        },

        // Text typed, composed or pasted: its line ends enter lines; a tab
        // is taken as a blank.
        data(text) {
            if (!open)
                return;
            const parts = text.replace(notCharacters, "").replace(/\t/g, " ").split(/\r\n|\r|\n/);
            parts.forEach((part, k) => {
                const last = k === parts.length - 1;
                line.insert(part, last ? room() : Infinity);
                if (last)
                    draw();
                else
                    enter();
            });
        },

        // The program's output, written where the cursor is; a line being
        // typed ahead of it moves behind it.
        show(text) {
            if (line.length === 0) {
                screen.print(text);
                return;
            }
            screen.step(async () => {
                if (shown.text !== "" && start?.changes === screen.changes) {
                    await screen.moveTo(start.place);
                    await screen.written(eraseBelow);
                }
            });
            screen.print(text);
            draw();
        },

        // Whether a line entered waits to be read.
        hasLine() {
            return typed.length > 0;
        },

        // The next line for the program, with its line end; null at the end
        // of the input.
        nextLine() {
            if (typed.length > 0)
                return Promise.resolve(typed.shift());
            return new Promise(resolve => (reader = resolve));
        },

        // Whether a key was typed ahead of the key wait, in a line entered
        // and not read or one being typed: the wait takes it, and the rest.
        // What is left of a line the program has read was no key.
        takeTypedAhead() {
            const typedAhead = line.length > 0 || typed.some(text => text !== null);
            if (line.length > 0)
                handOver(false);
            typed.length = 0;
            return typedAhead;
        },

        close,
    };
}
