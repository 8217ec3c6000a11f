#include "charset.h"
#include "console.h"

#include <cerrno>
#include <csignal>
#include <cwchar>
#include <iterator>

#include <fcntl.h>
#include <sys/select.h>
#include <termios.h>
#include <unistd.h>

namespace {

// The terminal while a key is awaited, its mode to restore and the wait's
// own mode, also for the signal handlers.
int terminal = -1;
termios savedMode;
termios waitMode;

// Every signal whose default action ends the process, those that stop it
// (SIGTSTP, and SIGTTIN and SIGTTOU, which a terminal sends the background),
// and SIGCONT, which continues it; SIGKILL and SIGSTOP cannot be caught.
constexpr int fixedSignals[] = {
    SIGHUP,
    SIGINT,
    SIGQUIT,
    SIGILL,
    SIGTRAP,
    SIGABRT,
    SIGBUS,
    SIGFPE,
    SIGUSR1,
    SIGSEGV,
    SIGUSR2,
    SIGPIPE,
    SIGALRM,
    SIGTERM,
    SIGXCPU,
    SIGXFSZ,
    SIGVTALRM,
    SIGPROF,
    SIGSYS,
    SIGCONT,
    SIGTSTP,
    SIGTTIN,
    SIGTTOU,
#ifdef SIGSTKFLT
    SIGSTKFLT,
#endif
#ifdef SIGPOLL
    SIGPOLL,
#endif
#ifdef SIGPWR
    SIGPWR,
#endif
};
// The real-time signals end the process too. Their numbers need not be below
// NSIG (FreeBSD's run from 65 to 126 with NSIG 32), so the actions they had
// are kept one entry per signal, never indexed by its number; there is room
// for as many as the systems we know have.
constexpr std::size_t realTimeRoom = 64;
static_assert(realTimeRoom >= 126 - 65 + 1, "room for FreeBSD's real-time signals, the most of any system");
struct Caught {
    int signal;
    struct sigaction before;
};
Caught caught[std::size(fixedSignals) + realTimeRoom];
std::size_t caughtCount = 0;

bool stops(int signal) { return signal == SIGTSTP || signal == SIGTTIN || signal == SIGTTOU; }

// A process in the background may not set the terminal's mode: that is for
// the one in the foreground, the shell once it has taken the terminal back.
bool inForeground() { return tcgetpgrp(terminal) == getpgrp(); }

void setMode(const termios& mode)
{
    if (inForeground())
        tcsetattr(terminal, TCSANOW, &mode);
}

void onSignal(int signal)
{
    const int saved = errno;
    if (signal == SIGCONT) {
        // Continued: in the foreground, in the wait's mode again.
        setMode(waitMode);
    } else {
        // Leave the terminal as it was, then stop or end as the signal's
        // default action does.
        setMode(savedMode);
        struct sigaction byDefault {};
        struct sigaction ours {};
        byDefault.sa_handler = SIG_DFL;
        sigaction(signal, &byDefault, &ours);
        sigset_t only;
        sigemptyset(&only);
        sigaddset(&only, signal);
        sigprocmask(SIG_UNBLOCK, &only, nullptr);
        raise(signal);
        sigaction(signal, &ours, nullptr);
        // Continued after the stop, or the stop was discarded, as a group
        // with no shell to continue it gets: waiting again.
        if (stops(signal))
            setMode(waitMode);
    }
    errno = saved;
}

void catchSignal(int signal)
{
    if (caughtCount == std::size(caught))
        return;
    Caught& entry = caught[caughtCount];
    // No such signal here, or one the user had ignored (nohup), which stays
    // ignored.
    if (sigaction(signal, nullptr, &entry.before) != 0 || entry.before.sa_handler == SIG_IGN)
        return;
    entry.signal = signal;
    ++caughtCount;
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigfillset(&action.sa_mask);
    sigaction(signal, &action, nullptr);
}

void catchSignals()
{
    for (int signal : fixedSignals)
        catchSignal(signal);
#ifdef SIGRTMIN
    for (int signal = SIGRTMIN; signal <= SIGRTMAX; ++signal)
        catchSignal(signal);
#endif
}

void releaseSignals()
{
    for (std::size_t k = 0; k < caughtCount; ++k)
        sigaction(caught[k].signal, &caught[k].before, nullptr);
    caughtCount = 0;
}

constexpr int noLimit = -1;
// The bytes of one key are sent together; this long a pause ends the key.
constexpr int keyGapMs = 50;

// Reads one byte within timeoutMs; false on a timeout, the end or an error.
// select, not poll: poll does not take terminals on every system.
bool readByte(int timeoutMs, unsigned char& byte)
{
    for (;;) {
        if (timeoutMs != noLimit) {
            // Beyond what select can watch: the key ends here.
            if (terminal >= FD_SETSIZE)
                return false;
            fd_set ready;
            FD_ZERO(&ready);
            FD_SET(terminal, &ready);
            timeval timeout{0, timeoutMs * 1000};
            const int selected = select(terminal + 1, &ready, nullptr, nullptr, &timeout);
            if (selected < 0 && errno == EINTR)
                continue;
            if (selected <= 0 || !FD_ISSET(terminal, &ready))
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

// Reads the rest of the character whose first byte is first, in the
// terminal's character set: UTF-8 where the texts are written in it, else
// the locale's, as mbrlen takes it (EUC-JP, GB18030, Big5 and the sets of
// one byte a character).
void consumeCharacter(unsigned char first)
{
    unsigned char byte = 0;
    if (terminalIsUtf8()) {
        for (int n = utf8ContinuationCount(first); n > 0 && readByte(keyGapMs, byte); --n)
            if ((byte & 0xC0) != 0x80)
                return;
        return;
    }
    std::mbstate_t state{};
    char next = static_cast<char>(first);
    while (std::mbrlen(&next, 1, &state) == static_cast<std::size_t>(-2) && readByte(keyGapMs, byte))
        next = static_cast<char>(byte);
}

// Reads the rest of an escape sequence, so that none of it is left for the
// shell: ESC [ ... final (arrows, Home, F5 and on), ESC O x (F1 to F4), ESC [ [ x
// (the Linux console's F1 to F5), or ESC and a character (Alt).
void consumeEscapeSequence()
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
        consumeCharacter(byte);
    }
}

} // namespace

void waitForKey()
{
    // Output to a file or a pipe: no one is at a terminal to see the prompt.
    if (!isatty(STDOUT_FILENO))
        return;
    terminal = open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (terminal < 0)
        return;
    if (tcgetattr(terminal, &savedMode) == 0) {
        waitMode = savedMode;
        // No line editing, no echo, no signal keys, no flow control: any key
        // arrives as it is pressed, Ctrl+C as character 3.
        waitMode.c_lflag &= ~(ICANON | ECHO | ISIG | IEXTEN);
        waitMode.c_iflag &= ~(IXON);
        waitMode.c_cc[VMIN] = 1;
        waitMode.c_cc[VTIME] = 0;
        catchSignals();
        // TCSANOW, not TCSAFLUSH: a key typed ahead ends the wait at once. In
        // the background the mode is left to the shell: the first read stops
        // the program until fg continues it in the foreground.
        if (!inForeground() || tcsetattr(terminal, TCSANOW, &waitMode) == 0) {
            unsigned char first = 0;
            if (readByte(noLimit, first)) {
                if (first == 0x1B)
                    consumeEscapeSequence();
                else
                    consumeCharacter(first);
                // The shell's prompt then starts on a line of its own; were
                // the line end not written, there would be nothing to do.
                const ssize_t written = write(terminal, "\n", 1);
                static_cast<void>(written);
            }
        }
        // No signal between the two: a late SIGCONT would set the wait's
        // mode again.
        sigset_t all, before;
        sigfillset(&all);
        sigprocmask(SIG_BLOCK, &all, &before);
        setMode(savedMode);
        releaseSignals();
        sigprocmask(SIG_SETMASK, &before, nullptr);
    }
    close(terminal);
    terminal = -1;
}
