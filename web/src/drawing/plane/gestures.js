// The plane's gestures, as on a map embedded in a page: one finger and the
// plain wheel scroll the page (a hint then says how to move the plane); two
// fingers pan and pinch it; Ctrl + wheel, which a trackpad's pinch also
// sends, zooms about the pointer; a mouse drags it. With the plane focused,
// + and − zoom and Shift + arrows pan. The pointer resting on the plane is
// told at most once a frame. The gestures are the box's, which stays while
// the layers in it move; the keys are the plane's, which takes the focus.

import { zoomStep } from "./view.js";

const panKeys = { ArrowLeft: [1, 0], ArrowRight: [-1, 0], ArrowUp: [0, 1], ArrowDown: [0, -1] };
const hints = {
    touch: "Плоскость сдвигают и масштабируют двумя пальцами.",
    wheel: "Масштаб плоскости: Ctrl + колёсико мыши, клавиши + и −.",
};

// The wheel: Ctrl + wheel zooms about the pointer; the plain one is the
// page's.
function attachWheel(box, { act, local, showHint, lifetime }) {
    lifetime.listen(box, "wheel", event => {
        if (!event.ctrlKey) {
            showHint("wheel");
            return;
        }
        event.preventDefault();
        const p = local(event);
        act.zoom(Math.exp(-event.deltaY / 300), p.x, p.y);
    }, { passive: false });
}

// Touch: two fingers are the plane's, one the page's.
function attachTouch(box, { act, local, showHint, lifetime }) {
    let fingers = null; // the two touches last seen, in the plane's pixels
    const pair = touches => [local(touches[0]), local(touches[1])];
    lifetime.listen(box, "touchstart", event => {
        fingers = event.touches.length === 2 ? pair(event.touches) : null;
    }, { passive: true });
    lifetime.listen(box, "touchmove", event => {
        if (event.touches.length !== 2) {
            fingers = null;
            showHint("touch");
            return;
        }
        if (event.cancelable)
            event.preventDefault();
        const now = pair(event.touches);
        if (fingers) {
            const middle = ([a, b]) => ({ x: (a.x + b.x) / 2, y: (a.y + b.y) / 2 });
            const spread = ([a, b]) => Math.max(1, Math.hypot(a.x - b.x, a.y - b.y));
            const [from, to] = [middle(fingers), middle(now)];
            act.pan(to.x - from.x, to.y - from.y);
            act.zoom(spread(now) / spread(fingers), to.x, to.y);
        }
        fingers = now;
    }, { passive: false });
    lifetime.listen(box, "touchend", event => {
        fingers = event.touches.length === 2 ? pair(event.touches) : null;
    });
}

// The mouse: a drag pans; a pointer at rest is hovered.
function attachMouse(box, { act, local, lifetime }) {
    let dragged = null;
    let resting = null;
    const hover = lifetime.perFrame(() => act.hover(resting));
    lifetime.listen(box, "pointerdown", event => {
        if (event.pointerType !== "mouse" || event.button !== 0)
            return;
        box.setPointerCapture(event.pointerId);
        dragged = local(event);
    });
    lifetime.listen(box, "pointermove", event => {
        const p = local(event);
        if (dragged && event.pointerType === "mouse") {
            act.pan(p.x - dragged.x, p.y - dragged.y);
            dragged = p;
            return;
        }
        if (event.pointerType === "mouse") {
            resting = p;
            hover();
        }
    });
    for (const type of ["pointerup", "pointercancel"])
        lifetime.listen(box, type, () => (dragged = null));
    lifetime.listen(box, "pointerleave", () => {
        resting = null;
        hover();
    });
}

// The keys, with the plane focused: + and − zoom, Shift + arrows pan.
function attachKeys(svg, { act, lifetime }) {
    lifetime.listen(svg, "keydown", event => {
        if (event.ctrlKey || event.altKey || event.metaKey)
            return;
        const { w, h } = { w: svg.clientWidth, h: svg.clientHeight };
        if (["+", "="].includes(event.key))
            act.zoomNow(zoomStep);
        else if (["-", "−", "_"].includes(event.key))
            act.zoomNow(1 / zoomStep);
        else if (event.shiftKey && panKeys[event.key])
            act.panNow(panKeys[event.key][0] * w / 10, panKeys[event.key][1] * h / 10);
        else
            return;
        event.preventDefault();
    });
}

// Where a pointer or touch event is in box, in pixels from its top left
// corner inside its border: in the plane's pixels, for the plane's box.
export function pointIn(box, { clientX, clientY }) {
    const { left, top } = box.getBoundingClientRect();
    return { x: clientX - left - box.clientLeft, y: clientY - top - box.clientTop };
}

// box: what holds the plane's layers; svg: the plane; hint: where a hint
// is shown; act: {zoom(factor, x, y), pan(dx, dy)} of a gesture,
// {zoomNow(factor), panNow(dx, dy)} of a key, hover(point or null); x and y
// in the plane's pixels.
export function attachGestures(box, svg, hint, act, lifetime) {
    const local = event => pointIn(box, event);
    const hideHint = lifetime.timer(() => (hint.hidden = true), 2500);
    const showHint = kind => {
        hint.textContent = hints[kind];
        hint.hidden = false;
        hideHint();
    };
    lifetime.own(() => (hint.hidden = true));
    for (const attach of [attachWheel, attachTouch, attachMouse])
        attach(box, { act, local, showHint, lifetime });
    attachKeys(svg, { act, lifetime });
}
