// A link to the equation of a run, for a teacher to hand out: the page it
// opens types the same lines into the terminal, one each time the program
// asks, so the run and its drawing come out the same. The link holds only
// text for the program, never more than mostTyped characters of it.

import { controls, invisible } from "../terminal/typed_text.js";

const mostTyped = 2000;

// The link to this page typing lines.
function linkTo(lines) {
    return `${location.href.split("#")[0]}#input=${encodeURIComponent(lines.join("\n"))}`;
}

// What a link's fragment asks to type: the lines, and what the page says
// of them; null for a fragment that is no such link.
export function linkedInput(fragment) {
    if (!fragment.startsWith("#input="))
        return null;
    let text;
    try {
        text = decodeURIComponent(fragment.slice(7));
    } catch {
        return { lines: [], said: "Ссылка повреждена: её текст не прочесть, и ничего не набрано." };
    }
    const said = [];
    const characters = Array.from(text);
    if (characters.length > mostTyped) {
        text = characters.slice(0, mostTyped).join("");
        said.push(`набраны только первые ${mostTyped} знаков из ${characters.length}`);
    }
    // Each line typed as the terminal types text, and what it drops said.
    let lines = text.split(/\r\n|\r|\n/);
    for (const [left, words] of [[controls, "управляющие знаки пропущены"],
        [invisible, "невидимые знаки (нулевой ширины, направления письма, разделители строк) пропущены"]]) {
        if (lines.some(line => line.replace(left, "") !== line))
            said.push(words);
        lines = lines.map(line => line.replace(left, ""));
    }
    return { lines, said: `Уравнение набрано по ссылке, строк: ${lines.length}${said.map(part => `; ${part}`).join("")}.` };
}

// The button that copies the link to the lines the run going on has read
// (linesRead(): each with its line end, null for the end of the input): said
// tells in a few words what became of it, read out; address shows it, to be
// copied by hand too, and is not read out on every press.
export function offerLink(button, { said, address }, linesRead) {
    button.addEventListener("click", async () => {
        const lines = linesRead().filter(line => line !== null).map(line => line.replace(/\n$/, ""));
        if (lines.length === 0) {
            said.textContent = "Сначала введите уравнение: ссылка набирает введённые строки.";
            return;
        }
        const link = linkTo(lines);
        const copied = await navigator.clipboard?.writeText(link).then(() => true, () => false);
        address.textContent = link;
        address.hidden = false;
        said.textContent = copied ? "Ссылка скопирована; она ниже." : "Скопировать не удалось: скопируйте ссылку ниже.";
        said.dataset.link = link;
    });
}
