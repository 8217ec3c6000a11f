#include "charset.h"
#include "console.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <iterator>

#include <fcntl.h>
#include <iconv.h>
#include <langinfo.h>
#include <poll.h>
#include <strings.h>
#include <termios.h>
#include <unistd.h>

namespace {

constexpr const char* messageCodeset = "CP1251";

// Converts from Windows-1251 to one character set; closes itself.
class Converter {
public:
    explicit Converter(const char* codeset) : cd(iconv_open(codeset, messageCodeset)) {}
    ~Converter()
    {
        if (valid())
            iconv_close(cd);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool valid() const { return cd != reinterpret_cast<iconv_t>(-1); }
    std::size_t convert(char** in, std::size_t* inLeft, char** out, std::size_t* outLeft)
    {
        return iconv(cd, in, inLeft, out, outLeft);
    }

private:
    iconv_t cd;
};

constexpr std::size_t conversionFailed = static_cast<std::size_t>(-1);

// Whether codeset holds all the Cyrillic letters of Windows-1251.
bool holdsCyrillic(const char* codeset)
{
    // А to я, then Ё and ё.
    char letters[64 + 2 + 1] = {};
    for (int k = 0; k < 64; ++k)
        letters[k] = static_cast<char>(0xC0 + k);
    letters[64] = '\xA8';
    letters[65] = '\xB8';

    Converter converter(codeset);
    if (!converter.valid())
        return false;
    char converted[4 * sizeof letters];
    char* in = letters;
    std::size_t inLeft = std::strlen(letters);
    char* out = converted;
    std::size_t outLeft = sizeof converted;
    return converter.convert(&in, &inLeft, &out, &outLeft) == 0 && inLeft == 0;
}

// The character set the terminal is taken to show: that of the LC_CTYPE
// locale when it can hold Cyrillic, else UTF-8.
const char* terminalCodeset()
{
    const char* codeset = nl_langinfo(CODESET);
    return codeset != nullptr && holdsCyrillic(codeset) ? codeset : "UTF-8";
}

} // namespace

void writeInCodeset(std::ostream& out, const char* text, const char* codeset)
{
    Converter converter(codeset);
    if (!converter.valid()) {
        out << text;
        return;
    }
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
        // initial shift state.
        const std::size_t result = finishing ? converter.convert(nullptr, nullptr, &converted, &room)
                                             : converter.convert(&in, &inLeft, &converted, &room);
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

void writeMessage(std::ostream& out, const char* text)
{
    writeInCodeset(out, text, terminalCodeset());
    out.flush();
}

namespace {

// The terminal while a key is awaited, and its mode to restore, also from a
// signal handler.
int terminal = -1;
termios savedMode;

constexpr int endingSignals[] = {SIGTERM, SIGHUP, SIGINT, SIGQUIT};
struct sigaction savedActions[std::size(endingSignals)];

void restoreModeAndDie(int signal)
{
    tcsetattr(terminal, TCSANOW, &savedMode);
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

void catchEndingSignals()
{
    for (std::size_t k = 0; k < std::size(endingSignals); ++k) {
        sigaction(endingSignals[k], nullptr, &savedActions[k]);
        // A signal the user had ignored (nohup) stays ignored.
        if (savedActions[k].sa_handler == SIG_IGN)
            continue;
        struct sigaction action {};
        action.sa_handler = restoreModeAndDie;
        sigemptyset(&action.sa_mask);
        for (int other : endingSignals)
            sigaddset(&action.sa_mask, other);
        sigaction(endingSignals[k], &action, nullptr);
    }
}

void releaseEndingSignals()
{
    for (std::size_t k = 0; k < std::size(endingSignals); ++k)
        sigaction(endingSignals[k], &savedActions[k], nullptr);
}

constexpr int noLimit = -1;
// The bytes of one key are sent together; this long a pause ends the key.
constexpr int keyGapMs = 50;

// Reads one byte within timeoutMs; false on a timeout, the end or an error.
bool readByte(int timeoutMs, unsigned char& byte)
{
    for (;;) {
        if (timeoutMs != noLimit) {
            pollfd ready{terminal, POLLIN, 0};
            const int polled = poll(&ready, 1, timeoutMs);
            if (polled < 0 && errno == EINTR)
                continue;
            if (polled <= 0)
                return false;
        }
        const ssize_t got = read(terminal, &byte, 1);
        if (got == 1)
            return true;
        if (got < 0 && errno == EINTR)
            continue;
        return false;
    }
}

int utf8ContinuationCount(unsigned char lead)
{
    if (lead >= 0xC2 && lead <= 0xDF)
        return 1;
    if (lead >= 0xE0 && lead <= 0xEF)
        return 2;
    if (lead >= 0xF0 && lead <= 0xF4)
        return 3;
    return 0;
}

void consumeCharacter(unsigned char first, bool utf8)
{
    unsigned char byte = 0;
    for (int n = utf8 ? utf8ContinuationCount(first) : 0; n > 0 && readByte(keyGapMs, byte); --n)
        if ((byte & 0xC0) != 0x80)
            return;
}

// Reads the rest of an escape sequence, so that none of it is left for the
// shell: ESC [ ... final (arrows, Home, F5 and on), ESC O x (F1 to F4), ESC [ [ x
// (the Linux console's F1 to F5), or ESC and a character (Alt).
void consumeEscapeSequence(bool utf8)
{
    unsigned char byte = 0;
    if (!readByte(keyGapMs, byte))
        return; // the Escape key itself
    if (byte == 'O') {
        readByte(keyGapMs, byte);
    } else if (byte == '[') {
        for (int length = 0; length < 32 && readByte(keyGapMs, byte); ++length)
            if ((byte >= 0x40 && byte <= 0x7E) && !(length == 0 && byte == '['))
                return;
    } else {
        consumeCharacter(byte, utf8);
    }
}

bool isUtf8(const char* codeset)
{
    return strcasecmp(codeset, "UTF-8") == 0 || strcasecmp(codeset, "UTF8") == 0;
}

} // namespace

void waitForKey()
{
    terminal = open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (terminal < 0)
        return;
    if (tcgetattr(terminal, &savedMode) == 0) {
        termios raw = savedMode;
        // No line editing, no echo, no signal keys, no flow control: any key
        // arrives as it is pressed, Ctrl+C as character 3.
        raw.c_lflag &= ~(ICANON | ECHO | ISIG | IEXTEN);
        raw.c_iflag &= ~(IXON);
        raw.c_cc[VMIN] = 1;
        raw.c_cc[VTIME] = 0;
        catchEndingSignals();
        // TCSANOW, not TCSAFLUSH: a key typed ahead ends the wait at once.
        if (tcsetattr(terminal, TCSANOW, &raw) == 0) {
            unsigned char first = 0;
            if (readByte(noLimit, first)) {
                const bool utf8 = isUtf8(terminalCodeset());
                if (first == 0x1B)
                    consumeEscapeSequence(utf8);
                else
                    consumeCharacter(first, utf8);
                // The shell's prompt then starts on a line of its own.
                static_cast<void>(write(terminal, "\n", 1));
            }
            tcsetattr(terminal, TCSANOW, &savedMode);
        }
        releaseEndingSignals();
    }
    close(terminal);
    terminal = -1;
}
