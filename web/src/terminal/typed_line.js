// The line being typed, as the screen shows it: what the line holds and
// what the screen shows of it are the same at every moment. Each change draws
// the line again from where it begins, and the cursor is put where the
// screen itself says the character under it stands.

import { Line } from "./line.js";
import { eraseBelow } from "./screen.js";

// history: the lines entered on this page, kept across runs.
export function createTypedLine(screen, history) {
    let line = new Line(history);
    // Where the line begins on the screen and what is drawn of it, read when
    // it is first drawn after anything else was written.
    let start = null;
    let shown = { text: "", before: "" };
    const placed = () => start !== null && !start.stale();

    const typed = {
        get line() {
            return line;
        },

        // Draws the line as it stands.
        draw() {
            const text = line.text;
            const before = line.beforeCursor;
            screen.step(async () => {
                if (!placed()) {
                    start = screen.cursor();
                    shown = { text: "", before: "" };
                }
                if (text === shown.text && before === shown.before)
                    return;
                if (shown.before === shown.text && before === text && text.startsWith(shown.text)) {
                    // Typed at the end: the new characters echoed, as anywhere.
                    await screen.written(text.slice(shown.text.length));
                } else {
                    await screen.moveTo(start);
                    start = screen.cursor(); // where the line now begins, if the screen was written again
                    await screen.written(eraseBelow + before);
                    if (before !== text) {
                        const cursor = screen.cursor();
                        await screen.written(text.slice(before.length));
                        await screen.showAt(cursor);
                    }
                }
                shown = { text, before };
            });
        },

        // Takes the line off the screen, so that output can be written where
        // it began; it is drawn again behind the output.
        lift() {
            screen.step(async () => {
                if (shown.text !== "" && placed()) {
                    await screen.moveTo(start);
                    start = screen.cursor();
                    await screen.written(eraseBelow);
                }
            });
        },

        // The line as it stands becomes part of the screen above the next
        // one, and of the history unless it was cut short; returns its text.
        handOver(intoHistory = true) {
            line.end();
            typed.draw();
            const text = line.text;
            if (intoHistory)
                history.add(text);
            screen.keep(text);
            line = new Line(history);
            return text;
        },
    };
    return typed;
}
