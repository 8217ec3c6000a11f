// The terminal takes the room the page gives it: its columns from the width,
// its rows from the height left, fitted again whenever that changes (a window
// resized or zoomed, a phone turned, its on-screen keyboard opened or closed),
// the text reflowed as it goes.

import { FitAddon } from "@xterm/addon-fit";

// Below this the dialogue's prompts and the line typed would not be seen
// together; the page scrolls instead.
const fewestRows = 8;

export function fitToRoom(terminal, screen) {
    const fit = new FitAddon();
    terminal.loadAddon(fit);
    let asked = `${terminal.cols}x${terminal.rows}`;
    let scheduled = false;

    function refit() {
        scheduled = false;
        const size = fit.proposeDimensions();
        if (!size || !Number.isFinite(size.cols) || !Number.isFinite(size.rows))
            return;
        const rows = Math.max(fewestRows, size.rows);
        if (`${size.cols}x${rows}` === asked)
            return;
        asked = `${size.cols}x${rows}`;
        screen.refit(size.cols, rows);
    }
    new ResizeObserver(() => {
        if (!scheduled) {
            scheduled = true;
            requestAnimationFrame(refit);
        }
    }).observe(terminal.element.parentElement);

    // The part of the page in view, which the on-screen keyboard of a phone
    // takes from where the browser does not shrink the page for it: the page
    // is laid out in that height, so that the line typed stays above it.
    const viewport = window.visualViewport;
    if (viewport) {
        const sized = () => document.documentElement.style.setProperty("--room", `${viewport.height}px`);
        viewport.addEventListener("resize", sized);
        sized();
    }
    refit();
}
