// The lab report: what the page shows, laid out for paper by the print
// style sheet, headed by the student's name, group and date, the equation
// as typed, the terminal's transcript and the link to the equation. Filled
// in before every print, the browser's own as well as the button's.

import { linkTo } from "./equation_link.js";

// fields: the form with the name, group and date; printed: where the
// report's head goes; button: "Отчёт"; run: linesRead(), experimentStarts()
// and transcript() of the run shown.
export function offerReport({ fields, printed, button }, run) {
    const date = fields.elements.date;
    if (!date.value)
        date.value = new Date().toISOString().slice(0, 10);
    const fill = () => {
        const line = (name, text) => {
            const row = document.createElement("p");
            const label = document.createElement("b");
            label.textContent = `${name}: `;
            row.append(label, text);
            return row;
        };
        const { name, group } = fields.elements;
        const typed = run.linesRead().map(text => (text ?? "").replace(/\x04/g, "")).join("").trim();
        const transcript = document.createElement("pre");
        transcript.textContent = run.transcript();
        const link = linkTo(run);
        const title = document.createElement("h2");
        title.textContent = "Лабораторная работа: решение алгебраического уравнения методом хорд";
        printed.replaceChildren(title, ...[["Студент", name.value || "—"], ["Группа", group.value || "—"],
            ["Дата", date.value ? new Date(`${date.value}T12:00`).toLocaleDateString("ru-RU") : "—"],
            ["Уравнение, как набрано", typed.replace(/\s+/g, " ") || "не введено"]].map(([label, text]) => line(label, text)),
        transcript, ...(link ? [line("Ссылка на уравнение", link)] : []));
    };
    window.addEventListener("beforeprint", fill);
    button.addEventListener("click", () => {
        fill();
        window.print();
    });
}
