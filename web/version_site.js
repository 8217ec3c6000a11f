// Makes the page's folder one version: every file the page loads gets its
// content's hash in its name, and whatever loads it (the page, its script,
// the manifest) is written with that name, so no cache anywhere can serve
// one version's script with another's page. The worker, whose name the
// browser must find again, keeps its own and is given the version's list.
//   node version_site.js built-folder site-folder
import { createHash } from "node:crypto";
import fs from "node:fs";
import path from "node:path";

const [from, to] = process.argv.slice(2);
// Each file and the files it names, in order: a file comes after those it
// names, so that their new names are known when it is written.
const files = [
    ["icon.svg"], ["icon-192.png"], ["icon-512.png"], ["drawing.js"], ["chord.js"], ["page.css"],
    ["manifest.webmanifest", "icon.svg", "icon-192.png", "icon-512.png"],
    ["page.js", "drawing.js", "manifest.webmanifest", "icon-192.png"],
    ["index.html", "page.css", "icon.svg", "chord.js", "page.js"],
];
const page = "index.html";
const worker = "service-worker.js";

const hash = bytes => createHash("sha256").update(bytes).digest("hex").slice(0, 12);
const names = new Map(); // file → its versioned name
fs.rmSync(to, { recursive: true, force: true });
fs.mkdirSync(to, { recursive: true });
for (const [file, ...loaded] of files) {
    let bytes = fs.readFileSync(path.join(from, file));
    if (loaded.length > 0) {
        // Named in quotes, as the HTML, the manifest and esbuild write it.
        const text = bytes.toString("utf8");
        const missing = loaded.filter(name => !text.includes(`"${name}"`));
        if (missing.length > 0)
            throw new Error(`version_site.js: ${file} does not name ${missing.join(", ")}`);
        bytes = Buffer.from(loaded.reduce((written, name) => written.replaceAll(`"${name}"`, `"${names.get(name)}"`), text));
    }
    const extension = path.extname(file);
    names.set(file, file === page ? file : `${path.basename(file, extension)}.${hash(bytes)}${extension}`);
    fs.writeFileSync(path.join(to, names.get(file)), bytes);
}

// The worker keeps the page under its version and the rest by name alone, as
// a versioned name never changes its contents.
const list = [...names].map(([file, name]) => ({ url: name, revision: file === page ? hash(fs.readFileSync(path.join(to, page))) : null }));
const script = fs.readFileSync(path.join(from, worker), "utf8");
if (!script.includes("self.__WB_MANIFEST"))
    throw new Error(`version_site.js: ${worker} has no self.__WB_MANIFEST to put the list in`);
fs.writeFileSync(path.join(to, worker), script.replace("self.__WB_MANIFEST", JSON.stringify(list)));
