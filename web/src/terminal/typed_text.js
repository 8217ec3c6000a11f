// What text typed, composed, pasted or given by a link types: its
// characters, never what the terminal would show as nothing.

// Escape sequences and control characters, which are dropped (tabs and line
// ends are kept).
export const controls = /\x1b(\[[0-?]*[ -/]*[@-~]|O.|.)?|[\x00-\x08\x0b\x0c\x0e-\x1f\x7f-\x9f]/gsu;
// What a terminal shows as nothing, dropped too, so that the program reads
// the line the screen shows: format characters (zero-width spaces and
// joiners, the byte order mark, bidi controls) and line and paragraph
// separators.
export const invisible = /[\p{Cf}\p{Zl}\p{Zp}]/gu;

// Text as the pieces between its line ends; a tab is taken as a blank.
export const typedPieces = text => text.replace(controls, "").replace(invisible, "").replace(/\t/g, " ").split(/\r\n|\r|\n/);
