// The start points as handles on the plane, for the experiment: each a
// button at least 44 pixels wide over its mark. A mouse or a touch that
// starts on one drags it (elsewhere a finger still scrolls the page); with
// one focused, the arrows move it by a tick of the axes, by a tenth of one
// with Shift. Every place is rounded to a hundredth of a tick, so that the
// points stay short to read and to put in a link.

import { programComplex } from "../../data/numbers.js";
import { pointIn } from "./gestures.js";

const arrows = { ArrowLeft: [-1, 0], ArrowRight: [1, 0], ArrowUp: [0, 1], ArrowDown: [0, -1] };
const names = ["Первая начальная точка", "Вторая начальная точка"];

// A place rounded to a hundredth of step, with no binary tail.
const rounded = (value, step) => Number((Math.round(value / (step / 100)) * (step / 100)).toPrecision(6));

// box: the plane's layers, which the handles stand in; moved(k,
// point): handle k (0 or 1) moved to point ({re, im}) by the user.
export function createHandles(box, moved, lifetime) {
    let place = null; // the view's: at(z) and from(x, y) in pixels, and the tick step
    let points = [];
    const buttons = names.map((name, k) => {
        const button = document.createElement("button");
        Object.assign(button, { type: "button", className: "handle", hidden: true });
        button.setAttribute("aria-label", name);
        button.dataset.handle = k;
        box.append(button);
        return button;
    });
    lifetime.own(() => buttons.forEach(button => button.remove()));
    const local = event => pointIn(box, event);
    const move = (k, re, im) => moved(k, { re: rounded(re, place.step), im: rounded(im, place.step) });

    buttons.forEach((button, k) => {
        let dragging = null; // the pointer's offset from the point it holds
        lifetime.listen(button, "pointerdown", event => {
            if (!place || (event.pointerType === "mouse" && event.button !== 0))
                return;
            // The plane's own drag is not begun.
            event.preventDefault();
            event.stopPropagation();
            button.setPointerCapture(event.pointerId);
            button.focus();
            const p = local(event);
            const at = place.at(points[k]);
            dragging = { dx: at.x - p.x, dy: at.y - p.y };
        });
        lifetime.listen(button, "pointermove", event => {
            if (!dragging)
                return;
            // No step under the pointer is looked for meanwhile.
            event.stopPropagation();
            const p = local(event);
            const z = place.from(p.x + dragging.dx, p.y + dragging.dy);
            move(k, z.re, z.im);
        });
        for (const type of ["pointerup", "pointercancel", "lostpointercapture"])
            lifetime.listen(button, type, () => (dragging = null));
        lifetime.listen(button, "keydown", event => {
            const arrow = arrows[event.key];
            if (!arrow || !place || event.ctrlKey || event.altKey || event.metaKey)
                return;
            event.preventDefault();
            event.stopPropagation();
            const step = event.shiftKey ? place.step / 10 : place.step;
            move(k, points[k].re + arrow[0] * step, points[k].im + arrow[1] * step);
        });
    });

    return {
        // Stands the handles on points (two {re, im}) in the view's place;
        // none where points is null.
        show(shownPoints, viewPlace) {
            [points, place] = [shownPoints ?? [], viewPlace];
            buttons.forEach((button, k) => {
                button.hidden = !shownPoints;
                if (!shownPoints)
                    return;
                const p = place.at(points[k]);
                button.style.transform = `translate(${p.x}px, ${p.y}px)`;
                button.setAttribute("aria-label", `${names[k]} ${programComplex(points[k])}: стрелки двигают её, Shift — мельче`);
            });
        },
    };
}
