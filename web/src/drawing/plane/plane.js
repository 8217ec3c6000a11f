// The complex plane: the start points 0 and 1 + i, each search's points joined
// in the order computed, the roots as the program printed them. It is drawn
// by hand in SVG: a complex plane needs the same scale on both axes, and
// trails joined in the order computed rather than sorted by the real part,
// neither of which the charts' library draws; the marks stay elements that a
// screen reader and the tests can reach. The base layer is drawn again only
// when the steps shown, the view or the size change; the rings of the step
// selected and of the one under the pointer have a layer of their own.

import { attachGestures } from "./gestures.js";
import { landscape, lastLandscape } from "./landscape.js";
import { drawBase, drawOverlay, element } from "./marks.js";
import { shownPoints } from "./steps.js";
import { createView } from "./view.js";

// parts: the SVG, the one over it for the rings, the element for a
// gesture's hint and the tooltip; colors: one for each search;
// describe(step): the text of a step; shaded(range): told the range of
// log₁₀|P| the landscape shades, null for none.
export function createPlane({ svg, rings, hint, tooltip }, { colors, describe, shaded, lifetime }) {
    const view = createView();
    const base = element("g", { class: "base" });
    const overlay = element("g");
    svg.replaceChildren(base);
    rings.replaceChildren(overlay);
    let showing = { searches: [], count: 0, selected: null, revision: -1, ground: null, truth: [] };
    let pointed = null; // the step under the pointer: {search, step}
    lifetime.own(() => {
        svg.replaceChildren();
        rings.replaceChildren();
        tooltip.hidden = true;
    });

    const drawMarks = () => drawOverlay(overlay, { view, searches: showing.searches, selected: showing.selected, pointed });
    const drawNow = () => {
        view.resize(svg.clientWidth, svg.clientHeight);
        view.frame(showing.searches, showing.truth);
        const { w, h } = view.size;
        for (const layer of [svg, rings])
            layer.setAttribute("viewBox", `0 0 ${w} ${h}`);
        Object.assign(rings.style, { width: `${w}px`, height: `${h}px` });
        const world = view.world();
        svg.dataset.view = [world.left, world.right, world.bottom, world.top].join(" ");
        // The landscape is made in a task of its own, so that zooming and
        // panning are never held up by it; the last one stands in meanwhile.
        const ground = showing.ground && lastLandscape(showing.ground, view);
        if (showing.ground && (!ground || ground.stale))
            makeLandscape();
        shaded(ground && ground.lo !== null ? ground : null);
        drawBase(base, { view, searches: showing.searches, count: showing.count, colors, ground: ground?.group, truth: showing.truth });
        drawMarks();
    };
    // Gestures and resizes come many times a frame; the drawing's own
    // updates at most once a frame already.
    const draw = lifetime.perFrame(drawNow);
    lifetime.observe(svg, draw);
    const makeLandscape = lifetime.timer(() => {
        if (showing.ground)
            landscape(showing.ground, view);
        draw();
    }, 0);

    // The step nearest the pointer, within 16 pixels; its values beside it.
    function hover(p) {
        let best = null;
        if (p) {
            const at = view.projection();
            shownPoints(showing.searches, showing.count).forEach((points, search) => points.forEach((z, step) => {
                const q = at(z);
                const distance = Math.hypot(q.x - p.x, q.y - p.y);
                if (distance < 16 && (!best || distance < best.distance))
                    best = { distance, search, step };
            }));
        }
        if (best?.search === pointed?.search && best?.step === pointed?.step)
            return;
        pointed = best && { search: best.search, step: best.step };
        tooltip.hidden = !pointed;
        if (pointed) {
            tooltip.textContent = describe(pointed);
            // Below and right of the pointer, within the plane's box, whose
            // top left corner the plane shares.
            const room = svg.parentElement.clientWidth;
            tooltip.style.left = `${Math.max(0, Math.min(p.x + 14, room - tooltip.offsetWidth))}px`;
            tooltip.style.top = `${p.y + 14}px`;
        }
        drawMarks();
    }
    const changed = moved => moved && draw();
    attachGestures(svg, hint, {
        zoom: (factor, x, y) => changed(view.zoom(factor, x, y)),
        pan: (dx, dy) => changed(view.pan(dx, dy)),
        hover,
    }, lifetime);

    return {
        // The searches as far as count points; selected: the step selected
        // ({search, step}), if any; revision: a number that changes
        // whenever the searches do; ground: the polynomial whose landscape
        // lies beneath, if any; truth: the true roots.
        show(searches, count, selected, revision, ground, truth) {
            const same = searches === showing.searches && count === showing.count && revision === showing.revision
                && ground === showing.ground && truth === showing.truth;
            showing = { searches, count, selected, revision, ground, truth };
            if (same)
                drawMarks();
            else
                drawNow();
        },
        // The buttons' zoom and reset, drawn at once: a click is no stream.
        zoom: factor => view.zoom(factor) && drawNow(),
        reset() {
            view.reset();
            drawNow();
        },
    };
}
