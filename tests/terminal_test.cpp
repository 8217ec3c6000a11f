#include "child_process.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <string>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;

const std::string closingPrompt = "Нажмите любую клавишу";

bool sameMode(const termios& a, const termios& b)
{
    return a.c_iflag == b.c_iflag && a.c_oflag == b.c_oflag && a.c_cflag == b.c_cflag &&
        a.c_lflag == b.c_lflag && std::equal(a.c_cc, a.c_cc + NCCS, b.c_cc);
}

// Runs in the child that owns the pseudo-terminal: starts chord with standard
// input exhausted, waits for it, then reports its pid, its status, whether the
// terminal mode is as before, and how many bytes it left unread.
[[noreturn]] void probe()
{
    const rlimit noCore{0, 0};
    setrlimit(RLIMIT_CORE, &noCore);
    termios before;
    tcgetattr(0, &before);
    const pid_t chord = fork();
    if (chord == 0) {
        const int empty = open("/dev/null", O_RDONLY);
        dup2(empty, 0);
        execChord({"LC_ALL=C.UTF-8"});
        _exit(127);
    }
    dprintf(1, "<pid %d>", chord);
    int status = 0;
    waitpid(chord, &status, 0);
    termios after;
    tcgetattr(0, &after);
    // Makes whatever is left readable, without waiting for a line end.
    termios drain = after;
    drain.c_lflag &= ~(ICANON | ECHO);
    drain.c_cc[VMIN] = 0;
    drain.c_cc[VTIME] = 0;
    tcsetattr(0, TCSANOW, &drain);
    pollfd input{0, POLLIN, 0};
    char left[64];
    const ssize_t leftCount = poll(&input, 1, 200) > 0 ? read(0, left, sizeof left) : 0;
    dprintf(1, "<status %d same %d left %zd>", status, sameMode(before, after) ? 1 : 0, leftCount);
    _exit(0);
}

// chord at a pseudo-terminal of its own.
class TerminalSession {
public:
    explicit TerminalSession(const std::string& typedAhead = "")
    {
        probePid = forkpty(&master, nullptr, nullptr, nullptr);
        if (probePid == 0)
            probe();
        send(typedAhead);
        readUntil([&] { return output.find('>') != std::string::npos; });
        std::sscanf(output.c_str() + output.find("<pid "), "<pid %d>", &chordPid);
    }
    ~TerminalSession()
    {
        kill(probePid, SIGKILL);
        if (chordPid > 0)
            kill(chordPid, SIGKILL);
        waitpid(probePid, nullptr, 0);
        close(master);
    }

    // True once the closing prompt is written and the terminal is in its
    // key-wait mode.
    bool awaitKeyWait()
    {
        return readUntil([&] {
            termios mode;
            return output.find(closingPrompt) != std::string::npos && tcgetattr(master, &mode) == 0 &&
                (mode.c_lflag & ICANON) == 0;
        });
    }

    void send(const std::string& bytes) { static_cast<void>(write(master, bytes.data(), bytes.size())); }

    bool finished() const { return output.find("<status") != std::string::npos; }
    bool stillWaitingAfter(std::chrono::milliseconds pause)
    {
        return !readUntil([&] { return finished(); }, pause);
    }

    // The probe's report: chord's wait status, terminal mode unchanged, bytes left.
    struct Report {
        int status = -1;
        int sameMode = 0;
        int left = -1;
        std::string afterPrompt; // what chord wrote behind the closing prompt
    };
    Report finish()
    {
        Report report;
        if (!readUntil([&] { return finished() && output.back() == '>'; }))
            return report;
        const std::size_t at = output.find("<status");
        std::sscanf(output.c_str() + at, "<status %d same %d left %d>", &report.status, &report.sameMode,
            &report.left);
        const std::size_t prompt = output.find(closingPrompt);
        if (prompt != std::string::npos && prompt < at)
            report.afterPrompt =
                output.substr(prompt + closingPrompt.size(), at - prompt - closingPrompt.size());
        chordPid = -1;
        return report;
    }

    pid_t chord() const { return chordPid; }
    std::string output;

private:
    template <typename Done> bool readUntil(Done done, std::chrono::milliseconds limit = 10s)
    {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (!done()) {
            if (std::chrono::steady_clock::now() > end)
                return false;
            pollfd ready{master, POLLIN, 0};
            if (poll(&ready, 1, 20) > 0) {
                char buffer[1024];
                const ssize_t n = read(master, buffer, sizeof buffer);
                if (n > 0)
                    output.append(buffer, n);
            }
        }
        return true;
    }

    int master = -1;
    pid_t probePid = -1;
    pid_t chordPid = -1;
};

TEST(KeyWait, WaitsWithInputExhaustedUntilOneKey)
{
    TerminalSession session;
    ASSERT_TRUE(session.awaitKeyWait()) << session.output;
    EXPECT_TRUE(session.stillWaitingAfter(300ms));

    session.send("k");
    const auto report = session.finish();
    EXPECT_TRUE(WIFEXITED(report.status) && WEXITSTATUS(report.status) == 0) << report.status;
    EXPECT_EQ(report.sameMode, 1);
    EXPECT_EQ(report.left, 0);
    // No echo of the key; a line end so that the shell's prompt starts afresh.
    EXPECT_EQ(report.afterPrompt, "\r\n");
}

TEST(KeyWait, ConsumesTheWholeKey)
{
    const struct {
        const char* name;
        std::string bytes;
    } keys[] = {
        {"arrow up", "\x1b[A"},
        {"F1", "\x1bOP"},
        {"F5", "\x1b[15~"},
        {"Ctrl+Home", "\x1b[1;5H"},
        {"Linux console F1", "\x1b[[A"},
        {"Escape", "\x1b"},
        {"Alt+x", "\x1bx"},
        {"я", "я"},
        {"€", "€"},
        {"Ctrl+C", "\x03"},
        {"Ctrl+S", "\x13"},
        {"Enter", "\r"},
    };
    for (const auto& key : keys) {
        SCOPED_TRACE(key.name);
        TerminalSession session;
        ASSERT_TRUE(session.awaitKeyWait()) << session.output;
        session.send(key.bytes);
        const auto report = session.finish();
        EXPECT_TRUE(WIFEXITED(report.status) && WEXITSTATUS(report.status) == 0) << report.status;
        EXPECT_EQ(report.sameMode, 1);
        EXPECT_EQ(report.left, 0);
    }
}

TEST(KeyWait, AKeyTypedAheadEndsTheWait)
{
    TerminalSession session("k");
    const auto report = session.finish();
    EXPECT_TRUE(WIFEXITED(report.status) && WEXITSTATUS(report.status) == 0) << session.output;
    EXPECT_EQ(report.sameMode, 1);
    EXPECT_EQ(report.left, 0);
}

TEST(KeyWait, EndingSignalsRestoreTheMode)
{
    for (int signal : {SIGTERM, SIGHUP, SIGINT, SIGQUIT}) {
        SCOPED_TRACE(signal);
        TerminalSession session;
        ASSERT_TRUE(session.awaitKeyWait()) << session.output;
        kill(session.chord(), signal);
        const auto report = session.finish();
        EXPECT_TRUE(WIFSIGNALED(report.status) && WTERMSIG(report.status) == signal) << report.status;
        EXPECT_EQ(report.sameMode, 1);
    }
}

} // namespace
