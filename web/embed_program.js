// Writes the program's script with its WebAssembly in it, as
// createChord.program, which nothing can change: a string of one character
// per byte (0 to 255), turned back into the bytes once per load. Base64
// would hide the bytes' repetitions from gzip and cost about 40 % more
// gzipped. The script starts compiling them at once, as
// createChord.compiled, while the page's own script is still being read.
//   node embed_program.js chord.js chord.wasm out.js
import { readFileSync, writeFileSync } from "node:fs";

const [script, binary, out] = process.argv.slice(2);
// Only what may not stand in a string literal is escaped: the quote, the
// backslash and the line ends.
const escapes = { '"': '\\"', "\\": "\\\\", "\n": "\\n", "\r": "\\r" };
const text = Array.from(readFileSync(binary), byte => String.fromCharCode(byte))
    .join("")
    .replace(/["\\\n\r]/g, c => escapes[c]);
const compile = `(() => {
    const text = createChord.program;
    const bytes = new Uint8Array(text.length);
    for (let k = 0; k < text.length; ++k)
        bytes[k] = text.charCodeAt(k);
    const compiled = WebAssembly.compile(bytes);
    compiled.catch(() => {}); // told to each run that takes it
    return compiled;
})()`;
writeFileSync(out, `${readFileSync(script, "utf8")}
Object.defineProperty(createChord, "program", { value: "${text}" });
Object.defineProperty(createChord, "compiled", { value: ${compile} });
`);
