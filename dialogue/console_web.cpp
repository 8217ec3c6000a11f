// The console of the page, where the program runs as WebAssembly.
#include "console.h"
#include "polynomial.h"
#include "roots.h"

#include <algorithm>

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

// Where the page's experiment and map write the polynomial before a call:
// pairs of floats, the highest power's first, as the run told them.
float pagePolynomial[2 * tableSize];
// The map's second start points (pairs of floats), and what each search
// from them came to: root re, root im, steps, end (searchEndNames' index).
constexpr int mostMapPoints = 1024;
float mapStarts[2 * mostMapPoints];
float mapEnds[4 * mostMapPoints];

// The polynomial the page wrote, count coefficients of it, as the current one.
void takePagePolynomial(int count)
{
    resetSolver();
    coefficientCount = std::clamp(count, 0, tableSize);
    for (int k = 0; k < coefficientCount; ++k)
        CoefficientTable[k] = Complex(pagePolynomial[2 * k], pagePolynomial[2 * k + 1]);
}

SearchEnd mapEnd = SearchEnd::budgetSpent;
// The map wants only each search's end: a few thousand searches a picture.
const RunObserver mapObserver{
    [](const Complex*, int, const Complex&, const Complex&, const Complex&, const Complex&) {},
    [](const Complex&, const Complex&) {},
    [](SearchEnd end, const Complex&) { mapEnd = end; },
    [](int, bool, bool) {},
};

} // namespace

// The page's buffers, found by the page's scripts and its map's worker.
extern "C" EMSCRIPTEN_KEEPALIVE float* polynomialSlots() { return pagePolynomial; }
extern "C" EMSCRIPTEN_KEEPALIVE float* mapStartSlots() { return mapStarts; }
extern "C" EMSCRIPTEN_KEEPALIVE float* mapEndSlots() { return mapEnds; }

// The page's experiment: the roots of the polynomial in pagePolynomial found
// again as the dialogue finds them, each search from the points first and
// second instead of the program's own, told to the page as a run tells it.
// Returns the chord steps, as the dialogue counts them.
extern "C" EMSCRIPTEN_KEEPALIVE int experiment(int count, float re0, float im0, float re1, float im1)
{
    takePagePolynomial(count);
    const Complex first(re0, im0);
    const Complex second(re1, im1);
    const int rootTotal = coefficientCount;
    std::array<FoundRoot, tableSize> roots{};
    runObserver = &pageObserver;
    findAllRoots([&] { return findRootFrom(first, second); }, roots);
    for (int k = 1; k < rootTotal; ++k)
        pageObserver.rootWritten(k, !roots[k].converged, roots[k].afterMiss);
    return iterationCount;
}

// The page's map: the first search of the polynomial in pagePolynomial from
// first and each of the count points in mapStarts, each with the whole
// budget; what each came to, in mapEnds.
extern "C" EMSCRIPTEN_KEEPALIVE void mapSearches(int polynomialCount, float re0, float im0, int count)
{
    const Complex first(re0, im0);
    runObserver = &mapObserver;
    for (int k = 0; k < std::clamp(count, 0, mostMapPoints); ++k) {
        takePagePolynomial(polynomialCount);
        const Complex root = findRootFrom(first, Complex(mapStarts[2 * k], mapStarts[2 * k + 1]));
        mapEnds[4 * k] = root.real();
        mapEnds[4 * k + 1] = root.imag();
        mapEnds[4 * k + 2] = static_cast<float>(iterationCount);
        mapEnds[4 * k + 3] = static_cast<float>(static_cast<int>(mapEnd));
    }
}

void openConsole()
{
    std::cin.rdbuf(&typedLines);
    std::cout.rdbuf(&shownText);
    runObserver = &pageObserver;
}

void writeMessage(std::ostream& out, const char* text) { out << text; }

void waitForKey() { awaitKeyPress(); }
