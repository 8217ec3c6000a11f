// The map's worker: where the first search leads from each second start
// point of a grid, computed by the program's own search off the page's
// thread. It is made from the program's script and the function below,
// both already in the page, so that it starts from disk too, where a
// worker's script cannot be fetched.

// The grids of each request, coarse first: columns along the shorter side.
const levels = [25, 50, 100, 200];

// The worker's own code, run from its text: it takes the compiled program,
// then requests {id, polynomial, first, world, aspect}, and answers each
// with {id, cols, rows, ends, last} for each level (ends: root re, root im, steps,
// end for each cell, row by row from the top left), the latest request
// first: one that comes meanwhile stops the one before between rows.
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
        const { id, polynomial, first, world, aspect, levels } = data;
        const heap = program.HEAPF32;
        const [slots, starts, ends] = [program._polynomialSlots(), program._mapStartSlots(), program._mapEndSlots()].map(p => p >> 2);
        for (const level of levels) {
            const [cols, rows] = aspect >= 1 ? [Math.round(level * aspect), level] : [level, Math.round(level / aspect)];
            const found = new Float32Array(4 * cols * rows);
            for (let j = 0; j < rows; ++j) {
                if (latest !== id)
                    return;
                heap.set(polynomial.flat(), slots);
                const im = world.top - (j + 0.5) * (world.top - world.bottom) / rows;
                for (let i = 0; i < cols; ++i)
                    heap.set([world.left + (i + 0.5) * (world.right - world.left) / cols, im], starts + 2 * i);
                program._mapSearches(polynomial.length, first.re, first.im, cols);
                found.set(heap.subarray(ends, ends + 4 * cols), 4 * cols * j);
                if (j % 4 === 3)
                    await nextTask();
            }
            self.postMessage({ id, cols, rows, ends: found, last: level === levels[levels.length - 1] }, [found.buffer]);
        }
    };
}

// A worker for the map, or null where the browser cannot make one: ask({
// polynomial, first, world, aspect}) asks it for a new map, answered by
// told({cols, rows, ends, last, world, first}) for each level; dispose() ends it.
export function createMapWorker(told) {
    const { createChord } = globalThis;
    let worker;
    try {
        const text = `var _scriptDir;\nvar createChord = ${createChord.toString()};\n(${workerMain.toString()})();\n`;
        const address = URL.createObjectURL(new Blob([text], { type: "text/javascript" }));
        worker = new Worker(address);
        URL.revokeObjectURL(address);
    } catch (error) {
        console.error(error);
        return null;
    }
    let id = 0;
    let asked = null;
    createChord.compiled.then(compiled => worker.postMessage({ compiled }));
    worker.onmessage = ({ data }) => data.id === id && told({ ...data, world: asked.world, first: asked.first });
    return {
        ask(request) {
            asked = request;
            worker.postMessage({ ...request, id: ++id, levels });
        },
        dispose: () => worker.terminate(),
    };
}
