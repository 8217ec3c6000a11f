// Where the labels of the plane and the charts go: beside their points, so
// that no two overlap each other or a mark; for each in turn, the first free
// place around its point, nearest first; farther out it is joined to its
// point by a leader line. Boxes are {x, y, w, h}, x and y their top left.

const directions = [[1, -1], [1, 1], [-1, -1], [-1, 1], [1, 0], [-1, 0], [0, -1], [0, 1]];
const rings = [8, 22, 40, 62, 90];

export const overlaps = (a, b) => a.x < b.x + b.w && b.x < a.x + a.w && a.y < b.y + b.h && b.y < a.y + a.h;
// Whether a box lies within bounds {w, h} from 0, 0.
export const fits = (box, bounds) => box.x >= 0 && box.y >= 0 && box.x + box.w <= bounds.w && box.y + box.h <= bounds.h;

// items: {x, y, w, h} with x, y the point and w, h the label's size;
// taken: the boxes already there (marks, other labels), added to; bounds:
// {w, h}. Returns for each item its box and whether it needs a leader, or
// null where no place is free.
export function placeLabels(items, taken, bounds) {
    return items.map(item => {
        for (const r of rings) {
            for (const [dx, dy] of directions) {
                const box = {
                    x: item.x + dx * r - (dx < 0 ? item.w : dx === 0 ? item.w / 2 : 0),
                    y: item.y + dy * r - (dy < 0 ? item.h : dy === 0 ? item.h / 2 : 0),
                    w: item.w,
                    h: item.h,
                };
                if (fits(box, bounds) && !taken.some(other => overlaps(box, other))) {
                    taken.push(box);
                    return { box, leader: r > rings[1] };
                }
            }
        }
        return null;
    });
}

// Points closer than distance pixels, in groups that share one label.
export function crowds(points, distance) {
    const groups = [];
    for (const point of points) {
        const near = groups.find(group => group.some(other => Math.hypot(other.x - point.x, other.y - point.y) < distance));
        if (near)
            near.push(point);
        else
            groups.push([point]);
    }
    return groups;
}
