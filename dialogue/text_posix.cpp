// The texts at a POSIX console, in the locale's character set.
#include "charset.h"
#include "console.h"

#include <cerrno>
#include <cstring>

#include <iconv.h>
#include <langinfo.h>

namespace {

constexpr const char* messageCodeset = "CP1251";
const iconv_t noConverter = reinterpret_cast<iconv_t>(-1);
constexpr std::size_t conversionFailed = static_cast<std::size_t>(-1);

// Converts a Windows-1251 text with cd, whatever its length. A letter the
// character set lacks is written as '?' where iconv fails on it, as glibc's
// does; musl's iconv writes '*' for it itself and goes on.
void convert(std::ostream& out, iconv_t cd, const char* text)
{
    char* in = const_cast<char*>(text);
    std::size_t inLeft = std::strlen(text);
    // A small buffer, emptied as often as needed: a converted text is
    // commonly twice as long as its Windows-1251 form.
    char buffer[64];
    for (;;) {
        char* converted = buffer;
        std::size_t room = sizeof buffer;
        const bool finishing = inLeft == 0;
        // With no input left, the call returns the character set to its
        // initial shift state, ready for the next text.
        const std::size_t result = finishing ? iconv(cd, nullptr, nullptr, &converted, &room)
                                             : iconv(cd, &in, &inLeft, &converted, &room);
        out.write(buffer, converted - buffer);
        if (result == conversionFailed && errno == E2BIG)
            continue; // the buffer is full: go on with it emptied
        if (finishing)
            return;
        if (result == conversionFailed) {
            out.put('?');
            ++in;
            --inLeft;
        }
    }
}

// Writes a Windows-1251 text in UTF-8 from the program's own table of its
// letters, А to я, Ё and ё, where no converter can be opened at all (a static
// program far from the iconv modules of its system); any other byte beyond
// ASCII as '?'. Never the stored bytes themselves: no terminal shows them.
void writeOwnUtf8(std::ostream& out, const char* text)
{
    for (const char* at = text; *at != '\0'; ++at) {
        const auto byte = static_cast<unsigned char>(*at);
        const unsigned letter = byte >= 0xC0 ? 0x410 + (byte - 0xC0)
            : byte == 0xA8                   ? 0x401
            : byte == 0xB8                   ? 0x451
                                             : 0;
        if (byte < 0x80) {
            out.put(*at);
        } else if (letter == 0) {
            out.put('?');
        } else {
            out.put(static_cast<char>(0xC0 | letter >> 6));
            out.put(static_cast<char>(0x80 | (letter & 0x3F)));
        }
    }
}

// Whether cd converts all the Cyrillic letters of Windows-1251, А to я, Ё, ё,
// each to a letter of its own: iconv counts those it could not, where it does
// not fail on them.
bool holdsCyrillic(iconv_t cd)
{
    char letters[64 + 2];
    for (int k = 0; k < 64; ++k)
        letters[k] = static_cast<char>(0xC0 + k);
    letters[64] = '\xA8';
    letters[65] = '\xB8';
    char converted[4 * sizeof letters];
    char* in = letters;
    std::size_t inLeft = sizeof letters;
    char* out = converted;
    std::size_t outLeft = sizeof converted;
    const bool all = iconv(cd, &in, &inLeft, &out, &outLeft) == 0 && inLeft == 0;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    return all;
}

// The converter to the terminal's character set, decided once per run: that
// of the LC_CTYPE locale when it can hold Cyrillic, else UTF-8.
iconv_t terminalConverter()
{
    static const iconv_t decided = [] {
        const iconv_t cd = iconv_open(nl_langinfo(CODESET), messageCodeset);
        if (cd != noConverter && holdsCyrillic(cd))
            return cd;
        if (cd != noConverter)
            iconv_close(cd);
        return iconv_open("UTF-8", messageCodeset);
    }();
    return decided;
}

} // namespace

void writeInCodeset(std::ostream& out, const char* text, const char* codeset)
{
    const iconv_t cd = iconv_open(codeset, messageCodeset);
    if (cd == noConverter) {
        writeOwnUtf8(out, text);
        return;
    }
    convert(out, cd, text);
    iconv_close(cd);
}

void openConsole() {}

void writeMessage(std::ostream& out, const char* text)
{
    if (terminalConverter() == noConverter)
        writeOwnUtf8(out, text);
    else
        convert(out, terminalConverter(), text);
    out.flush();
}
