// The terminal where chord runs: xterm.js with the page's font, labels and
// screen reader mode, its keys and what is typed into it handed to the line
// editor of the run going on.

import { Terminal } from "@xterm/xterm";
import "@xterm/xterm/css/xterm.css";

// What a screen reader calls the terminal's input.
Terminal.strings.promptLabel = "Ввод для программы chord";
Terminal.strings.tooMuchOutput = "Слишком много вывода: прочтите строки терминала по одной";

// area: the element it fills; typing(): what takes its keys and text, as
// {key(event), data(text)}.
export function createTerminal(area, typing) {
    const terminal = new Terminal({
        fontSize: 15,
        fontFamily: '"DejaVu Sans Mono", Menlo, Consolas, "Liberation Mono", monospace',
        scrollback: 1000,
        // The dialogue read out as it is written, and kept as text a screen
        // reader can go through.
        screenReaderMode: true,
    });
    terminal.open(area);
    // Keys go to the line editor, never to xterm.js, which would type escape
    // sequences for them. What is typed comes as input events, also from
    // input methods and on-screen keyboards (xterm.js takes none of those in
    // its screen reader mode); what is composed or pasted comes from xterm.js.
    terminal.attachCustomKeyEventHandler(event => {
        if (event.type === "keydown")
            typing().key(event);
        return false;
    });
    terminal.textarea.addEventListener("input", event => {
        if (event.isComposing || !event.data || !["insertText", "insertReplacementText"].includes(event.inputType))
            return;
        typing().data(event.data);
        // Empty, so that an on-screen keyboard sends Backspace as a key.
        terminal.textarea.value = "";
    });
    terminal.onData(data => typing().data(data));
    // A tap gives the terminal the focus, which opens the on-screen keyboard.
    area.addEventListener("pointerup", event => event.pointerType !== "mouse" && terminal.focus());
    // For the browser's developer tools and the page's test, on its element.
    area.terminal = terminal;
    return terminal;
}
