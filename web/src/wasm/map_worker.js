// The map's workers: where the first search leads from each second start
// point of a grid, computed by the program's own search off the page's
// thread. They are made from the program's script and the function below,
// both already in the page, so that it starts from disk too, where a
// worker's script cannot be fetched.

// The grids of each request, coarse first: starts along the shorter side.
const levels = [25, 100, 200];

// The worker's own code, run from its text: it takes the compiled program,
// then requests {id, polynomial, first, world, aspect, levels, part,
// parts}, and answers each with {id, level, ends} for each level: the rows
// j with j % parts === part, each cell's root re, root im, steps and end,
// left to right. A request that comes meanwhile stops the one before
// between rows.
function workerMain() {
    let compiled;
    const chord = new Promise(resolve => (compiled = resolve));
    let latest = 0;
    const nextTask = () => new Promise(resolve => setTimeout(resolve, 0));
    self.onmessage = async ({ data }) => {
        if (data.compiled) {
            compiled(createChord({ noInitialRun: true, pageConsole: {}, instantiateWasm(imports, receive) {
                WebAssembly.instantiate(data.compiled, imports).then(instance => receive(instance, data.compiled));
                return {};
            } }));
            return;
        }
        latest = data.id;
        const program = await chord;
        const { id, polynomial, first, world, aspect, levels, part, parts } = data;
        const heap = program.HEAPF32;
        const [slots, starts, ends] = [program._polynomialSlots(), program._mapStartSlots(), program._mapEndSlots()].map(p => p >> 2);
        for (const [level, size] of levels.entries()) {
            const [cols, rows] = aspect >= 1 ? [Math.round(size * aspect), size] : [size, Math.round(size / aspect)];
            const found = new Float32Array(4 * cols * Math.ceil((rows - part) / parts));
            for (let j = part, n = 0; j < rows; j += parts, ++n) {
                if (latest !== id)
                    return;
                heap.set(polynomial.flat(), slots);
                const im = world.top - (j + 0.5) * (world.top - world.bottom) / rows;
                for (let i = 0; i < cols; ++i)
                    heap.set([world.left + (i + 0.5) * (world.right - world.left) / cols, im], starts + 2 * i);
                program._mapSearches(polynomial.length, first.re, first.im, cols);
                found.set(heap.subarray(ends, ends + 4 * cols), 4 * cols * n);
                if (n % 4 === 3)
                    await nextTask();
            }
            self.postMessage({ id, level, cols, rows, ends: found }, [found.buffer]);
        }
    };
}

// Workers for the map, one a processor up to four, each taking every so
// many rows; null where the browser cannot make them. ask({polynomial,
// first, world, aspect}) asks for a new map, answered by told({cols, rows,
// ends, last, world, first}) for each level, all rows of it; dispose() ends
// them.
export function createMapWorker(told) {
    const { createChord } = globalThis;
    const parts = Math.max(1, Math.min(4, navigator.hardwareConcurrency || 2));
    let workers;
    try {
        const text = `var _scriptDir;\nvar createChord = ${createChord.toString()};\n(${workerMain.toString()})();\n`;
        const address = URL.createObjectURL(new Blob([text], { type: "text/javascript" }));
        workers = Array.from({ length: parts }, () => new Worker(address));
        URL.revokeObjectURL(address);
    } catch (error) {
        console.error(error);
        workers?.forEach(worker => worker.terminate());
        return null;
    }
    let id = 0;
    let asked = null;
    let levelsDone = []; // each level's cells so far, and how many parts came
    createChord.compiled.then(compiled => workers.forEach(worker => worker.postMessage({ compiled })));
    workers.forEach((worker, part) => {
        worker.onmessage = ({ data }) => {
            if (data.id !== id)
                return;
            const { level, cols, rows, ends } = data;
            const done = (levelsDone[level] ??= { ends: new Float32Array(4 * cols * rows), parts: 0 });
            for (let j = part, n = 0; j < rows; j += parts, ++n)
                done.ends.set(ends.subarray(4 * cols * n, 4 * cols * (n + 1)), 4 * cols * j);
            if (++done.parts === parts)
                told({ cols, rows, ends: done.ends, last: level === levels.length - 1, world: asked.world, first: asked.first });
        };
    });
    return {
        ask(request) {
            asked = request;
            levelsDone = [];
            ++id;
            workers.forEach((worker, part) => worker.postMessage({ ...request, id, levels, part, parts }));
        },
        dispose: () => workers.forEach(worker => worker.terminate()),
    };
}
