// The page's entry: the terminal where chord runs, fitted to the room the page
// gives it, and the controls around it.

import "./language.js";
import { Terminal } from "@xterm/xterm";
import "@xterm/xterm/css/xterm.css";
import "../page.css";
import { createDrawing } from "./drawing.js";
import { linkedInput, offerLink } from "./equation_link.js";
import { fitToRoom } from "./fit.js";
import { createKeyWait } from "./key_wait.js";
import { keepForOffline } from "./offline.js";
import { createRuns } from "./runs.js";
import { createScreen } from "./screen.js";

// What a screen reader calls the terminal's input.
Terminal.strings.promptLabel = "Ввод для программы chord";
Terminal.strings.tooMuchOutput = "Слишком много вывода: прочтите строки терминала по одной";

const area = document.getElementById("terminal");
const terminal = new Terminal({
    fontSize: 15,
    fontFamily: '"DejaVu Sans Mono", Menlo, Consolas, "Liberation Mono", monospace',
    scrollback: 1000,
    // The dialogue read out as it is written, and kept as text a screen
    // reader can go through.
    screenReaderMode: true,
});
terminal.open(area);
// For the browser's developer tools and the page's test.
globalThis.chordTerminal = terminal;

const screen = createScreen(terminal);
fitToRoom(terminal, screen);
const keyWait = createKeyWait(area);
const page = document.body.dataset;
const status = document.getElementById("status");
const again = document.getElementById("again");
const endings = {
    interrupted: "Программа прервана клавишами Ctrl+C.",
    failed: "Программу не удалось запустить.",
};

// A link's lines, typed one each time the first run asks for a line.
const linked = linkedInput(location.hash);
if (linked)
    status.textContent = linked.said;

const runs = createRuns({
    terminal,
    screen,
    keyWait,
    drawing: createDrawing(document.getElementById("drawing")),
    stated(state) {
        page.state = state;
        if (state === "input" && linked?.lines.length > 0)
            runs.lines.data(`${linked.lines.shift()}\n`);
    },
    ended(code) {
        page.state = "ended";
        page.status = code;
        status.textContent = endings[code] ?? `Программа завершилась, код возврата ${code}.`;
        again.focus();
    },
});
// Keys go to the line editor, never to xterm.js, which would type escape
// sequences for them. What is typed comes as input events, also from input
// methods and on-screen keyboards (xterm.js takes none of those in its screen
// reader mode); what is composed or pasted comes from xterm.js.
terminal.attachCustomKeyEventHandler(event => {
    if (event.type === "keydown")
        runs.lines.key(event);
    return false;
});
terminal.textarea.addEventListener("input", event => {
    if (event.isComposing || !event.data || !["insertText", "insertReplacementText"].includes(event.inputType))
        return;
    runs.lines.data(event.data);
    // Empty, so that an on-screen keyboard sends Backspace as a key.
    terminal.textarea.value = "";
});
terminal.onData(data => runs.lines.data(data));
// A tap gives the terminal the focus, which opens the on-screen keyboard.
area.addEventListener("pointerup", event => event.pointerType !== "mouse" && terminal.focus());

const shared = document.querySelector("[data-part=shared]");
offerLink(document.querySelector("[data-part=share]"), shared, runs.entered);

again.addEventListener("click", () => {
    if (linked)
        linked.lines.length = 0;
    // The link shown was to the equation of the run before.
    shared.textContent = "";
    delete shared.dataset.link;
    status.textContent = "";
    delete page.status;
    runs.run();
    terminal.focus();
});
runs.run();
terminal.focus();
keepForOffline();
