// The terminal's ordered writes (web/src/screen.js) with a stand-in for
// xterm.js that parses each write in a later task, as xterm.js does: what
// is printed after a batch was written, with no step between, is written
// too, in order.
//   node screen_test.mjs
import { createScreen } from "../../web/src/terminal/screen.js";

const written = [];
const terminal = {
    write(text, done) {
        setTimeout(() => {
            written.push(text);
            done();
        });
    },
};
const screen = createScreen(terminal);
const until = test => new Promise(resolve => {
    const look = () => (test() ? resolve() : setTimeout(look));
    look();
});

screen.print("Корни ");
screen.print("полинома: ");
await until(() => written.length === 1);
screen.print("\r\nx1=1 0i");
screen.print("\r\n");
await screen.step(() => {});
screen.print("Нажмите любую клавишу");
await screen.step(() => {});
const all = written.join("");
const expected = "Корни полинома: \r\nx1=1 0i\r\nНажмите любую клавишу";
console.log(all === expected ? "1 passed, 0 failed" : `0 passed, 1 failed: ${JSON.stringify(all)}`);
process.exitCode = all === expected ? 0 : 1;
