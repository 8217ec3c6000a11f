// The wait for one key at a POSIX terminal, its mode restored always.
#include "console.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <iterator>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>
#ifdef __APPLE__
#include <sys/select.h>
#else
#include <poll.h>
#endif

namespace {

// The terminal while a key is awaited, its mode to restore and the wait's
// own mode, also for the signal handlers. The mode to restore is read the
// first time chord is in the foreground during the wait: before that the
// terminal's mode is whatever program has the foreground.
int terminal = -1;
volatile std::sig_atomic_t modeRead = 0;
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
#ifdef SIGEMT
    SIGEMT,
#endif
#ifdef SIGLOST
    SIGLOST,
#endif
#ifdef SIGLIBRT
    SIGLIBRT,
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

// Reads the mode to restore if it is not read yet and chord has the
// foreground. Called with every signal blocked, so that no handler reads it
// in between and leaves the wait's mode to be taken for the one to restore.
void readModeOnce()
{
    if (modeRead || !inForeground() || tcgetattr(terminal, &savedMode) != 0)
        return;
    waitMode = savedMode;
    // No line editing, no echo, no signal keys, no flow control: any key
    // arrives as it is pressed, Ctrl+C as character 3.
    waitMode.c_lflag &= ~(ICANON | ECHO | ISIG | IEXTEN);
    waitMode.c_iflag &= ~(IXON);
    waitMode.c_cc[VMIN] = 1;
    waitMode.c_cc[VTIME] = 0;
    modeRead = 1;
}

// Sets the mode in the foreground only, again when a signal interrupted it;
// never a mode that was not read. False when the terminal refused it.
bool setMode(const termios& mode)
{
    while (modeRead && inForeground()) {
        if (tcsetattr(terminal, TCSANOW, &mode) == 0)
            return true;
        if (errno != EINTR)
            return false;
    }
    return true;
}

// Chord has the foreground again, or may have: the wait's mode, read first
// if this is the first time.
void resumeWait()
{
    readModeOnce();
    setMode(waitMode);
}

// Set by every SIGCONT: one that came while a stop was being raised cancels it.
volatile std::sig_atomic_t continued = 0;
// Set while chord stops by a stop signal's default action, until its handler
// is back: a SIGCONT then leaves the wait's mode to the stop's handler, so
// that a second stop in between, which the default action takes, finds the
// terminal as the user had it, as the first did.
volatile std::sig_atomic_t stopping = 0;

void unblock(int signal)
{
    sigset_t only;
    sigemptyset(&only);
    sigaddset(&only, signal);
    sigprocmask(SIG_UNBLOCK, &only, nullptr);
}

// Stops or ends as the signal's default action does, the handler's mask
// blocking every signal. A stop raised would discard a SIGCONT already sent
// and never be continued, so the stop is made pending first, with SIGCONT
// let in: a SIGCONT before that is seen by its handler and cancels the stop,
// one after it takes the pending stop away itself.
void actByDefault(int signal)
{
    struct sigaction byDefault {};
    struct sigaction ours {};
    byDefault.sa_handler = SIG_DFL;
    sigaction(signal, &byDefault, &ours);
    if (stops(signal)) {
        stopping = 1;
        continued = 0;
        unblock(SIGCONT);
        // kill, not raise: raise blocks every signal around its call, and a
        // SIGCONT sent then would be discarded.
        kill(getpid(), signal);
        // Ignored, a pending signal is gone.
        if (continued) {
            struct sigaction ignored {};
            ignored.sa_handler = SIG_IGN;
            sigaction(signal, &ignored, nullptr);
        }
        unblock(signal);
    } else {
        unblock(signal);
        raise(signal);
    }
    sigaction(signal, &ours, nullptr);
    stopping = 0;
}

void onSignal(int signal)
{
    const int saved = errno;
    if (signal == SIGCONT) {
        continued = 1;
        if (stopping) {
            errno = saved;
            return;
        }
    } else {
        // Leave the terminal as it was, then stop or end.
        setMode(savedMode);
        actByDefault(signal);
    }
    // Continued, after our own stop or another's (SIGSTOP), or the stop was
    // cancelled or discarded, as a group with no shell to continue it gets:
    // waiting again.
    resumeWait();
    errno = saved;
}

void catchSignal(int signal)
{
    if (caughtCount == std::size(caught))
        return;
    Caught& entry = caught[caughtCount];
    // No such signal here, one the C library keeps for itself, or one the
    // user had ignored (nohup), which stays ignored.
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

// Last caught, first released: a signal with two names is left with the
// action it had before either.
void releaseSignals()
{
    while (caughtCount > 0) {
        --caughtCount;
        sigaction(caught[caughtCount].signal, &caught[caughtCount].before, nullptr);
    }
}

void blockSignals(sigset_t& before)
{
    sigset_t all;
    sigfillset(&all);
    sigprocmask(SIG_BLOCK, &all, &before);
}

// The bytes of one key are sent together: a pause this long ends the key.
// A paste is one key too, up to the bound of its size and time, so none of
// it is left for the shell to run.
constexpr int keyGapMs = 50;
constexpr std::size_t keyBytesBound = 64 * 1024;
constexpr auto keyTimeBound = std::chrono::seconds(1);

// Whether the terminal has a byte to read within timeoutMs: above 0 one has
// come, 0 none, below 0 an error (EINTR among them). poll, which watches any
// descriptor number; macOS's poll does not take terminals, so there select,
// which watches only those below FD_SETSIZE.
int byteComes(int timeoutMs)
{
#ifdef __APPLE__
    if (terminal >= FD_SETSIZE)
        return 0;
    fd_set ready;
    FD_ZERO(&ready);
    FD_SET(terminal, &ready);
    timeval timeout{0, timeoutMs * 1000};
    return select(terminal + 1, &ready, nullptr, nullptr, &timeout);
#else
    pollfd watched{terminal, POLLIN, 0};
    return poll(&watched, 1, timeoutMs);
#endif
}

// Reads the key: its first byte, whenever it comes, then every byte that
// follows without a pause of the key gap: the rest of an escape sequence, of
// a character in whatever character set the keyboard sends, of a character
// made of several code points, of a paste. False when there was none to read
// (the end, an error).
bool readKey()
{
    using std::chrono::steady_clock;
    char bytes[4096];
    ssize_t got;
    while ((got = read(terminal, bytes, sizeof bytes)) < 0 && errno == EINTR) {}
    if (got <= 0)
        return false;
    const steady_clock::time_point until = steady_clock::now() + keyTimeBound;
    for (auto total = static_cast<std::size_t>(got); total < keyBytesBound;) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(until - steady_clock::now()).count();
        if (left <= 0)
            break;
        const int ready = byteComes(static_cast<int>(std::min<decltype(left)>(keyGapMs, left)));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            break;
        got = read(terminal, bytes, std::min(sizeof bytes, keyBytesBound - total));
        if (got > 0)
            total += static_cast<std::size_t>(got);
        else if (got == 0 || errno != EINTR)
            break;
    }
    return true;
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
    sigset_t before;
    blockSignals(before);
    readModeOnce();
    catchSignals();
    sigprocmask(SIG_SETMASK, &before, nullptr);
    // TCSANOW, not TCSAFLUSH: a key typed ahead ends the wait at once. In the
    // background the mode is left alone: the first read stops the program
    // until fg continues it in the foreground, where the mode is read.
    if (setMode(waitMode) && readKey()) {
        // The shell's prompt then starts on a line of its own; were the line
        // end not written, there would be nothing to do.
        const ssize_t written = write(terminal, "\n", 1);
        static_cast<void>(written);
    }
    // No signal from here on: a late SIGCONT would set the wait's mode again.
    blockSignals(before);
    setMode(savedMode);
    releaseSignals();
    modeRead = 0;
    sigprocmask(SIG_SETMASK, &before, nullptr);
    close(terminal);
    terminal = -1;
}
