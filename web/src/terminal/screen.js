// The terminal's screen, written in order. xterm.js parses what it is given
// later, in a task of its own; a step here runs once everything queued before
// it is on the screen, so that the cursor it reads is where the screen has it.

const csi = "\x1b[";
export const eraseBelow = csi + "J";

// The screen row of a buffer line, counted from 1; a line that has scrolled
// off the top is taken as the top row.
const rowOf = (terminal, line) => Math.max(1, line - terminal.buffer.active.baseY + 1);
// Whether a buffer line is on the screen, where the cursor can reach it.
const onScreen = (terminal, line) => line >= terminal.buffer.active.baseY;

// What moves the cursor back to a place read before. No cursor movement
// reaches the end of a full row: the row's last character, written again,
// leaves the cursor there.
function cursorTo(terminal, place) {
    if (place.x < terminal.cols)
        return `${csi}${rowOf(terminal, place.line)};${place.x + 1}H`;
    const line = terminal.buffer.active.getLine(place.line);
    let x = terminal.cols - 1;
    if (line.getCell(x).getWidth() === 0)
        --x; // the right half of a wide character
    return `${csi}${rowOf(terminal, place.line)};${x + 1}H${line.getCell(x).getChars() || " "}`;
}

// The first buffer line of the row the cursor is on, before the rows it has
// wrapped into.
function rowStart(terminal) {
    const buffer = terminal.buffer.active;
    let first = buffer.baseY + buffer.cursorY;
    while (first > 0 && buffer.getLine(first)?.isWrapped)
        --first;
    return first;
}

// Steps run in order, each once everything queued before it is on the
// screen; text printed in between goes in batches, a write each, told to
// changed(text) as it is written.
function createQueue(terminal, changed) {
    let queue = Promise.resolve();
    // Text printed and not yet written: printing often in a row, as the
    // program does byte by byte, makes one write.
    let pending = null;
    const written = text => new Promise(resolve => terminal.write(text, resolve));
    const step = action => {
        pending = null;
        const done = queue.then(action);
        queue = done.catch(error => console.error(error));
        return done;
    };
    const print = text => {
        if (pending !== null) {
            pending.text += text;
            return;
        }
        const batch = { text };
        step(() => {
            // Closed once written: what is printed after goes in a batch of
            // its own.
            if (pending === batch)
                pending = null;
            changed(batch.text);
            return written(batch.text);
        });
        pending = batch;
    };
    return { step, written, print };
}

export function createScreen(terminal) {
    // Everything written but the line being edited: the program's output, and
    // the lines typed and handed over. A resize writes again what the row the
    // cursor is on holds from its last line end (the prompt, and what was
    // typed behind it), since no terminal reflows the row it is writing on.
    // Where that row has grown taller than the screen, its start has scrolled
    // off the top, out of the cursor's reach: the terminal is then cleared
    // and all of it written again, so that no part of the row is left twice.
    let transcript = "";
    const tail = () => transcript.slice(transcript.lastIndexOf("\n") + 1);
    // How many times anything but the line being edited was written, or the
    // screen changed size: a place read before such a change is no longer
    // where it was read.
    let changes = 0;
    const refitted = new Set(); // what line editors draw again after a resize
    const changed = (text = "") => {
        transcript += text;
        ++changes;
    };
    const { step, written, print } = createQueue(terminal, changed);
    // Within a step: the terminal cleared, at its new size, and everything
    // but the line being edited written again; the cursor then stands where
    // that line begins.
    const writeAllAgain = (cols = terminal.cols, rows = terminal.rows) => {
        terminal.reset();
        terminal.resize(cols, rows);
        return written(transcript);
    };

    const screen = {
        // What the terminal shows but the line being edited, as text.
        text: () => transcript.replace(/\r\n/g, "\n"),
        // Runs action (which may return a promise) once all before it is on
        // the screen; returns a promise of its result.
        step,

        // Writes text from within a step; resolves once it is on the screen.
        written,

        // Shows text after everything before it: the program's output, and
        // the line ends of the lines taken from the editor.
        print,

        // Text that is already on the screen, such as a line handed over
        // unended, now part of the row.
        keep(text) {
            step(() => changed(text));
        },

        // Where the cursor is, within a step: the buffer line, the column,
        // and whether the screen has changed since (stale()). At the end of a
        // full row the column is the row's width: the next character wraps.
        cursor() {
            const buffer = terminal.buffer.active;
            const since = changes;
            return { line: buffer.baseY + buffer.cursorY, x: buffer.cursorX, stale: () => changes !== since };
        },

        // Puts the cursor back where a line being edited begins, read before,
        // within a step; where that has scrolled off the top, everything else
        // is written again, which leaves the cursor there.
        moveTo: place => (onScreen(terminal, place.line) ? written(cursorTo(terminal, place)) : writeAllAgain()),

        // Shows the cursor on the character that follows a place: after a
        // full row, at the start of the next one.
        showAt(place) {
            return written(place.x < terminal.cols ? cursorTo(terminal, place) : `${csi}${rowOf(terminal, place.line + 1)};1H`);
        },

        // Gives the terminal a new size. The row the cursor is on, with all
        // the rows it has wrapped into, is erased first and written again
        // after; the rows above are reflowed by the terminal itself. Then the
        // line editors draw their lines again.
        refit(cols, rows) {
            return step(async () => {
                const first = rowStart(terminal);
                if (onScreen(terminal, first)) {
                    await written(`${csi}${rowOf(terminal, first)};1H${eraseBelow}`);
                    terminal.resize(cols, rows);
                    await written(tail());
                } else
                    await writeAllAgain(cols, rows);
                ++changes;
                refitted.forEach(draw => draw());
            });
        },
        // Calls draw after every resize, until the function returned is called.
        onRefit(draw) {
            refitted.add(draw);
            return () => refitted.delete(draw);
        },

        // A clear screen for a new run.
        reset() {
            return step(() => {
                transcript = "";
                ++changes;
                terminal.reset();
            });
        },
    };
    return screen;
}
