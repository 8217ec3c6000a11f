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
import { linkedInput, linkStatus, offerLink } from "./page/equation_link.js";
import { laterDrawing } from "./page/later_drawing.js";
import { keepForOffline } from "./page/offline.js";
import { offerReport } from "./page/report.js";
import { createRuns } from "./program/runs.js";
import { fitToRoom } from "./terminal/fit.js";
import { createKeyWait } from "./terminal/key_wait.js";
import { createScreen } from "./terminal/screen.js";

const area = document.getElementById("terminal");
// A key or text the user types while a link is being typed stops the link.
const typing = {
    key(event) {
        if (!["Shift", "Control", "Alt", "Meta", "CapsLock", "Tab"].includes(event.key))
            stopLink();
        runs.input.key(event);
    },
    data(text) {
        stopLink();
        runs.input.data(text);
    },
};
const terminal = createTerminal(area, () => typing);
const screen = createScreen(terminal);
fitToRoom(terminal, screen);
const page = document.body.dataset;
const status = document.getElementById("status");
const again = document.getElementById("again");
const endings = {
    interrupted: "Программа прервана клавишами Ctrl+C.",
    failed: "Программу не удалось запустить.",
};

// The link being typed (equation_link.js), its lines typed one each time the
// run asks for a line, and how many are typed; null when there is none.
let linked = null;
const tellLink = () => (status.textContent = linkStatus(linked));
function takeLink() {
    const link = linkedInput(location.hash, location.search);
    linked = link && { ...link, typed: 0, stopped: false };
    if (linked)
        tellLink();
    return linked !== null;
}
function stopLink() {
    if (linked && linked.typed < linked.lines.length && !linked.stopped) {
        linked.stopped = true;
        tellLink();
    }
}
takeLink();

const drawing = laterDrawing(document.getElementById("drawing"));
const runs = createRuns({
    terminal,
    screen,
    keyWait: createKeyWait(area),
    // A run begun by a link with an experiment shows it once its roots are written.
    drawing: { begin: () => drawing.begin({ experiment: linked?.starts ?? null }) },
    stated(state) {
        page.state = state;
        if (state === "input")
            drawing.load();
        if (state === "input" && linked && !linked.stopped && linked.typed < linked.lines.length) {
            runs.input.data(linked.lines[linked.typed++]);
            tellLink();
        }
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
const shownRun = { linesRead: runs.linesRead, experimentStarts: drawing.experimentStarts, transcript: screen.text };
offerLink(document.querySelector("[data-part=share]"), { said: shared, address: linkAddress }, shownRun);
offerReport({ fields: document.getElementById("report-fields"), printed: document.getElementById("report-head"),
    button: document.getElementById("print-report") }, shownRun);

// A fresh run, the one going on ended as "Запустить снова" ends it.
function runAgain() {
    // The link shown was to the equation of the run before.
    shared.textContent = linkAddress.textContent = "";
    linkAddress.hidden = true;
    delete shared.dataset.link;
    delete page.status;
    runs.run();
    terminal.focus();
}
again.addEventListener("click", () => {
    linked = null;
    status.textContent = "";
    runAgain();
});
// A link opened in this tab, or come back to by Back or Forward, types its
// equation in a fresh run.
window.addEventListener("hashchange", () => takeLink() && runAgain());
runs.run();
terminal.focus();
keepForOffline();
