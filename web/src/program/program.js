// The program's WebAssembly, compiled once per page load: every run
// instantiates the compiled module afresh, so each starts from its start
// values without compiling again.

let compiled = null;

// The bytes, carried in chord.js as one character per byte, in
// createChord.program, which nothing changes (embed_program.js).
function programBytes() {
    const text = globalThis.createChord.program;
    const bytes = new Uint8Array(text.length);
    for (let k = 0; k < text.length; ++k)
        bytes[k] = text.charCodeAt(k);
    return bytes;
}

// A new instance of the program with options (createChord's); its promise
// fails if the WebAssembly cannot be compiled or instantiated.
export function createProgram(options) {
    compiled ??= WebAssembly.compile(programBytes());
    return new Promise((resolve, reject) => {
        globalThis
            .createChord({
                ...options,
                instantiateWasm(imports, receive) {
                    compiled
                        .then(module => WebAssembly.instantiate(module, imports).then(instance => receive(instance, module)))
                        .catch(reject);
                    return {};
                },
            })
            .then(resolve, reject);
    });
}
