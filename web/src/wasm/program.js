// The program's WebAssembly, compiled once per page load as chord.js is read
// (embed_program.js): every run instantiates the compiled module afresh, so
// each starts from its start values without compiling again.

// A new instance of the program with options (createChord's); its promise
// fails if the WebAssembly cannot be compiled or instantiated.
export function createProgram(options) {
    return new Promise((resolve, reject) => {
        globalThis
            .createChord({
                ...options,
                instantiateWasm(imports, receive) {
                    globalThis.createChord.compiled
                        .then(module => WebAssembly.instantiate(module, imports).then(instance => receive(instance, module)))
                        .catch(reject);
                    return {};
                },
            })
            .then(resolve, reject);
    });
}
