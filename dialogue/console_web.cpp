// The console of the page, where the program runs as WebAssembly.
#include "console.h"
#include "polynomial.h"

#include <iostream>
#include <streambuf>

#include <emscripten.h>

// The console of the page: each run gives the program Module.pageConsole
// (web/src/program/page_console.js), which shows what it writes on the
// terminal, gives it the lines typed and the key, and draws what its run
// tells. The calls that wait for the user let the browser run meanwhile.

// Everything the program writes, its stored texts in Windows-1251 and its own
// ASCII alike, goes this one way; the page decodes it as Windows-1251.
EM_JS(void, writeBytes, (const char* text, int length), {
    Module.pageConsole.write(HEAPU8.slice(text, text + length));
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

// What the run tells, for the page to draw: each point with the modulus of
// the polynomial there as the search compares it with the tolerance (floats
// reach JavaScript as doubles, exactly); a search's polynomial as count pairs
// of floats, the highest power's first; an end by its name.
EM_JS(void, tellSearchStarted, (const float* polynomial, int count, double x0re, double x0im, double p0, double x1re,
    double x1im, double p1), {
    const pairs = HEAPF32.subarray(polynomial >> 2, (polynomial >> 2) + 2 * count);
    const coefficients = Array.from({ length: count }, (_, k) => [pairs[2 * k], pairs[2 * k + 1]]);
    Module.pageConsole.observer.searchStarted(coefficients, [x0re, x0im, p0], [x1re, x1im, p1]);
});
EM_JS(void, tellSearchStepped, (double re, double im, double p), {
    Module.pageConsole.observer.searchStepped([re, im, p]);
});
EM_JS(void, tellSearchEnded, (const char* end, double re, double im), {
    Module.pageConsole.observer.searchEnded(UTF8ToString(end), [re, im]);
});
EM_JS(void, tellRootWritten, (int number, int remark, int afterMiss), {
    Module.pageConsole.observer.rootWritten(number, remark !== 0, afterMiss !== 0);
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

// Standard output: straight to the terminal, unbuffered, so that every text
// is there in the order written. The C library's standard output is not
// used, and so the page needs no file system.
class ShownText : public std::streambuf {
protected:
    std::streamsize xsputn(const char* text, std::streamsize count) override
    {
        writeBytes(text, static_cast<int>(count));
        return count;
    }

    int_type overflow(int_type c) override
    {
        if (traits_type::eq_int_type(c, traits_type::eof()))
            return traits_type::not_eof(c);
        const char byte = traits_type::to_char_type(c);
        writeBytes(&byte, 1);
        return c;
    }
};

ShownText shownText;

static_assert(sizeof(Complex) == 2 * sizeof(float), "a polynomial is read as pairs of floats");

const RunObserver pageObserver{
    [](const Complex* polynomial, int count, const Complex& x0, const Complex& f0, const Complex& x1,
        const Complex& f1) {
        tellSearchStarted(reinterpret_cast<const float*>(polynomial), count, x0.real(), x0.imag(), modulus(f0),
            x1.real(), x1.imag(), modulus(f1));
    },
    [](const Complex& x, const Complex& f) { tellSearchStepped(x.real(), x.imag(), modulus(f)); },
    [](SearchEnd end, const Complex& root) {
        tellSearchEnded(searchEndNames[static_cast<int>(end)], root.real(), root.imag());
    },
    [](int number, bool remark, bool afterMiss) { tellRootWritten(number, remark, afterMiss); },
};

} // namespace

void openConsole()
{
    std::cin.rdbuf(&typedLines);
    std::cout.rdbuf(&shownText);
    runObserver = &pageObserver;
}

void writeMessage(std::ostream& out, const char* text) { out << text; }

void waitForKey() { awaitKeyPress(); }
