// What a line typed at the order prompt holds after each key, as a user
// expects of a shell's prompt: characters are grapheme clusters; ← → Home
// End move, Backspace and Delete take one back, Ctrl+U clears, ↑ ↓ recall
// the lines entered before on the page, a pasted tab is a blank; keys that
// are no characters type nothing.
"use strict";

const segmenter = new Intl.Segmenter("ru", { granularity: "grapheme" });
const split = text => Array.from(segmenter.segment(text), part => part.segment);

class LineModel {
    constructor(history) {
        this.history = history; // the lines entered on the page, shared
        this.characters = [];
        this.cursor = 0;
        this.recalled = history.length;
        this.draft = "";
    }
    get text() {
        return this.characters.join("");
    }
    type(text) {
        const before = this.characters.slice(0, this.cursor).join("") + text.replace(/\t/g, " ");
        this.characters = split(before + this.characters.slice(this.cursor).join(""));
        this.cursor = split(before).length;
    }
    recall(by) {
        const to = Math.min(this.history.length, Math.max(0, this.recalled + by));
        if (to === this.recalled)
            return;
        if (this.recalled === this.history.length)
            this.draft = this.text;
        this.recalled = to;
        this.characters = split(to === this.history.length ? this.draft : this.history[to]);
        this.cursor = this.characters.length;
    }
    enter() {
        const text = this.text;
        if (text.trim() !== "" && text !== this.history[this.history.length - 1])
            this.history.push(text);
    }
    // One key, as edits.txt names it; returns false once the line is entered.
    press(key) {
        const keys = {
            ArrowLeft: () => (this.cursor = Math.max(0, this.cursor - 1)),
            ArrowRight: () => (this.cursor = Math.min(this.characters.length, this.cursor + 1)),
            Home: () => (this.cursor = 0),
            End: () => (this.cursor = this.characters.length),
            Backspace: () => this.cursor > 0 && this.characters.splice(--this.cursor, 1),
            Delete: () => this.characters.splice(this.cursor, 1),
            "Control+KeyU": () => ((this.characters = []), (this.cursor = 0)),
            ArrowUp: () => this.recall(-1),
            ArrowDown: () => this.recall(1),
        };
        if (key === "Enter") {
            this.enter();
            return false;
        }
        keys[key]?.();
        return true;
    }
}

module.exports = { LineModel };
