// Each search's trail on the plane: its points joined in the order computed,
// painted on a canvas beneath the marks, where ten thousand lines take
// milliseconds and SVG takes a second; the points themselves where few, and
// a chevron at the edge for those beyond the view, in SVG with the marks.
// A trail keeps only what the view can show: its pieces clipped to the
// view, in half pixels, each piece drawn once, and a trail on one line as
// the one piece its pieces cover; a step forward paints only its new
// pieces.

import { shownPoints } from "../../data/steps.js";
import { atEdge, chevron, within } from "./edges.js";
import { svgElement } from "./svg.js";

// A trail of more pieces than this is drawn one device pixel wide: at two
// pixels it is a blot, and a wide line costs ten times as much to paint. A
// dashed line over that many takes seconds, so a trail whose root carries
// the remark is then drawn solid, its root mark hollow as ever.
const mostWidePieces = 1000;
const width = 2;
const remarkDash = [6, 4];
const mostDots = 400;
// The run's trails under an experiment's, 3:1 against white.
const underColor = "#8a8a8a";
// Pieces painted in one stroke: a long path's stroke costs more than its
// parts'.
const strokeLength = 32;

// The part of the segment a-b within the rectangle r (Liang–Barsky); null
// if none. Points far away thus never reach the drawing as huge numbers.
function clip(a, b, r) {
    let t0 = 0;
    let t1 = 1;
    const dx = b.x - a.x;
    const dy = b.y - a.y;
    for (const [p, q] of [[-dx, a.x - r.left], [dx, r.right - a.x], [-dy, a.y - r.top], [dy, r.bottom - a.y]]) {
        if (p === 0 && q < 0)
            return null;
        const t = q / p;
        if (p < 0)
            t0 = Math.max(t0, t);
        else if (p > 0)
            t1 = Math.min(t1, t);
    }
    return t0 > t1 ? null : [{ x: a.x + t0 * dx, y: a.y + t0 * dy }, { x: a.x + t1 * dx, y: a.y + t1 * dy }];
}

const half = v => Math.round(v * 2) / 2;

// The pieces of a trail whose clipped pieces (x0 y0 x1 y1 each, null for
// none) all lie on one line, within a sixteenth of a pixel: as a path
// joined end to end covers, on one line, the one piece from its least to
// its greatest point there, so each point's trail is that one piece. Null
// where they do not.
function straightTrail(clipped) {
    const first = clipped.find(c => c && (c[0] !== c[2] || c[1] !== c[3]));
    if (!first)
        return null;
    const length = Math.hypot(first[2] - first[0], first[3] - first[1]);
    const [ux, uy] = [(first[2] - first[0]) / length, (first[3] - first[1]) / length];
    const along = (x, y) => (x - first[0]) * ux + (y - first[1]) * uy;
    const off = (x, y) => Math.abs((x - first[0]) * uy - (y - first[1]) * ux);
    const [lo, hi] = [new Float64Array(clipped.length).fill(Infinity), new Float64Array(clipped.length).fill(-Infinity)];
    for (let k = 1; k < clipped.length; ++k) {
        [lo[k], hi[k]] = [lo[k - 1], hi[k - 1]];
        const c = clipped[k];
        if (!c)
            continue;
        if (off(c[0], c[1]) > 1 / 16 || off(c[2], c[3]) > 1 / 16)
            return null;
        lo[k] = Math.min(lo[k], along(c[0], c[1]), along(c[2], c[3]));
        hi[k] = Math.max(hi[k], along(c[0], c[1]), along(c[2], c[3]));
    }
    return length => {
        const k = Math.max(0, length - 1);
        if (!(lo[k] <= hi[k]))
            return { pieces: new Float64Array(0), count: 0, extent: "" };
        const ends = [first[0] + lo[k] * ux, first[1] + lo[k] * uy, first[0] + hi[k] * ux, first[1] + hi[k] * uy].map(half);
        return { pieces: Float64Array.from(ends), count: 1, extent: ends.join(" ") };
    };
}

// The pieces of a trail (clipped as straightTrail takes them) in half
// pixels, where a piece drawn before is left out.
function piecesTrail(clipped, { w, h }) {
    // A piece's key: its ends in half pixels from the room's corner, the
    // lesser first, as one number.
    const across = 2 * (w + 2 * width) + 1;
    const high = across * (2 * (h + 2 * width) + 1);
    const place = (x, y) => Math.round(2 * (x + width)) + across * Math.round(2 * (y + width));
    const seen = new Set();
    const pieces = new Float64Array(4 * clipped.length);
    const upTo = new Int32Array(clipped.length);
    clipped.forEach((c, k) => {
        if (c) {
            const [from, to] = [place(c[0], c[1]), place(c[2], c[3])];
            const line = Math.min(from, to) * high + Math.max(from, to);
            if (!seen.has(line)) {
                pieces.set(c.map(half), 4 * seen.size);
                seen.add(line);
            }
        }
        upTo[k] = seen.size;
    });
    return length => ({ pieces, count: upTo[Math.max(0, length - 1)], extent: "" });
}

// A search's trail in a view: cut(length), the pieces (x0 y0 x1 y1 each)
// of its first length points, clipped to the view and a stroke's width
// around it, in half pixels, how many, and for a straight trail its extent;
// the points in view, and the chevrons for those beyond it, each with the
// first point it stands for.
function wholeTrail(points, { at, size }) {
    const room = { left: -width, right: size.w + width, top: -width, bottom: size.h + width };
    const viewed = { left: 0, right: size.w, top: 0, bottom: size.h };
    const pixels = points.map(at);
    const clipped = pixels.map((b, k) => {
        const a = pixels[k - 1];
        const piece = k > 0 && (within(a, room) && within(b, room) ? [a, b] : clip(a, b, room));
        return piece ? [piece[0].x, piece[0].y, piece[1].x, piece[1].y] : null;
    });
    const cut = straightTrail(clipped) ?? piecesTrail(clipped, size);
    const inView = [];
    const beyond = new Map();
    pixels.forEach((p, k) => {
        if (within(p, viewed)) {
            inView.push({ p, k });
            return;
        }
        // One chevron for each few pixels of the edge and way out.
        const edge = atEdge(p, size);
        const place = `${Math.round(edge.x / 6)} ${Math.round(edge.y / 6)} ${edge.arrow}`;
        if (!beyond.has(place))
            beyond.set(place, { edge, k });
    });
    return { cut, inView, beyond: [...beyond.values()] };
}

// How the trail of a search drawn as far as length points looks: its
// colour, width in pixels and dashes, and its pieces.
function lookOf(search, trail, length, color) {
    const shown = trail.cut(length);
    const thin = trail.cut(search.points.length).count > mostWidePieces;
    return { color, width: thin ? 1 / devicePixelRatio : width, dash: search.remark && shown.count <= mostWidePieces ? remarkDash : [], ...shown };
}

// The light casing under a trail: white, wider, unbroken.
const casingOf = look => ({ ...look, color: "#fff", width: look.width + 3, dash: [] });

// Whether the piece at k begins where the one before it ends.
const joined = (pieces, k) => pieces[k] === pieces[k - 2] && pieces[k + 1] === pieces[k - 1];

// Paints pieces from..to of those look holds on context.
function paint(context, from, to, look) {
    const { pieces } = look;
    Object.assign(context, { strokeStyle: look.color, lineWidth: look.width });
    context.setLineDash(look.dash);
    // Each stroke a few pieces; a dashed trail in one, its dashes unbroken.
    const each = look.dash.length > 0 ? Infinity : strokeLength;
    context.beginPath();
    for (let n = from; n < to; ++n) {
        const k = 4 * n;
        if (n === from || !joined(pieces, k))
            context.moveTo(pieces[k], pieces[k + 1]);
        context.lineTo(pieces[k + 2], pieces[k + 3]);
        if ((n - from + 1) % each === 0) {
            context.stroke();
            context.beginPath();
            context.moveTo(pieces[k + 2], pieces[k + 3]);
        }
    }
    context.stroke();
}

// The path of the pieces look holds, as SVG path data.
function pathData({ pieces, count }) {
    let d = "";
    for (let n = 0; n < count; ++n) {
        const k = 4 * n;
        d += (n > 0 && joined(pieces, k) ? "" : `M${pieces[k]} ${pieces[k + 1]}`) + `L${pieces[k + 2]} ${pieces[k + 3]}`;
    }
    return d;
}

// The trails of one plane, painted on canvas, each worked out again only
// when its points or the view change.
export function createTrails(canvas) {
    const context = canvas.getContext("2d");
    const known = new WeakMap(); // a search's points: the view's key and its trail
    let painted = { key: "", looks: [] }; // what the canvas shows: the view, and each trail's look
    let drawnMarks = ""; // the key of the points and chevrons drawn

    // The trails of the searches as far as count points in view, each with
    // its search, length and look.
    function trailsOf(shown) {
        const { view, searches, count, colors } = shown;
        const key = `${view.key()} ${devicePixelRatio} ${shown.ratio}`;
        const geometry = { at: view.projection(), size: view.size };
        const trails = shownPoints(searches, count).map(({ length }, s) => {
            const { points } = searches[s];
            if (known.get(points)?.key !== `${key} ${points.length}`)
                known.set(points, { key: `${key} ${points.length}`, trail: wholeTrail(points, geometry) });
            const { trail } = known.get(points);
            return { s, length, trail, look: lookOf(searches[s], trail, length, colors[s]) };
        });
        return { key, trails };
    }

    return {
        // Paints the searches as far as count points, one colour for each,
        // ratio canvas pixels to one of the view's, and draws into layer the
        // points where few and the chevrons; returns a key that changes
        // whenever what it drew there changes.
        draw(layer, shown) {
            const { key, trails } = trailsOf(shown);
            const { w, h } = shown.view.size;
            const { ratio } = shown;
            const same = (a, b) => a && a.color === b.color && a.width === b.width && a.dash.join() === b.dash.join() && a.extent === b.extent;
            // Only pieces added to the last trail painted: paint those.
            // The run's trails beneath an experiment's: faint, thin, no casing.
            const faint = shown.under ? trailsOf({ ...shown, searches: shown.under, count: Infinity }).trails
                .map(({ look }) => ({ ...look, color: underColor, width: 1, dash: [] })) : [];
            const growing = !shown.under && !painted.under && key === painted.key && trails.length >= painted.looks.length && trails.every((t, s) => s >= painted.looks.length
                || (same(painted.looks[s], t.look) && (painted.looks[s].count === t.look.count || (s === painted.looks.length - 1
                    && t.look.dash.length === 0 && painted.looks[s].count < t.look.count))));
            if (!growing) {
                // Cleared, and made anew only where its size changes: a new
                // one costs the compositor a new bitmap.
                const [width, height] = [Math.round(w * ratio), Math.round(h * ratio)];
                if (canvas.width !== width || canvas.height !== height) {
                    [canvas.width, canvas.height] = [width, height];
                    Object.assign(canvas.style, { width: `${w}px`, height: `${h}px` });
                }
                context.setTransform(1, 0, 0, 1, 0, 0);
                context.clearRect(0, 0, width, height);
                context.setTransform(ratio, 0, 0, ratio, 0, 0);
            }
            if (!growing)
                faint.forEach(look => paint(context, 0, look.count, look));
            // Each trail over a light casing, as maps draw roads, so that it
            // reads over the darkest landscape.
            trails.forEach(({ look }, s) => {
                const from = growing && s < painted.looks.length ? painted.looks[s].count : 0;
                if (from < look.count) {
                    paint(context, from, look.count, casingOf(look));
                    paint(context, from, look.count, look);
                }
            });
            painted = { key, looks: trails.map(t => t.look), under: Boolean(shown.under) };

            // The points where few and the chevrons, drawn again only where
            // they change: a step mostly changes neither.
            const shownMarks = trails.map(({ s, length, trail }) => ({ s, length, chevrons: trail.beyond.filter(({ k }) => k < length),
                dots: length <= mostDots ? trail.inView.filter(({ k }) => k < length) : [] }));
            const marksKey = `${key} ${shownMarks.map(m => `${m.dots.length} ${m.chevrons.length}`).join()}`;
            if (marksKey === drawnMarks && layer.children.length === shownMarks.length) {
                shownMarks.forEach(({ length }, s) => layer.children[s].setAttribute("data-points", length));
                return marksKey;
            }
            drawnMarks = marksKey;
            layer.replaceChildren(...shownMarks.map(({ s, length, dots, chevrons }) => {
                const group = svgElement("g", { class: "trail", "data-search": s + 1, "data-points": length });
                for (const { p } of dots)
                    group.append(svgElement("circle", { cx: p.x, cy: p.y, r: 2.5, fill: shown.colors[s] }));
                for (const { edge } of chevrons)
                    group.append(chevron(edge, 4, { class: "edge", fill: shown.colors[s] }));
                return group;
            }));
            return marksKey;
        },
        // The trails as painted, as SVG paths, for the plane's file.
        paths(shown) {
            const path = (look, className) => svgElement("path", { class: className, d: pathData(look), fill: "none", stroke: look.color,
                "stroke-width": look.width, "stroke-linejoin": "round", ...(look.dash.length > 0 ? { "stroke-dasharray": look.dash.join(" ") } : {}) });
            return trailsOf(shown).trails.flatMap(({ look }) => {
                const drawn = { ...look, width: look.width === width ? width : 1 };
                return [path(casingOf(drawn), "trail-casing"), path(drawn, "trail")];
            });
        },
    };
}
