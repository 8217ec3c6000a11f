// The line being typed, as the user sees it: its characters, each a grapheme
// cluster (a letter with its accents, a wide character) that the cursor steps
// over and Backspace takes back whole; the cursor between them; and the lines
// typed before on this page (history.js), to recall.

const segmenter = typeof Intl === "object" && Intl.Segmenter ? new Intl.Segmenter("ru", { granularity: "grapheme" }) : null;
const charactersOf = text => (segmenter ? Array.from(segmenter.segment(text), part => part.segment) : Array.from(text));
// An accent with no letter before it would join the prompt's last character
// on the screen.
const unattached = /^\p{M}/u;

export class Line {
    // history: the lines entered so far, shared by every line.
    constructor(history) {
        this.history = history;
        this.characters = [];
        this.cursor = 0;
        this.recalled = history.length; // history.length: the line being typed, not one recalled
        this.draft = "";
    }

    get text() {
        return this.characters.join("");
    }
    get beforeCursor() {
        return this.characters.slice(0, this.cursor).join("");
    }
    get length() {
        return this.characters.length;
    }

    // Inserts text at the cursor, up to room characters in the whole line.
    insert(text, room = Infinity) {
        const added = charactersOf(text).slice(0, Math.max(0, room - this.length)).join("");
        const before = this.beforeCursor + added;
        const all = charactersOf(before + this.characters.slice(this.cursor).join(""));
        while (all.length > 0 && unattached.test(all[0]))
            all.shift();
        this.characters = all;
        // An accent joins the character before it: the cursor stands after
        // the characters that make up what was before it.
        let length = 0;
        this.cursor = 0;
        while (this.cursor < all.length && length + all[this.cursor].length <= before.length)
            length += all[this.cursor++].length;
    }

    move(by) {
        this.cursor = Math.min(this.length, Math.max(0, this.cursor + by));
    }
    home() {
        this.cursor = 0;
    }
    end() {
        this.cursor = this.length;
    }
    backspace() {
        if (this.cursor > 0)
            this.characters.splice(--this.cursor, 1);
    }
    delete() {
        this.characters.splice(this.cursor, 1);
    }
    clear() {
        this.characters = [];
        this.cursor = 0;
    }

    // ↑ (by -1) and ↓ (by 1): an earlier or a later line of the history in
    // place of this one; past the newest, the line that was being typed.
    recall(by) {
        const to = Math.min(this.history.length, Math.max(0, this.recalled + by));
        if (to === this.recalled)
            return;
        if (this.recalled === this.history.length)
            this.draft = this.text;
        this.recalled = to;
        this.characters = charactersOf(to === this.history.length ? this.draft : this.history.at(to));
        this.cursor = this.length;
    }
}
