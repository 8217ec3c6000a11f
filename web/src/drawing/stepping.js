// Stepping through a run's points one at a time, by the buttons and, with
// the plane or a step button focused, by ← → Home End. Elsewhere those keys
// keep the browser's meaning: the table scrolls, a link is a link.

// parts: the buttons, the plane and the step buttons' group; run: count()
// of points, selected() and select(n) (from 1, null: all).
export function attachStepping(parts, run, lifetime) {
    const stepTo = n => run.select(n >= run.count() ? null : Math.max(1, n));
    const actions = {
        first: () => stepTo(1),
        back: () => stepTo((run.selected() ?? run.count()) - 1),
        forward: () => stepTo((run.selected() ?? run.count()) + 1),
        all: () => stepTo(Infinity),
    };
    for (const [name, action] of Object.entries(actions))
        lifetime.listen(parts[name], "click", action);
    const keys = { ArrowLeft: actions.back, ArrowRight: actions.forward, Home: actions.first, End: actions.all };
    const stepKeys = event => {
        const action = keys[event.key];
        if (action && !event.ctrlKey && !event.altKey && !event.metaKey && !event.shiftKey && run.count() > 0) {
            event.preventDefault();
            action();
        }
    };
    lifetime.listen(parts.plane, "keydown", stepKeys);
    lifetime.listen(parts.steps, "keydown", stepKeys);
}
