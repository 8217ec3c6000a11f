// The terminal's ordered writes (web/src/terminal/screen.js), with a
// stand-in for xterm.js that parses each write in a later task, as xterm.js
// does.
import assert from "node:assert/strict";
import { test } from "node:test";
import { createScreen } from "../../web/src/terminal/screen.js";

test("what is printed after a batch was written, with no step between, is written too, in order", async () => {
    const written = [];
    const screen = createScreen({ write: (text, done) => setTimeout(() => done(written.push(text))) });
    screen.print("Корни ");
    screen.print("полинома: ");
    await new Promise(function look(resolve) {
        written.length === 1 ? resolve() : setTimeout(() => look(resolve));
    });
    for (const text of ["\r\nx1=1 0i", "\r\n"])
        screen.print(text);
    await screen.step(() => {});
    screen.print("Нажмите любую клавишу");
    await screen.step(() => {});
    assert.equal(written.join(""), "Корни полинома: \r\nx1=1 0i\r\nНажмите любую клавишу");
});
