#include "charset.h"
#include "console.h"

#include <cerrno>
#include <csignal>
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

// Every signal whose default action ends the process, SIGTSTP, which stops
// it, and SIGCONT, which continues it; SIGKILL and SIGSTOP cannot be caught.
constexpr int caughtSignals[] = {
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
struct sigaction savedActions[NSIG];

void onSignal(int signal)
{
    const int saved = errno;
    if (signal == SIGCONT) {
        // Continued, perhaps in the shell's mode: back to the wait's.
        tcsetattr(terminal, TCSANOW, &waitMode);
    } else {
        // Leave the terminal as it was, then stop or end as the signal's
        // default action does; a stop returns here once continued.
        tcsetattr(terminal, TCSANOW, &savedMode);
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
    }
    errno = saved;
}

// Every caught signal, and the real-time ones, which end the process too.
template <typename Each> void forEachSignal(Each each)
{
    for (int signal : caughtSignals)
        each(signal);
#ifdef SIGRTMIN
    for (int signal = SIGRTMIN; signal <= SIGRTMAX; ++signal)
        each(signal);
#endif
}

void catchSignals()
{
    forEachSignal([](int signal) {
        sigaction(signal, nullptr, &savedActions[signal]);
        // A signal the user had ignored (nohup) stays ignored.
        if (savedActions[signal].sa_handler == SIG_IGN)
            return;
        struct sigaction action {};
        action.sa_handler = onSignal;
        sigfillset(&action.sa_mask);
        sigaction(signal, &action, nullptr);
    });
}

void releaseSignals()
{
    forEachSignal([](int signal) { sigaction(signal, &savedActions[signal], nullptr); });
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
        // TCSANOW, not TCSAFLUSH: a key typed ahead ends the wait at once.
        if (tcsetattr(terminal, TCSANOW, &waitMode) == 0) {
            unsigned char first = 0;
            if (readByte(noLimit, first)) {
                if (first == 0x1B)
                    consumeEscapeSequence(terminalIsUtf8());
                else
                    consumeCharacter(first, terminalIsUtf8());
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
        tcsetattr(terminal, TCSANOW, &savedMode);
        releaseSignals();
        sigprocmask(SIG_SETMASK, &before, nullptr);
    }
    close(terminal);
    terminal = -1;
}
