// The step nearest the pointer resting on the plane, within 16 pixels, its
// values told in a tooltip beside it.

import { shownPoints } from "../../data/steps.js";

// tooltip: where the values are told; box: the element whose top left
// corner the plane shares; describe(step): the text of a step.
export function createPointer(tooltip, box, describe) {
    let pointed = null; // {search, step}
    return {
        get pointed() {
            return pointed;
        },
        // The pointer at p, in the plane's pixels, or gone (null), over the
        // searches as far as count points; whether the step pointed at
        // changed.
        moved(p, { view, searches, count }) {
            let best = null;
            if (p) {
                const at = view.projection();
                shownPoints(searches, count).forEach((points, search) => points.forEach((z, step) => {
                    const q = at(z);
                    const distance = Math.hypot(q.x - p.x, q.y - p.y);
                    if (distance < 16 && (!best || distance < best.distance))
                        best = { distance, search, step };
                }));
            }
            if (best?.search === pointed?.search && best?.step === pointed?.step)
                return false;
            pointed = best && { search: best.search, step: best.step };
            tooltip.hidden = !pointed;
            if (pointed) {
                tooltip.textContent = describe(pointed);
                // Below and right of the pointer, within the box.
                const room = box.clientWidth;
                tooltip.style.left = `${Math.max(0, Math.min(p.x + 14, room - tooltip.offsetWidth))}px`;
                tooltip.style.top = `${p.y + 14}px`;
            }
            return true;
        },
    };
}
