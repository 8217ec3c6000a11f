// How long the page takes to find the true roots of a polynomial of degree
// 9 (web/src/data/true_roots.js, bundled by esbuild as for the page): the
// median and the longest time, in ms, over a fixed set of random
// polynomials whose coefficients span 40 orders of size, real and complex,
// and over the hard cases the page shows (an eightfold root beside a simple
// one, x⁹ − 1, x⁹ − 1e36), each timed on its first call, as the page makes
// it once a run.
//   node bench/true_roots.js build/web/web/node_modules
"use strict";
const { execFileSync } = require("child_process");
const fs = require("fs");
const os = require("os");
const path = require("path");

const modules = path.resolve(process.argv[2]);
const folder = fs.mkdtempSync(path.join(os.tmpdir(), "chord-bench-"));
execFileSync(path.join(modules, ".bin/esbuild"), ["--bundle", "--format=esm", "--log-level=warning", path.join(__dirname, "../web/src/data/true_roots.js"),
    `--outfile=${folder}/true_roots.mjs`], { env: { ...process.env, NODE_PATH: modules } });

import(path.join(folder, "true_roots.mjs")).then(({ trueRoots }) => {
    let seed = 7;
    const random = () => (seed = (seed * 16807) % 2147483647) / 2147483647;
    const wide = () => Math.fround((random() < 0.5 ? -1 : 1) * 10 ** (random() * 40 - 20));
    const real = (n, value) => Array.from({ length: n }, () => [value(), 0]);
    const power = (last, n = 9) => [[1, 0], ...real(n - 1, () => 0), [Math.fround(last), 0]];
    const sets = {
        "real, 1e-20 to 1e20": Array.from({ length: 200 }, () => real(10, wide)),
        "complex, within 1": Array.from({ length: 200 }, () => Array.from({ length: 10 }, () => [Math.fround(2 * random() - 1), Math.fround(2 * random() - 1)])),
        "hard cases": [[1, -9.0078125, 36.0625, -84.21875, 126.4375, -126.546875, 84.4375, -36.21875, 9.0625, -1.0078125].map(c => [c, 0]), power(-1), power(-1e36)],
    };
    for (const [name, polynomials] of Object.entries(sets)) {
        const times = polynomials.map(p => {
            const start = performance.now();
            trueRoots(p);
            return performance.now() - start;
        }).sort((a, b) => a - b);
        console.log(`${name}: ${polynomials.length} polynomials, median ${times[times.length >> 1].toFixed(2)} ms, longest ${times[times.length - 1].toFixed(2)} ms`);
    }
    fs.rmSync(folder, { recursive: true });
});
