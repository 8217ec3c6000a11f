// The lines entered on the page, oldest first, kept across runs for ↑ and ↓.

export function createHistory() {
    const lines = [];
    return {
        get length() {
            return lines.length;
        },
        at: k => lines[k],
        // Keeps a line unless it is empty or the same as the newest.
        add(text) {
            if (text.trim() !== "" && text !== lines[lines.length - 1])
                lines.push(text);
        },
    };
}
