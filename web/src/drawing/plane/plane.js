// The complex plane: the start points 0 and 1 + i, each search's points joined
// in the order computed, the roots as the program printed them, the true
// roots, over the landscape of a search. It is drawn by hand in SVG: a
// complex plane needs the same scale on both axes, and trails joined in the
// order computed rather than sorted by the real part, neither of which the
// charts' library draws; the marks stay elements that a screen reader and
// the tests can reach. The base layer is drawn again only when the steps
// shown, the view or the size change; the rings of the step selected and of
// the one under the pointer have a layer of their own.

import { attachGestures } from "./gestures.js";
import { createLandscapes } from "./landscape.js";
import { drawMarks, drawRings } from "./marks.js";
import { createPointer } from "./pointer.js";
import { svgElement } from "./svg.js";
import { drawTexts } from "./texts.js";
import { createTrails } from "./trails.js";
import { createView, zoomStep } from "./view.js";

// Draws into base the landscape (a group) beneath all, then the grid, the
// trails, the marks and the texts.
function drawBase(base, landscape, { view, searches, count, trueRoots, colors, drawTrails }) {
    const [grid, paths, marks, texts] = [svgElement("g"), svgElement("g"), svgElement("g"), svgElement("g")];
    base.replaceChildren(...(landscape ? [landscape] : []), grid, paths, marks, texts);
    drawTrails(paths, { view, searches, count, colors });
    const { taken, named } = drawMarks(marks, { view, searches, count, colors, trueRoots });
    drawTexts({ grid, texts, marks }, { view, taken, named });
}

// The buttons' zoom and reset, drawn at once: a click is no stream.
function attachZoomButtons(parts, view, drawNow, lifetime) {
    lifetime.listen(parts["zoom-in"], "click", () => view.zoom(zoomStep) && drawNow());
    lifetime.listen(parts["zoom-out"], "click", () => view.zoom(1 / zoomStep) && drawNow());
    lifetime.listen(parts["zoom-reset"], "click", () => {
        view.reset();
        drawNow();
    });
}

// parts: the SVG (plane), the one over it for the rings (plane-marks), the
// element for a gesture's hint (plane-hint), the tooltip and the zoom
// buttons; colors: one for each search; describe(step): the text of a step;
// shaded(range): told the range of log₁₀|P| the landscape shades, null for
// none.
export function createPlane(parts, { colors, describe, shaded, lifetime }) {
    const { plane: svg, "plane-marks": rings } = parts;
    const view = createView();
    const drawTrails = createTrails();
    const landscapes = createLandscapes();
    const pointer = createPointer(parts.tooltip, svg.parentElement, describe);
    const base = svgElement("g", { class: "base" });
    const overlay = svgElement("g");
    svg.replaceChildren(base);
    rings.replaceChildren(overlay);
    let showing = { searches: [], count: 0, selected: null, revision: -1, landscapeOf: null, trueRoots: [] };
    lifetime.own(() => {
        svg.replaceChildren();
        rings.replaceChildren();
        parts.tooltip.hidden = true;
    });

    const drawOverlay = () => drawRings(overlay, { view, searches: showing.searches, selected: showing.selected, pointed: pointer.pointed });
    const drawNow = () => {
        view.resize(svg.clientWidth, svg.clientHeight);
        view.frameAround(showing.searches, showing.trueRoots);
        const { w, h } = view.size;
        for (const layer of [svg, rings])
            layer.setAttribute("viewBox", `0 0 ${w} ${h}`);
        Object.assign(rings.style, { width: `${w}px`, height: `${h}px` });
        const world = view.world();
        svg.dataset.view = [world.left, world.right, world.bottom, world.top].join(" ");
        // The landscape is made in a task of its own, so that zooming and
        // panning are never held up by it; the last one stands in meanwhile.
        const landscape = showing.landscapeOf && landscapes.last(showing.landscapeOf, view);
        if (showing.landscapeOf && (!landscape || landscape.stale))
            makeLandscape();
        shaded(landscape && landscape.lo !== null ? landscape : null);
        drawBase(base, landscape?.group, { view, ...showing, colors, drawTrails });
        drawOverlay();
    };
    // Gestures and resizes come many times a frame; the drawing's own
    // updates at most once a frame already.
    const draw = lifetime.perFrame(drawNow);
    lifetime.observe(svg, draw);
    const makeLandscape = lifetime.timer(() => {
        if (showing.landscapeOf)
            landscapes.make(showing.landscapeOf, view);
        draw();
    }, 0);

    const changed = moved => moved && draw();
    attachGestures(svg, parts["plane-hint"], {
        zoom: (factor, x, y) => changed(view.zoom(factor, x, y)),
        pan: (dx, dy) => changed(view.pan(dx, dy)),
        hover: p => pointer.moved(p, { view, searches: showing.searches, count: showing.count }) && drawOverlay(),
    }, lifetime);
    attachZoomButtons(parts, view, drawNow, lifetime);

    return {
        // The searches as far as count points; selected: the step selected
        // ({search, step}), if any; revision: a number that changes
        // whenever the searches do; landscapeOf: the polynomial whose
        // landscape lies beneath, if any; trueRoots: the crosses.
        show(searches, count, selected, revision, landscapeOf, trueRoots) {
            const same = searches === showing.searches && count === showing.count && revision === showing.revision
                && landscapeOf === showing.landscapeOf && trueRoots === showing.trueRoots;
            showing = { searches, count, selected, revision, landscapeOf, trueRoots };
            if (same)
                drawOverlay();
            else
                drawNow();
        },
    };
}
