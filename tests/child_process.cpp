#include "child_process.h"

#include <cerrno>
#include <chrono>
#include <csignal>

#include <fcntl.h>
#include <iconv.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {
constexpr auto deadline = std::chrono::seconds(20);
}

void execChord(const std::vector<std::string>& environment)
{
    std::vector<char*> envp;
    for (const std::string& variable : environment)
        envp.push_back(const_cast<char*>(variable.c_str()));
    envp.push_back(nullptr);
    char name[] = "chord";
    char* argv[] = {name, nullptr};
    execve(CHORD_PATH, argv, envp.data());
}

Finished runChord(const std::string& input, const std::vector<std::string>& environment)
{
    // The program may stop reading early: a write to it must not kill the test.
    std::signal(SIGPIPE, SIG_IGN);
    int toChild[2];
    int fromChild[2];
    Finished result;
    if (pipe(toChild) != 0 || pipe(fromChild) != 0)
        return result;
    const pid_t pid = fork();
    if (pid == 0) {
        setsid();
        dup2(toChild[0], 0);
        dup2(fromChild[1], 1);
        close(toChild[0]);
        close(toChild[1]);
        close(fromChild[0]);
        close(fromChild[1]);
        execChord(environment);
        _exit(127);
    }
    close(toChild[0]);
    close(fromChild[1]);
    fcntl(toChild[1], F_SETFL, O_NONBLOCK);
    std::size_t written = 0;
    if (input.empty())
        close(toChild[1]);

    const auto end = std::chrono::steady_clock::now() + deadline;
    bool open = true;
    while (open) {
        if (std::chrono::steady_clock::now() > end) {
            result.timedOut = true;
            kill(pid, SIGKILL);
            break;
        }
        pollfd fds[2] = {{fromChild[0], POLLIN, 0}, {written < input.size() ? toChild[1] : -1, POLLOUT, 0}};
        if (poll(fds, 2, 100) < 0 && errno != EINTR)
            break;
        if (fds[1].revents != 0) {
            const ssize_t n = write(toChild[1], input.data() + written, input.size() - written);
            written = n > 0 ? written + n : input.size();
            if (written == input.size())
                close(toChild[1]);
        }
        if (fds[0].revents != 0) {
            char buffer[4096];
            const ssize_t n = read(fromChild[0], buffer, sizeof buffer);
            if (n > 0)
                result.output.append(buffer, n);
            else
                open = false;
        }
    }
    if (written < input.size())
        close(toChild[1]);
    close(fromChild[0]);
    waitpid(pid, &result.status, 0);
    return result;
}

std::string fromUtf8(const std::string& text, const char* codeset)
{
    const iconv_t cd = iconv_open(codeset, "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1))
        return "(no converter)";
    std::string converted(text.size() * 4, '\0');
    char* in = const_cast<char*>(text.data());
    std::size_t inLeft = text.size();
    char* out = converted.data();
    std::size_t outLeft = converted.size();
    if (iconv(cd, &in, &inLeft, &out, &outLeft) == static_cast<std::size_t>(-1))
        converted = "(not convertible)";
    else
        converted.resize(converted.size() - outLeft);
    iconv_close(cd);
    return converted;
}
