// Which keys pressed at the terminal the line editor takes, as a shell's
// prompt takes them. xterm.js makes no input of keys: characters come as
// input events, and the keys that are no characters type nothing but what is
// here. Tab and the browser's shortcuts keep their meaning on the page.

const editing = {
    ArrowLeft: line => line.move(-1),
    ArrowRight: line => line.move(1),
    Home: line => line.home(),
    End: line => line.end(),
    Backspace: line => line.backspace(),
    Delete: line => line.delete(),
    ArrowUp: line => line.recall(-1),
    ArrowDown: line => line.recall(1),
};
const withControl = { c: "interrupt", d: "endOfInput", u: "clear" };
const mac = /Mac|iPhone|iPad/.test(navigator.platform);

// The letter of a Ctrl shortcut, also with a Cyrillic layout, where Ctrl+C
// comes as "с": then the key's place on the keyboard tells.
function shortcutLetter(event) {
    if (/^[a-z]$/i.test(event.key))
        return event.key.toLowerCase();
    return event.code.startsWith("Key") ? event.code.slice(3).toLowerCase() : "";
}

// What a keydown asks of the line editor: "copy" (Ctrl+C, Ctrl+Shift+C or
// ⌘C with text selected), "interrupt" (Ctrl+C), "endOfInput" (Ctrl+D),
// "clear" (Ctrl+U), "enter", or an edit of the line, a function of it; null
// for a key it leaves alone. reading: whether the run still reads lines.
export function keyAction(event, selected, reading) {
    const control = event.ctrlKey && !event.altKey && !event.metaKey;
    const letter = shortcutLetter(event);
    if ((control || (mac && event.metaKey)) && letter === "c" && selected)
        return "copy";
    if (!reading || event.isComposing)
        return null;
    if (control && !event.shiftKey)
        return withControl[letter] ?? null;
    if (event.ctrlKey || event.altKey || event.metaKey)
        return null;
    if (event.key === "Enter")
        return "enter";
    return editing[event.key] ?? null;
}
