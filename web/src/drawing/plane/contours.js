// Lines of equal value over a grid of values, by marching squares, as SVG
// path text: the landscape's decades and its tolerance line.

// The pieces of the lines where values (cols × rows, at the pixels
// place(i, j)) cross the levels from first to last, every apart, as SVG
// path text with digits decimals, leaving out the squares skip(i, j) names.
export function contour(values, cols, rows, place, { first, last = first, every = 1, digits = 2, skip = () => false }) {
    const parts = [];
    const point = (i, j) => {
        const p = place(i, j);
        return `${p.x.toFixed(digits)} ${p.y.toFixed(digits)}`;
    };
    for (let j = 0; j + 1 < rows; ++j) {
        for (let i = 0; i + 1 < cols; ++i) {
            const a = values[j * cols + i];
            const b = values[j * cols + i + 1];
            const c = values[(j + 1) * cols + i + 1];
            const d = values[(j + 1) * cols + i];
            const lo = Math.min(a, b, c, d);
            const hi = Math.max(a, b, c, d);
            if (!(hi > lo) || skip(i, j))
                continue;
            for (let level = Math.max(first, first + Math.ceil((lo - first) / every) * every); level <= Math.min(hi, last); level += every) {
                const found = [];
                if (a < level !== b < level)
                    found.push(point(i + (level - a) / (b - a), j));
                if (b < level !== c < level)
                    found.push(point(i + 1, j + (level - b) / (c - b)));
                if (c < level !== d < level)
                    found.push(point(i + 1 - (level - c) / (d - c), j + 1));
                if (d < level !== a < level)
                    found.push(point(i, j + 1 - (level - d) / (a - d)));
                for (let k = 0; k + 1 < found.length; k += 2)
                    parts.push(`M${found[k]}L${found[k + 1]}`);
            }
        }
    }
    return parts.join("");
}
