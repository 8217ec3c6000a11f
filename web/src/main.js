// The page's entry: the terminal where chord runs, fitted to the room the page
// gives it, the drawing beside it, loaded after, and the controls around
// them.

// In this order: the language first, before the charts read it; the page's
// style sheet after xterm.js's and before uPlot's, as each overrides the one
// before.
import "./page/language.js";
import { createTerminal } from "./terminal/terminal.js";
import "../page.css";
import "uplot/dist/uPlot.min.css";
import { linkedInput, offerLink } from "./page/equation_link.js";
import { laterDrawing } from "./page/later_drawing.js";
import { keepForOffline } from "./page/offline.js";
import { createRuns } from "./program/runs.js";
import { fitToRoom } from "./terminal/fit.js";
import { createKeyWait } from "./terminal/key_wait.js";
import { createScreen } from "./terminal/screen.js";

const area = document.getElementById("terminal");
const terminal = createTerminal(area, () => runs.input);
const screen = createScreen(terminal);
fitToRoom(terminal, screen);
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

const drawing = laterDrawing(document.getElementById("drawing"));
const runs = createRuns({
    terminal,
    screen,
    keyWait: createKeyWait(area),
    drawing,
    stated(state) {
        page.state = state;
        if (state === "input")
            drawing.load();
        if (state === "input" && linked?.lines.length > 0)
            runs.input.data(`${linked.lines.shift()}\n`);
    },
    ended(code) {
        page.state = "ended";
        page.status = code;
        status.textContent = endings[code] ?? `Программа завершилась, код возврата ${code}.`;
        again.focus();
    },
});

const shared = document.querySelector("[data-part=shared]");
const linkAddress = document.querySelector("[data-part=link-address]");
offerLink(document.querySelector("[data-part=share]"), { said: shared, address: linkAddress }, runs.linesRead);

again.addEventListener("click", () => {
    if (linked)
        linked.lines.length = 0;
    // The link shown was to the equation of the run before.
    shared.textContent = linkAddress.textContent = "";
    linkAddress.hidden = true;
    delete shared.dataset.link;
    status.textContent = "";
    delete page.status;
    runs.run();
    terminal.focus();
});
runs.run();
terminal.focus();
keepForOffline();
