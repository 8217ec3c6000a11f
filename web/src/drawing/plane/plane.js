// The complex plane: the start points (0 and 1 + i, handles once a run has
// written its roots), each search's points joined in the order computed,
// the roots as the program printed them, the true roots, over the landscape
// of a search or the map. It is drawn by hand: a complex plane
// needs the same scale on both axes, and trails joined in the order computed
// rather than sorted by the real part, neither of which the charts' library
// draws. In layers, bottom up: the landscape and the grid (SVG), the trails
// (a canvas), the marks and texts (SVG, which a screen reader and the tests
// can reach), the rings of the step selected and of the one under the
// pointer, and the handles. While a gesture goes on, the layers drawn are moved and scaled
// as the view is; they are drawn again once it rests, as a map does.

import { attachGestures } from "./gestures.js";
import { createHandles } from "./handles.js";
import { createLandscapes } from "./landscape.js";
import { drawMarks, drawRings } from "./marks.js";
import { createPointer } from "./pointer.js";
import { svgElement } from "./svg.js";
import { drawTexts } from "./texts.js";
import { ticks } from "./ticks.js";
import { createTrails } from "./trails.js";
import { createView, zoomStep } from "./view.js";

// How long a gesture rests before the plane is drawn again for its view.
const restMs = 150;
// How long a task makes the landscape before it lets the page go on.
const sliceMs = 8;
// Canvas pixels to one of the page's in print, where the screen's few blur.
const printRatio = 4;

// The buttons' zoom and reset, drawn at once: a click is no stream.
function attachZoomButtons(parts, view, { zoomNow, drawNow }, lifetime) {
    lifetime.listen(parts["zoom-in"], "click", () => zoomNow(zoomStep));
    lifetime.listen(parts["zoom-out"], "click", () => zoomNow(1 / zoomStep));
    lifetime.listen(parts["zoom-reset"], "click", () => {
        view.reset();
        drawNow();
    });
}

// Which searches shown as far as count points show their root, and how: a
// key for the marks.
function rootsShown(searches, count) {
    let left = count;
    return searches.map(search => {
        const shown = left >= search.points.length && search.root ? `${search.end} ${search.remark}` : "";
        left -= search.points.length;
        return shown;
    }).join();
}

// The CSS transform that takes a layer drawn for the world drawn to the
// world shown, both of a view of width w.
function moved(drawn, shown, w) {
    const [was, is] = [(drawn.right - drawn.left) / w, (shown.right - shown.left) / w];
    return `translate(${(drawn.left - shown.left) / is}px, ${(shown.top - drawn.top) / is}px) scale(${was / is})`;
}

// What the view shows (world, size) and where it puts points: at(z) in
// pixels, from(x, y) the point at a pixel, and the step of the ticks.
function placeOf(view) {
    const world = view.world();
    const { w, h } = view.size;
    const marks = ticks(world.left, world.right);
    return { world, size: view.size, at: view.projection(), from: (x, y) => ({ re: world.left + x * (world.right - world.left) / w, im: world.top - y * (world.top - world.bottom) / h }),
        step: marks.length > 1 ? marks[1].value - marks[0].value : (world.right - world.left) / 5 };
}

// A picture made for one world ({group, world, width: its pixels across}),
// moved and scaled to view.
function placed(picture, view) {
    const world = view.world();
    const scale = (world.right - world.left) / view.size.w;
    const made = (picture.world.right - picture.world.left) / scale;
    const transform = `translate(${(picture.world.left - world.left) / scale} ${(world.top - picture.world.top) / scale}) scale(${made / picture.width})`;
    // Set only when it changes: set again, the ground is painted again.
    if (picture.group.getAttribute("transform") !== transform)
        picture.group.setAttribute("transform", transform);
    return picture.group;
}

// parts: the layers (plane-ground, plane-trails, plane, plane-marks), the
// element for a gesture's hint (plane-hint), the tooltip and the zoom
// buttons; colors: one for each search; describe(step): the text of a step;
// shaded(range): told the range of log₁₀|P| the landscape shades, null for
// none; startMoved(k, point): start point k moved by its handle.
export function createPlane(parts, { colors, describe, shaded, startMoved, lifetime }) {
    const { plane: svg, "plane-ground": ground, "plane-trails": canvas, "plane-marks": rings } = parts;
    const layers = svg.parentElement; // the box all layers fill
    const view = createView();
    const trails = createTrails(canvas);
    const landscapes = createLandscapes();
    const pointer = createPointer(parts.tooltip, layers.parentElement, describe);
    const [groundBase, base, overlay] = [svgElement("g", { class: "base" }), svgElement("g", { class: "base" }), svgElement("g")];
    const [grid, trailMarks, marks, texts] = [svgElement("g"), svgElement("g"), svgElement("g"), svgElement("g")];
    ground.replaceChildren(groundBase);
    svg.replaceChildren(base);
    base.append(trailMarks, marks, texts);
    rings.replaceChildren(overlay);
    const handles = createHandles(layers, startMoved, lifetime);
    let showing = { searches: [], count: 0, selected: null, revision: -1, landscapeOf: null, trueRoots: [], under: null, starts: [], movable: false,
        map: null };
    const showHandles = () => handles.show(showing.movable ? showing.starts : null, placeOf(view));
    let drawnWorld = null; // the world the layers below the rings were drawn for
    // What the SVG layers show, each drawn again only where it changes, since
    // a layer changed is painted again whole: the ground's view and
    // landscape, and the key of the marks and texts.
    let drawn = { view: "", landscape: null, stale: false, front: "", trueRoots: null };
    let printing = false;
    lifetime.own(() => {
        for (const layer of [ground, svg, rings])
            layer.replaceChildren();
        canvas.width = 0;
        parts.tooltip.hidden = true;
    });

    // While a start point moves, the trails are painted at half the
    // pixels, which costs a quarter of the work a frame, and sharp again
    // once it rests, as a map shows coarse tiles while it moves.
    const ratio = () => (printing ? Math.max(printRatio, devicePixelRatio) : showing.moving ? devicePixelRatio / 2 : devicePixelRatio);
    const drawOverlay = () => drawRings(overlay, { view, searches: showing.searches, selected: showing.selected, pointed: pointer.pointed });
    const drawNow = () => {
        view.resize(layers.clientWidth, layers.clientHeight);
        view.frameAround(showing.searches, showing.trueRoots);
        const { w, h } = view.size;
        for (const layer of [ground, svg, rings]) {
            layer.setAttribute("viewBox", `0 0 ${w} ${h}`);
            Object.assign(layer.style, { width: `${w}px`, height: `${h}px`, transform: "" });
        }
        canvas.style.transform = "";
        // Printed, the layers keep the view's shape at the paper's width.
        layers.style.setProperty("--plane-aspect", `${w} / ${h}`);
        const world = view.world();
        drawnWorld = world;
        svg.dataset.view = [world.left, world.right, world.bottom, world.top].join(" ");
        // The landscape is made in tasks of its own after the frame, so that
        // zooming and panning are never held up by it; the last one stands
        // in meanwhile.
        // The map, where shown, in place of the landscape.
        const landscapeOf = showing.map ? null : showing.landscapeOf;
        const landscape = landscapeOf && landscapes.last(landscapeOf, view);
        if (landscapeOf && (!landscape || landscape.stale))
            makeLandscape();
        shaded(landscape && landscape.lo !== null ? landscape : null);

        const viewChanged = view.key() !== drawn.view;
        if (viewChanged)
            grid.replaceChildren();
        const beneath = showing.map ? placed(showing.map, view) : landscape?.group;
        if (viewChanged || beneath !== drawn.landscape || landscape?.stale !== drawn.stale)
            groundBase.replaceChildren(...(beneath ? [beneath] : []), grid);
        const trailsKey = trails.draw(trailMarks, { view, ...showing, colors, ratio: ratio() });
        const front = `${trailsKey} ${rootsShown(showing.searches, showing.count)} ${showing.starts.map(z => `${z.re} ${z.im}`)}`;
        if (viewChanged || front !== drawn.front || showing.trueRoots !== drawn.trueRoots) {
            marks.replaceChildren();
            texts.replaceChildren();
            const { taken, named } = drawMarks(marks, { view, ...showing, colors });
            // No label covers a trail's chevron at the edge either.
            for (const edge of trailMarks.querySelectorAll(".edge")) {
                const { x, y, width: w, height: h } = edge.getBBox();
                taken.push({ x, y, w, h });
            }
            drawTexts({ grid: viewChanged ? grid : null, texts, marks }, { view, taken, named });
        }
        drawn = { view: view.key(), landscape: beneath, stale: landscape?.stale, front, trueRoots: showing.trueRoots };
        drawOverlay();
        showHandles();
    };
    // Resizes come many times a frame; the drawing's own updates at most
    // once a frame already.
    const draw = lifetime.perFrame(drawNow);
    lifetime.observe(layers, draw);
    // The landscape is made after the frame that shows the new view, in
    // tasks of their own, each a few milliseconds of slices.
    let making = null;
    const makeSlices = lifetime.timer(() => {
        const until = performance.now() + sliceMs;
        while (making && performance.now() < until) {
            if (making.slice()) {
                making = null;
                draw();
            }
        }
        if (making)
            makeSlices();
    }, 0);
    const makeLandscape = lifetime.perFrame(() => {
        making = showing.landscapeOf && !showing.map && landscapes.making(showing.landscapeOf, view);
        makeSlices();
    });

    // A gesture's move: the layers drawn, moved to the view, and the rings
    // drawn in it, once a frame; all drawn again once the gesture rests.
    const rest = lifetime.timer(draw, restMs);
    const glide = lifetime.perFrame(() => {
        const transform = drawnWorld ? moved(drawnWorld, view.world(), view.size.w) : "";
        for (const layer of [ground, canvas, svg])
            layer.style.transform = transform;
        drawOverlay();
        showHandles();
    });
    const changed = viewMoved => {
        if (viewMoved) {
            glide();
            rest();
        }
    };
    // A key's or a button's zoom or pan is a step, drawn at once.
    const zoomNow = factor => view.zoom(factor) && drawNow();
    attachGestures(layers, svg, parts["plane-hint"], {
        zoom: (factor, x, y) => changed(view.zoom(factor, x, y)),
        pan: (dx, dy) => changed(view.pan(dx, dy)),
        zoomNow,
        panNow: (dx, dy) => view.pan(dx, dy) && drawNow(),
        hover: p => pointer.moved(p, { view, searches: showing.searches, count: showing.count }) && drawOverlay(),
    }, lifetime);
    attachZoomButtons(parts, view, { zoomNow, drawNow }, lifetime);
    // Printed, the trails are painted finer for paper, and again for the
    // screen after.
    for (const [event, forPaper] of [["beforeprint", true], ["afterprint", false]]) {
        lifetime.listen(window, event, () => {
            printing = forPaper;
            drawNow();
        });
    }

    return {
        // Where the view puts points (placeOf), as the user last saw it.
        place: () => placeOf(view),
        // Keeps the view as it is while the searches change, as the user
        // moves a start point.
        holdView: () => view.hold(),
        // searches as far as count points; selected: the step selected
        // ({search, step}), if any; revision: a number that changes
        // whenever the searches do; landscapeOf: the polynomial whose
        // landscape lies beneath, if any; trueRoots: the crosses, each with
        // its colour where the map gives one; under: searches drawn faint
        // beneath, if any; starts: the start points ({re, im, name}),
        // movable: whether they are handles; moving: whether one moves;
        // map: {group, world, width} drawn in place of the landscape, if any.
        show(shown) {
            const same = ["searches", "count", "revision", "landscapeOf", "trueRoots", "under", "starts", "movable", "map", "moving"]
                .every(key => shown[key] === showing[key]);
            showing = shown;
            if (same)
                drawOverlay();
            else
                drawNow();
        },
        // The trails as drawn, as SVG paths, for the plane's file.
        trailPaths: () => trails.paths({ view, ...showing, colors, ratio: ratio() }),
    };
}
