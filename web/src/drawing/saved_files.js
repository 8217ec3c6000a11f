// The files the page saves, each made of text at once and given an address
// that the run's drawing lets go when the next run begins.

const addressOf = (lifetime, text, type) => lifetime.url(new Blob([text], { type }));

// Offers text as the file that link (a download link of the page) saves,
// until the run's drawing is let go.
export function offerFile(link, lifetime, text, type = "text/csv") {
    link.href = addressOf(lifetime, text, type);
    lifetime.own(() => link.removeAttribute("href"));
}

// Saves text as a file named name, now.
export function saveFile(name, lifetime, text, type) {
    const link = document.createElement("a");
    link.download = name;
    link.href = addressOf(lifetime, text, type);
    link.click();
}
