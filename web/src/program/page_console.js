// What one run gives the program as its console (dialogue/console_web.cpp):
// what it writes, shown on the terminal; its standard input, read from the
// lines typed there; its key wait; and the observer of what its run tells.

const windows1251 = new TextDecoder("windows-1251");

// input: the run's line discipline; keyWait: the page's; observer: told of
// the searches and the roots written; active(): whether the run still goes
// on; state(name): tells what the run does once the screen shows all before;
// stateNow(name): at once; read: the lines read, each with its line end
// (null: the end of the input), appended to.
export function createPageConsole({ input, keyWait, observer, active, state, stateNow, read }) {
    let rest = null; // the bytes of the line being read that the program has not taken yet
    const told = name => (...args) => active() && observer[name](...args);

    return {
        // A line end moves to the next line's start, as a terminal's output does.
        write: bytes => active() && input.show(windows1251.decode(bytes).replace(/\n/g, "\r\n")),

        async nextBytes(size) {
            if (!rest) {
                if (!input.hasLine())
                    state("input");
                const text = await input.nextLine();
                if (active()) {
                    read.push(text);
                    // At once: the line is the program's, whatever is still
                    // being drawn.
                    stateNow("running");
                }
                if (text === null)
                    return null;
                rest = new TextEncoder().encode(text);
            }
            const bytes = rest.subarray(0, size);
            rest = rest.length > size ? rest.subarray(size) : null;
            return bytes;
        },

        keyPress() {
            // The rest of a line already read is no key; one typed ahead is.
            rest = null;
            const typedAhead = input.takeTypedAhead();
            input.close();
            if (typedAhead)
                return Promise.resolve();
            state("key");
            return keyWait.wait();
        },

        observer: {
            searchStarted: told("searchStarted"),
            searchStepped: told("searchStepped"),
            searchEnded: told("searchEnded"),
            rootWritten: told("rootWritten"),
        },
    };
}
