// Where the plane marks what lies beyond its view: at the nearest place
// within its margin, by a chevron pointing the way out.

import { svgElement } from "./svg.js";

const margin = 8;
const arrows = ["→", "↗", "↑", "↖", "←", "↙", "↓", "↘"];

// Whether the pixel p lies within the rectangle r.
export const within = (p, r) => p.x >= r.left && p.x <= r.right && p.y >= r.top && p.y <= r.bottom;

// Where a pixel beyond a view of size {w, h} is marked, and the direction
// towards it, as an angle and an arrow.
export function atEdge(p, { w, h }) {
    const x = Math.min(w - margin, Math.max(margin, p.x));
    const y = Math.min(h - margin, Math.max(margin, p.y));
    const angle = Math.atan2(y - p.y, p.x - x);
    return { x, y, angle, arrow: arrows[(Math.round(angle / (Math.PI / 4)) + 8) % 8] };
}

export function chevron({ x, y, angle }, size, attributes) {
    const [c, s] = [Math.cos(angle), -Math.sin(angle)];
    const at = (along, across) => `${(x + c * along - s * across).toFixed(1)},${(y + s * along + c * across).toFixed(1)}`;
    return svgElement("polygon", { points: [at(size, 0), at(-size, size), at(-size / 3, 0), at(-size, -size)].join(" "), ...attributes });
}
