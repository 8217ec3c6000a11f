// What one run's drawing owns: its listeners, observers, frames and timers
// and object URLs, all let go by dispose, as xterm.js's addons are. Every
// callback it registers is guarded: a fault in one goes to fault(error)
// instead of into the page's own task, and once disposed nothing of it runs.

export function createLifetime(fault) {
    const aborting = new AbortController();
    const undo = [];
    let alive = true;
    const guard = action => (...args) => {
        if (!alive)
            return undefined;
        try {
            return action(...args);
        } catch (error) {
            fault(error);
            return undefined;
        }
    };

    const lifetime = {
        guard,
        listen(target, type, action, options = {}) {
            target.addEventListener(type, guard(action), { ...options, signal: aborting.signal });
        },
        // A ResizeObserver of element, or the like.
        observe(element, action) {
            const observer = new ResizeObserver(guard(action));
            observer.observe(element);
            undo.push(() => observer.disconnect());
        },
        // action before the next frame is painted, once however often asked
        // before then; returns the function that asks.
        perFrame(action) {
            let frame = 0;
            undo.push(() => cancelAnimationFrame(frame));
            return () => {
                if (frame === 0 && alive)
                    frame = requestAnimationFrame(() => {
                        frame = 0;
                        guard(action)();
                    });
            };
        },
        // action after ms, in place of any asked before by this function.
        timer(action, ms) {
            let id = 0;
            undo.push(() => clearTimeout(id));
            return () => {
                clearTimeout(id);
                id = setTimeout(guard(action), ms);
            };
        },
        url(blob) {
            const url = URL.createObjectURL(blob);
            undo.push(() => URL.revokeObjectURL(url));
            return url;
        },
        // Anything else to undo at the end.
        own(dispose) {
            undo.push(dispose);
        },
        // A lifetime of its own within this one, which may end first.
        child() {
            const inner = createLifetime(fault);
            undo.push(inner.dispose);
            return inner;
        },
        dispose() {
            if (!alive)
                return;
            alive = false;
            aborting.abort();
            for (const action of undo.splice(0).reverse()) {
                try {
                    action();
                } catch (error) {
                    console.error(error);
                }
            }
        },
    };
    return lifetime;
}
