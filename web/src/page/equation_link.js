// A link to the equation of a run, for a teacher to hand out: the page it
// opens types the same lines into the terminal, one each time the program
// asks, so the run and its drawing come out the same. The link holds only
// text for the program, never more than mostTyped characters of it, and the
// start points of an experiment made on it. Its fragment is a list of keys,
// key=value joined by &: input, the text; starts, the two points as four
// numbers re,im,re,im.

import { controls, invisible } from "../terminal/typed_text.js";

const mostTyped = 2000;
// What Ctrl+D sends: in a link, a line handed over without its line end.
const endOfInput = "\x04";

// The text of a link to the lines read (each with its line end, or without
// one where Ctrl+D handed it over; null: Ctrl+D on an empty line), its last
// line end left out.
const textOf = lines => lines.map(line => (line === null || !line.endsWith("\n") ? `${line ?? ""}${endOfInput}` : line)).join("")
    .replace(/\n$/, "");

// The start points in a link's starts key, null where it holds no two.
function startsOf(text) {
    const numbers = text.split(",").map(Number);
    return numbers.length === 4 && text.split(",").every(part => part.trim() !== "") && numbers.every(Number.isFinite)
        ? [{ re: numbers[0], im: numbers[1] }, { re: numbers[2], im: numbers[3] }] : null;
}

// What the address asks to type: {lines, notes, starts} (lines: each ends
// with a line end or Ctrl+D; notes: what was left out; starts: the
// experiment's start points, null for none) or {broken}; null for an
// address with no equation in it.
export function linkedInput(fragment, query = "") {
    const keys = fragment.replace(/^#/, "").split("&").filter(pair => pair.includes("=")).map(pair => pair.split(/=(.*)/s));
    const given = keys.filter(([key]) => key === "input");
    if (given.length === 0) {
        return /(^\?|&)input=/.test(query)
            ? { lines: [], notes: [], broken: "В ссылке ?input= вместо #input=: ничего не набрано." } : null;
    }
    let text;
    try {
        text = decodeURIComponent(given[0][1]);
    } catch {
        return { lines: [], notes: [], broken: "Ссылка повреждена: её текст не прочесть, и ничего не набрано." };
    }
    const notes = [];
    if (given.length > 1)
        notes.push("ключ input повторён: взят первый");
    const startsKey = keys.find(([key]) => key === "starts");
    const starts = startsKey ? startsOf(startsKey[1].replace(/%2C/gi, ",")) : null;
    if (startsKey && !starts)
        notes.push("ключ starts не из четырёх чисел: опыт не показан");
    const unknown = [...new Set(keys.map(([key]) => key).filter(key => !["input", "starts"].includes(key)))];
    if (unknown.length > 0)
        notes.push(`неизвестные ключи пропущены: ${unknown.join(", ")}`);
    const characters = Array.from(text);
    if (characters.length > mostTyped) {
        text = characters.slice(0, mostTyped).join("");
        notes.push(`набраны только первые ${mostTyped} знаков из ${characters.length}`);
    }
    // Each line typed as the terminal types text, and what it drops said;
    // Ctrl+D kept where it ended a line.
    const pieces = text.split(/\r\n|\r|\n/);
    let lines = pieces.map((line, k) => (k < pieces.length - 1 || !line.endsWith(endOfInput) ? `${line}\n` : line))
        .flatMap(line => line.split(/(?<=\x04)/));
    const ends = line => line.slice(-1);
    for (const [left, words] of [[controls, "управляющие знаки пропущены"],
        [invisible, "невидимые знаки (нулевой ширины, направления письма, разделители строк) пропущены"]]) {
        const clean = line => line.slice(0, -1).replace(left, "") + ends(line);
        if (lines.some(line => clean(line) !== line))
            notes.push(words);
        lines = lines.map(clean);
    }
    return { lines, notes, starts };
}

// What the page says of a link being typed (linkedInput's, with typed, the
// lines typed so far, and stopped, whether a key stopped it).
export function linkStatus({ lines, notes, broken, typed, stopped }) {
    if (broken)
        return broken;
    const count = typed === lines.length ? `строк: ${typed}` : `строк: ${typed} из ${lines.length}`;
    const what = stopped ? `Набор по ссылке остановлен клавишей, набрано ${count}`
        : typed === lines.length ? `Уравнение набрано по ссылке, ${count}` : `Уравнение набирается по ссылке, ${count}`;
    return `${what}${notes.map(part => `; ${part}`).join("")}.`;
}

// The link to text typed, and to an experiment from starts (null: none).
const equationLink = (text, starts) => `${location.href.split("#")[0]}#input=${encodeURIComponent(text)}`
    + `${starts ? `&starts=${starts.flatMap(z => [z.re, z.im]).join(",")}` : ""}`;

// The link to the lines read and the experiment shown, as the button makes
// it; "" before anything is typed.
export function linkTo({ linesRead, experimentStarts }) {
    const text = textOf(linesRead());
    return text.replace(/\x04/g, "") === "" ? "" : equationLink(text, experimentStarts());
}

// The button that copies the link to the lines the run going on has read
// (linesRead(): each with its line end, null for the end of the input) and
// the start points of the experiment shown (experimentStarts(), null for
// none): said
// tells in a few words what became of it, read out, and what the link cannot
// do (type all of a text too long; open from another computer than the one
// whose file it names); address shows it, to be copied by hand too, and is
// not read out on every press.
export function offerLink(button, { said, address }, run) {
    button.addEventListener("click", async () => {
        const text = textOf(run.linesRead());
        if (text.replace(/\x04/g, "") === "") {
            said.textContent = "Сначала введите уравнение: ссылка набирает введённые строки.";
            return;
        }
        const starts = run.experimentStarts();
        const link = equationLink(text, starts);
        const copied = await navigator.clipboard?.writeText(link).then(() => true, () => false);
        address.textContent = link;
        address.hidden = false;
        said.textContent = [copied ? "Ссылка скопирована; она ниже." : "Скопировать не удалось: скопируйте ссылку ниже.",
            Array.from(text).length > mostTyped ? `Открытая, она наберёт только первые ${mostTyped} знаков.` : "",
            location.protocol === "file:" ? "Она на файл: откроется только на этом компьютере." : ""].filter(Boolean).join(" ");
        said.dataset.link = link;
    });
}
