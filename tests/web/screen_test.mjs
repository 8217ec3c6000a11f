// The terminal's ordered writes (web/src/terminal/screen.js) with xterm.js
// itself (headless), which parses each write in a later task: the program's
// output, a line typed ahead of it and resizes in many orders, the screen
// then holding exactly what was written and typed.
//   node screen_test.mjs node_modules
import assert from "node:assert/strict";
import { createRequire } from "node:module";
import path from "node:path";
import { test } from "node:test";
import { createScreen } from "../../web/src/terminal/screen.js";
import { createTypedLine } from "../../web/src/terminal/typed_line.js";

const { Terminal } = createRequire(path.resolve(process.argv[2], "x"))("@xterm/headless");

// What a walk does, as a line discipline does it: ["show", text] the
// program's output, ["type", character], ["enter"], ["refit", cols, rows],
// ["yield"] (the browser runs meanwhile). Returns the screen's lines (a row
// and the rows it wraps into as one) and those written and typed.
async function walk(steps) {
    const terminal = new Terminal({ cols: 40, rows: 10, scrollback: 5000, allowProposedApi: true });
    const screen = createScreen(terminal);
    const typed = createTypedLine(screen, { length: 0, add() {} });
    screen.onRefit(typed.draw);
    let expected = "";
    for (const [what, text, rows] of steps) {
        const typing = typed.line.length > 0;
        if (what === "show") {
            typing && typed.lift();
            screen.print(text);
            typing && typed.draw();
            expected += text;
        } else if (what === "type") {
            typed.line.insert(text, Math.floor((terminal.cols * (terminal.rows - 2)) / 2));
            typed.draw();
        } else if (what === "enter") {
            expected += `${typed.handOver(false)}\r\n`;
            screen.print("\r\n");
        } else if (what === "refit")
            screen.refit(text, rows);
        else
            await new Promise(setImmediate);
    }
    // And what a resize had the line drawn again after.
    await screen.step(() => {}).then(() => screen.step(() => {}));
    const buffer = terminal.buffer.active;
    const lines = [];
    for (let y = 0; y < buffer.length; ++y)
        buffer.getLine(y).isWrapped ? (lines[lines.length - 1] += buffer.getLine(y).translateToString(true)) : lines.push(buffer.getLine(y).translateToString(true));
    const trimmed = text => text.map(line => line.trimEnd()).join("\n").trimEnd();
    return [trimmed(lines), trimmed((expected + typed.line.text).split("\r\n"))];
}

const prompt = "Задайте порядок уравнения: ";
const typing = text => Array.from(text, character => ["type", character]);
test("a line typed ahead of the prompt and grown taller than the screen by a resize is written once", async () => {
    const [shown, expected] = await walk([...typing(`${" ".repeat(26)}1 -3`), ["refit", 11, 12], ...typing(`2${" ".repeat(58)}9 1 -45 870 -9450`),
        ["show", prompt], ["refit", 67, 19]]);
    assert.equal(shown, expected);
});

// Walks drawn from fixed sequences of numbers, so that a failure comes again.
test("output, typing ahead, line ends and resizes in 60 orders", async () => {
    let seed;
    const random = () => (seed = (seed * 1103515245 + 12345) % 2147483648) / 2147483648;
    const pick = list => list[Math.floor(random() * list.length)];
    const outputs = ["Программа демонстрирует решение алгебраического уравнения методом хорд\r\n", prompt, "x1=2.00001 -1.15506e-10i\r\n"];
    for (let n = 0; n < 60; ++n) {
        seed = n * 7919 + 1;
        const steps = [];
        for (let k = 0; k < 30; ++k) {
            const r = random();
            if (r < 0.35) {
                const text = pick(outputs);
                steps.push(...(random() < 0.5 ? text.match(/\r\n|[^]/g).map(piece => ["show", piece]) : [["show", text]]));
            } else if (r < 0.7)
                steps.push(...typing(pick(["2", " 1 -3", " ".repeat(Math.floor(random() * 80)), "9 1 -45 870 -9450"]))
                    .flatMap(step => (random() < 0.2 ? [step, ["yield"]] : [step])));
            else if (r < 0.85)
                steps.push(["refit", 10 + Math.floor(random() * 80), 8 + Math.floor(random() * 20)]);
            else if (r < 0.95)
                steps.push(["enter"]);
            if (random() < 0.5)
                steps.push(["yield"]);
        }
        const [shown, expected] = await walk(steps);
        assert.equal(shown, expected, `walk ${n}: ${JSON.stringify(steps)}`);
    }
});
