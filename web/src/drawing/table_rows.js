// A row of one of the page's tables: a cell for each text.

export function tableRow(texts) {
    const row = document.createElement("tr");
    for (const text of texts) {
        const cell = document.createElement("td");
        cell.textContent = text;
        row.append(cell);
    }
    return row;
}
