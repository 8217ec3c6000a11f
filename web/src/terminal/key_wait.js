// The one key that ends a run, as at the other consoles: any key pressed in
// the terminal but Shift, Ctrl, Alt, Meta and the locks alone; also a paste,
// any key of an on-screen keyboard and, on a touch screen, a tap on the
// terminal. Keys pressed elsewhere, as in the drawing, do what they do
// there. The key is taken whole: none of its events (keydown, its repeats,
// keypress, the input it would type, keyup) reaches anything else, such as
// the button that has the focus once the run has ended.

const modifiers = new Set(["Shift", "Control", "Alt", "AltGraph", "Meta", "OS", "Super", "Hyper", "Fn",
    "FnLock", "CapsLock", "NumLock", "ScrollLock", "Symbol", "SymbolLock"]);
const keyEvents = ["keydown", "keypress", "keyup", "beforeinput", "input", "paste", "compositionstart"];
const endingEvents = new Set(["beforeinput", "paste", "compositionstart"]);

// area: the terminal's element, in which a key or a tap is the key.
export function createKeyWait(area) {
    let ending = null; // the wait's resolve, while it waits
    let held = null; // the code of the key that ended it, until it is released

    function end() {
        const resolve = ending;
        ending = null;
        resolve();
    }

    function take(event) {
        if (event.type === "keydown" && event.code !== held)
            held = null; // another key, pressed after the wait
        const ends = event.type === "keydown" ? !modifiers.has(event.key) : endingEvents.has(event.type);
        if (ending && ends && area.contains(event.target)) {
            if (event.type === "keydown")
                held = event.code;
            event.preventDefault();
            event.stopImmediatePropagation();
            end();
            return;
        }
        if (held === null)
            return;
        event.preventDefault();
        event.stopImmediatePropagation();
        if (event.type === "keyup" && event.code === held)
            held = null;
    }
    // Before anything else on the page sees them.
    for (const type of keyEvents)
        window.addEventListener(type, take, true);
    window.addEventListener("pointerdown", () => (held = null), true);
    area.addEventListener("pointerup", event => {
        if (ending && event.pointerType !== "mouse")
            end();
    });

    return {
        // Resolves once a key has been pressed.
        wait() {
            return new Promise(resolve => (ending = resolve));
        },
        // No wait goes on: a new run starts.
        cancel() {
            ending = null;
        },
    };
}
