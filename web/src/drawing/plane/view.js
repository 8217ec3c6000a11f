// What part of the complex plane the picture shows: framed to the start
// points and the roots until the user zooms or pans, then the user's, with
// the same scale on both axes. Zoom stops at a million times the framed
// view, and before the tick labels, in the program's six digits, would no
// longer tell two ticks apart.

import { starts } from "../../data/chord_method.js";
import { readable, ticks } from "./ticks.js";

// What a press of + or − zooms by.
export const zoomStep = 1.5;
const deepest = 1e6;
const widest = 1e-3;

// The rectangle that shows the start points and the roots well: all roots
// that reached the tolerance, and the others and the true roots unless they
// lie ten times farther out than those; what lies beyond is marked at the
// edge.
function framed(searches, trueRoots) {
    const roots = searches.filter(search => search.root);
    const reached = roots.filter(search => search.end === "tolerance").map(search => search.root);
    const reach = 10 * Math.max(Math.SQRT2, ...reached.map(root => Math.hypot(root.re, root.im)));
    const others = roots.filter(search => search.end !== "tolerance" && Math.hypot(search.root.re, search.root.im) <= reach);
    const framedPoints = [...starts, ...reached, ...others.map(search => search.root), ...trueRoots.filter(z => Math.hypot(z.re, z.im) <= reach)];
    const box = axis => [Math.min(...framedPoints.map(z => z[axis])), Math.max(...framedPoints.map(z => z[axis]))];
    const [[left, right], [bottom, top]] = [box("re"), box("im")];
    const pad = Math.max(0.25, 0.15 * Math.max(right - left, top - bottom));
    return { left: left - pad, right: right + pad, bottom: bottom - pad, top: top + pad };
}

export function createView() {
    let size = { w: 300, h: 300 };
    let searches = [];
    let trueRoots = [];
    let chosen = null; // centre and pixels per unit the user chose; null: framed

    function fitted() {
        const frame = framed(searches, trueRoots);
        const scale = Math.min(size.w / (frame.right - frame.left), size.h / (frame.top - frame.bottom));
        return { re: (frame.left + frame.right) / 2, im: (frame.bottom + frame.top) / 2, scale };
    }
    const current = () => chosen ?? fitted();
    const worldOf = v => ({ left: v.re - size.w / 2 / v.scale, right: v.re + size.w / 2 / v.scale,
        bottom: v.im - size.h / 2 / v.scale, top: v.im + size.h / 2 / v.scale });
    const shows = v => {
        const world = worldOf(v);
        return [world.left, world.right, world.bottom, world.top].every(Number.isFinite)
            && readable(ticks(world.left, world.right)) && readable(ticks(world.bottom, world.top));
    };

    const view = {
        resize(w, h) {
            size = { w: w || 300, h: h || 300 };
        },
        get size() {
            return size;
        },
        // What the view frames while the user has not chosen one: the
        // searches and the true roots. Draws nothing.
        frameAround(searchesSoFar, roots) {
            [searches, trueRoots] = [searchesSoFar, roots];
        },
        world: () => worldOf(current()),
        // What the view shows, as a key: the world and the size.
        key() {
            const world = worldOf(current());
            return `${world.left} ${world.right} ${world.bottom} ${world.top} ${size.w} ${size.h}`;
        },
        // Where a point of the plane is drawn, in pixels from the top left.
        projection() {
            const v = current();
            return z => ({ x: size.w / 2 + (z.re - v.re) * v.scale, y: size.h / 2 - (z.im - v.im) * v.scale });
        },
        // Zooms by factor about the pixel (x, y), the middle by default;
        // false where a limit stops it.
        zoom(factor, x = size.w / 2, y = size.h / 2) {
            const v = current();
            const re = v.re + (x - size.w / 2) / v.scale;
            const im = v.im - (y - size.h / 2) / v.scale;
            const scale = v.scale * factor;
            const framedScale = fitted().scale;
            const next = { re: re - (x - size.w / 2) / scale, im: im + (y - size.h / 2) / scale, scale };
            if (scale > framedScale * deepest || scale < framedScale * widest || !shows(next))
                return false;
            chosen = next;
            return true;
        },
        // Moves the picture by dx, dy pixels.
        pan(dx, dy) {
            const v = current();
            const next = { ...v, re: v.re - dx / v.scale, im: v.im + dy / v.scale };
            if (!shows(next))
                return false;
            chosen = next;
            return true;
        },
        reset() {
            chosen = null;
        },
        // Keeps the view framed now, whatever the searches become.
        hold() {
            chosen = current();
        },
    };
    return view;
}
