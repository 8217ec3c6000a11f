#include "child_process.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <string>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

namespace {

// chord with a pseudo-terminal for its terminal and its standard output, and
// standard input exhausted from the start.
class Terminal {
public:
    Terminal()
    {
        openpty(&master, &slave, nullptr, nullptr, nullptr);
        fcntl(master, F_SETFD, FD_CLOEXEC);
        fcntl(slave, F_SETFD, FD_CLOEXEC);
        tcgetattr(slave, &before);
        const int empty = open("/dev/null", O_RDONLY | O_CLOEXEC);
        pid = startChord(empty, slave, {"LC_ALL=C.UTF-8"}, slave);
        close(empty);
    }
    ~Terminal()
    {
        if (pid > 0)
            kill(pid, SIGKILL);
        status();
        close(master);
        close(slave);
    }

    // Whether, within 10 s, the closing prompt is written and the terminal is
    // in the key wait's mode.
    bool awaitKeyWait()
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        termios mode;
        while (output.find("Нажмите любую клавишу") == std::string::npos || tcgetattr(slave, &mode) != 0 ||
            (mode.c_lflag & ICANON) != 0) {
            if (std::chrono::steady_clock::now() > end)
                return false;
            readOutput(20);
        }
        return true;
    }
    // Adds what chord wrote to the terminal within timeoutMs to output.
    void readOutput(int timeoutMs)
    {
        pollfd ready{master, POLLIN, 0};
        char buffer[1024];
        while (poll(&ready, 1, timeoutMs) > 0) {
            const ssize_t n = read(master, buffer, sizeof buffer);
            if (n <= 0)
                return;
            output.append(buffer, n);
        }
    }
    void type(const std::string& keys) { static_cast<void>(write(master, keys.data(), keys.size())); }
    // Whether chord has ended; with WNOHANG it is not waited for.
    bool ended(int options = 0)
    {
        if (pid > 0 && waitpid(pid, &exitStatus, options) == pid)
            pid = -1;
        return pid <= 0;
    }
    int status()
    {
        ended();
        return exitStatus;
    }
    bool modeRestored()
    {
        termios after;
        tcgetattr(slave, &after);
        return after.c_iflag == before.c_iflag && after.c_oflag == before.c_oflag &&
            after.c_cflag == before.c_cflag && after.c_lflag == before.c_lflag &&
            std::equal(after.c_cc, after.c_cc + NCCS, before.c_cc);
    }
    // The bytes typed at the terminal that no one has read.
    ssize_t leftUnread()
    {
        termios drain = before;
        drain.c_lflag &= ~ICANON;
        drain.c_cc[VMIN] = 0;
        drain.c_cc[VTIME] = 0;
        tcsetattr(slave, TCSANOW, &drain);
        char buffer[64];
        return read(slave, buffer, sizeof buffer);
    }

    std::string output;
    pid_t pid = -1;

private:
    int master = -1;
    int slave = -1;
    termios before{};
    int exitStatus = -1;
};

bool exitedWithZero(int status) { return WIFEXITED(status) && WEXITSTATUS(status) == 0; }

TEST(KeyWait, WaitsForOneKeyAndTakesItWhole)
{
    const struct {
        const char* name;
        std::string keys;
    } presses[] = {
        {"a letter", "k"},
        {"Enter", "\r"},
        {"Ctrl+C, a character here", "\x03"},
        {"Ctrl+S", "\x13"},
        {"Escape", "\x1b"},
        {"arrow up", "\x1b[A"},
        {"Ctrl+Home", "\x1b[1;5H"},
        {"F1", "\x1bOP"},
        {"F5", "\x1b[15~"},
        {"the Linux console's F1", "\x1b[[A"},
        {"Alt+x", "\x1bx"},
        {"я", "я"},
        {"€", "€"},
    };
    for (const auto& press : presses) {
        SCOPED_TRACE(press.name);
        Terminal terminal;
        ASSERT_TRUE(terminal.awaitKeyWait()) << terminal.output;
        terminal.readOutput(100);
        EXPECT_FALSE(terminal.ended(WNOHANG));
        terminal.output.clear();
        terminal.type(press.keys);
        EXPECT_TRUE(exitedWithZero(terminal.status()));
        // No echo; a line end of its own for the shell's prompt.
        terminal.readOutput(0);
        EXPECT_EQ(terminal.output, "\r\n");
        EXPECT_TRUE(terminal.modeRestored());
        EXPECT_EQ(terminal.leftUnread(), 0);
    }
}

TEST(KeyWait, AKeyTypedAheadEndsTheWait)
{
    Terminal terminal;
    terminal.type("k");
    EXPECT_TRUE(exitedWithZero(terminal.status()));
    EXPECT_TRUE(terminal.modeRestored());
    EXPECT_EQ(terminal.leftUnread(), 0);
}

TEST(KeyWait, EndingSignalsRestoreTheMode)
{
    // SIGQUIT ends the process without a core file.
    const rlimit noCore{0, 0};
    setrlimit(RLIMIT_CORE, &noCore);
    for (int signal : {SIGTERM, SIGHUP, SIGINT, SIGQUIT}) {
        SCOPED_TRACE(signal);
        Terminal terminal;
        ASSERT_TRUE(terminal.awaitKeyWait()) << terminal.output;
        kill(terminal.pid, signal);
        const int status = terminal.status();
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << status;
        EXPECT_TRUE(terminal.modeRestored());
    }
}

} // namespace
