#include "console.h"
#include "dialogue.h"
#include "polynomial.h"

#include <algorithm>
#include <cstring>
#include <iostream>
#include <streambuf>

#include <emscripten.h>

// The console of the page: the services the page gives each run as
// Module.pageConsole (web/src/runs.js) show the texts on its terminal, give
// the lines typed and the key, and draw the searches. The calls that wait
// for the user let the browser run meanwhile.

EM_JS(void, showStoredText, (const char* text, int length), {
    Module.pageConsole.show(new TextDecoder("windows-1251").decode(HEAPU8.subarray(text, text + length)));
});

// What the program writes itself: digits, letters and line ends, all ASCII.
EM_JS(void, showWrittenText, (const char* text, int length), {
    Module.pageConsole.write(String.fromCharCode(...HEAPU8.subarray(text, text + length)));
});

// Copies at most size bytes of the next line typed, its line end included,
// into buffer; the rest of a longer line comes with the next call. -1 at the
// end of the input.
EM_ASYNC_JS(int, nextTypedBytes, (char* buffer, int size), {
    const bytes = await Module.pageConsole.nextBytes(size);
    if (bytes === null)
        return -1;
    HEAPU8.set(bytes, buffer);
    return bytes.length;
});

EM_ASYNC_JS(void, awaitKeyPress, (), { await Module.pageConsole.keyPress(); });

// Every point of every search, with the modulus of the polynomial there as
// the search compares it with the tolerance, for the page to draw: floats
// reach JavaScript as doubles, exactly. A search's start also tells the
// polynomial it works on, as the table holds it then (after every division
// before it): count pairs of floats, the highest power's first.
EM_JS(void, showSearchStart, (double x0re, double x0im, double p0, double x1re, double x1im, double p1, const float* table, int count), {
    const coefficients = Array.from({ length: count }, (_, k) => [HEAPF32[(table >> 2) + 2 * k], HEAPF32[(table >> 2) + 2 * k + 1]]);
    Module.pageConsole.searchStarted([x0re, x0im, p0], [x1re, x1im, p1], coefficients);
});
EM_JS(void, showSearchStep, (double re, double im, double p), { Module.pageConsole.searchStepped([re, im, p]); });
EM_JS(void, showSearchEnd, (int end, double re, double im), {
    Module.pageConsole.searchEnded(["tolerance", "budget", "nonfinite"][end], [re, im]);
});
EM_JS(void, showRootWritten, (int number, int remark, int afterMiss), {
    Module.pageConsole.rootWritten(number, remark !== 0, afterMiss !== 0);
});

namespace {

// Standard input: what is typed at the terminal, line by line, as a
// terminal in canonical mode gives it.
class TypedLines : public std::streambuf {
protected:
    int_type underflow() override
    {
        const int length = nextTypedBytes(line, sizeof line);
        if (length <= 0)
            return traits_type::eof();
        setg(line, line, line + length);
        return traits_type::to_int_type(line[0]);
    }

private:
    char line[256];
};

TypedLines typedLines;

// Standard output: straight to the terminal, unbuffered, so that it keeps
// its place among the stored texts. The C library's standard output is not
// used, and so the page needs no file system.
class ShownText : public std::streambuf {
protected:
    std::streamsize xsputn(const char* text, std::streamsize count) override
    {
        showWrittenText(text, static_cast<int>(count));
        return count;
    }

    int_type overflow(int_type c) override
    {
        if (traits_type::eq_int_type(c, traits_type::eof()))
            return traits_type::not_eof(c);
        const char byte = traits_type::to_char_type(c);
        showWrittenText(&byte, 1);
        return c;
    }
};

ShownText shownText;

const SearchObserver pageObserver{
    [](const Complex& x0, const Complex& f0, const Complex& x1, const Complex& f1) {
        static_assert(sizeof(Complex) == 2 * sizeof(float), "the table is read as pairs of floats");
        showSearchStart(x0.real(), x0.imag(), modulus(f0), x1.real(), x1.imag(), modulus(f1),
            reinterpret_cast<const float*>(CoefficientTable.data()),
            std::min<std::int32_t>(coefficientCount, tableSize));
    },
    [](const Complex& x2, const Complex& f2) { showSearchStep(x2.real(), x2.imag(), modulus(f2)); },
    [](SearchEnd end, const Complex& root) { showSearchEnd(static_cast<int>(end), root.real(), root.imag()); },
};

} // namespace

void openConsole()
{
    std::cin.rdbuf(&typedLines);
    std::cout.rdbuf(&shownText);
    searchObserver = &pageObserver;
    rootWritten = [](int number, bool remark, bool afterMiss) { showRootWritten(number, remark, afterMiss); };
}

void writeMessage(std::ostream& out, const char* text)
{
    // What was written before goes first.
    out.flush();
    showStoredText(text, static_cast<int>(std::strlen(text)));
}

void waitForKey() { awaitKeyPress(); }
