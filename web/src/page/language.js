// Under a C or POSIX locale WebKitGTK reports the language "C", which is no
// language tag: the charts' library, making its number format as it loads,
// would stop the page. Such a language is taken as the page's own. Imported
// first, before the charts.
try {
    new Intl.NumberFormat(navigator.language);
} catch {
    Object.defineProperty(navigator, "language", { value: document.documentElement.lang, configurable: true });
}
