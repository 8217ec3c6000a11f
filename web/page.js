// The page's console for chord: a terminal (xterm.js) with the line
// discipline of a terminal in canonical mode for the program's input, and
// one run of the program after another, each from its start values.
"use strict";

const terminal = new Terminal({ cols: 100, rows: 30, fontSize: 15, scrollback: 1000 });
terminal.open(document.getElementById("terminal"));
// What the program is doing, for whoever watches: starting, running,
// input (waiting for a line), key (waiting for a key) or ended.
const page = document.body.dataset;
// Keys that alone do not end the key wait, as at the other consoles.
const modifiers = new Set(["Shift", "Control", "Alt", "AltGraph", "Meta", "OS", "Super", "Hyper", "Fn",
    "FnLock", "CapsLock", "NumLock", "ScrollLock", "Symbol", "SymbolLock"]);

let line;      // the line being typed, already echoed
let typed;     // lines typed ahead and not read yet; null is the end of the input
let reader;    // the program, waiting for a line
let rest;      // the bytes of a line the program has not taken yet
let keyWaiter; // the program, waiting for a key
let keyTaken;  // the key that ended the wait, whose other events are not typed

function enter(text) {
    if (reader) {
        const waiting = reader;
        reader = null;
        waiting(text);
    } else {
        typed.push(text);
    }
}

// Echo, Backspace and Enter as a terminal gives them; Ctrl+D ends the input
// at the start of a line and hands over the line so far elsewhere.
terminal.onData(data => {
    if (page.state === "ended" || keyWaiter || keyTaken)
        return;
    for (const character of data) {
        if (character === "\r" || character === "\n") {
            terminal.write("\r\n");
            enter(line + "\n");
            line = "";
        } else if (character === "\x7f" || character === "\b") {
            if (line !== "") {
                line = [...line].slice(0, -1).join("");
                terminal.write("\b \b");
            }
        } else if (character === "\x04") {
            enter(line === "" ? null : line);
            line = "";
        } else if (character >= " " || character === "\t") {
            line += character;
            terminal.write(character);
        }
    }
});

terminal.attachCustomKeyEventHandler(event => {
    if (keyWaiter && event.type === "keydown" && !modifiers.has(event.key)) {
        const waiting = keyWaiter;
        keyWaiter = null;
        keyTaken = true;
        waiting();
    }
    return !keyWaiter && !keyTaken;
});

// What the program's console services call (dialogue/console_web.cpp).
const console_ = {
    show(text) {
        terminal.write(text);
    },
    showByte(byte) {
        terminal.write(byte === 10 ? "\r\n" : String.fromCharCode(byte));
    },
    async nextBytes(size) {
        if (!rest) {
            let text;
            if (typed.length > 0) {
                text = typed.shift();
            } else {
                page.state = "input";
                text = await new Promise(resolve => (reader = resolve));
                page.state = "running";
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
        // A key typed ahead ends the wait at once.
        if (line !== "" || typed.length > 0 || rest) {
            line = "";
            typed = [];
            rest = null;
            return Promise.resolve();
        }
        page.state = "key";
        return new Promise(resolve => (keyWaiter = resolve));
    },
};

function ended(status) {
    page.state = "ended";
    page.status = status;
    document.getElementById("status").textContent = `Программа завершилась, код возврата ${status}.`;
    document.getElementById("ended").hidden = false;
    document.getElementById("again").focus();
}

function run() {
    line = "";
    typed = [];
    reader = rest = keyWaiter = null;
    keyTaken = false;
    page.state = "running";
    delete page.status;
    document.getElementById("ended").hidden = true;
    terminal.reset();
    terminal.focus();
    // main is called here rather than on load: the call's promise gives its
    // status once the run, which waits for the user, has ended.
    createChord({
        terminal: console_,
        noInitialRun: true,
        preRun: [chord => chord.FS.init(() => null, byte => console_.showByte(byte), () => {})],
    }).then(chord => chord.ccall("main", "number", [], [], { async: true })).then(ended);
}

document.getElementById("again").addEventListener("click", run);
run();
