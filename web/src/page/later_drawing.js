// The drawing beside the terminal, loaded once the program first prompts, by a
// script of its own (drawing.js), so that the prompt waits for the terminal
// and the program only. Until that script has run, what a run tells is kept,
// and told to the drawing then; where the script fails to load, the panel
// says so and the program runs on without it.

const told = ["searchStarted", "searchStepped", "searchEnded", "rootWritten"];
const failure = "Рисунок не загрузился; программа работает без него.";

// panel: the drawing's; returns load(), which loads it once however often
// called; begin(options), which makes a run's drawing: the run's observer;
// and experimentStarts().
export function laterDrawing(panel) {
    let drawing = null; // once loaded
    let run = null; // the run now: its observer in the drawing, or what it told before that (kept)
    const fail = () => {
        if (run)
            run.kept = null;
        const fault = panel.querySelector("[data-part=fault]");
        fault.textContent = failure;
        fault.hidden = false;
    };
    const script = document.createElement("script");
    script.addEventListener("load", () => {
        if (!globalThis.chordDrawing) {
            fail();
            return;
        }
        drawing = globalThis.chordDrawing.createDrawing(panel);
        if (run) {
            run.observer = drawing.begin(run.options);
            for (const [name, args] of run.kept)
                run.observer[name](...args);
            run.kept = null;
        }
    });
    script.addEventListener("error", fail);

    return {
        load() {
            if (!script.src) {
                script.src = "drawing.js";
                document.body.append(script);
            }
        },
        // options: the drawing's (drawing/drawing.js).
        begin(options) {
            run?.observer?.dispose();
            const now = { observer: drawing?.begin(options) ?? null, kept: [], options };
            run = now;
            const tell = name => (...args) => (now.observer ? now.observer[name](...args) : now.kept?.push([name, args]));
            return { ...Object.fromEntries(told.map(name => [name, tell(name)])), dispose: () => now.observer?.dispose() };
        },
        // The start points of the experiment shown, null for none.
        experimentStarts: () => drawing?.experimentStarts() ?? null,
    };
}
