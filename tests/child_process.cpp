#include "child_process.h"

#include <fcntl.h>
#include <iconv.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

pid_t startChord(int input, int output, const std::vector<std::string>& environment, int terminal)
{
    std::vector<char*> envp;
    for (const std::string& variable : environment)
        envp.push_back(const_cast<char*>(variable.c_str()));
    envp.push_back(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        setsid();
        if (terminal >= 0)
            ioctl(terminal, TIOCSCTTY, 0);
        dup2(input, 0);
        dup2(output, 1);
        alarm(20);
        char name[] = "chord";
        char* argv[] = {name, nullptr};
        execve(CHORD_PATH, argv, envp.data());
        _exit(127);
    }
    return pid;
}

Finished runChord(const std::string& input, const std::vector<std::string>& environment)
{
    Finished run;
    int in[2];
    int out[2];
    if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0)
        return run;
    // The inputs are small: the pipe holds them all before chord starts.
    if (write(in[1], input.data(), input.size()) != static_cast<ssize_t>(input.size()))
        return run;
    close(in[1]);
    const pid_t pid = startChord(in[0], out[1], environment);
    close(in[0]);
    close(out[1]);
    char buffer[4096];
    for (ssize_t n; (n = read(out[0], buffer, sizeof buffer)) > 0;)
        run.output.append(buffer, n);
    close(out[0]);
    waitpid(pid, &run.status, 0);
    return run;
}

std::string fromUtf8(const std::string& text, const char* codeset)
{
    iconv_t cd = iconv_open(codeset, "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1))
        return "(no converter)";
    std::string converted(text.size() * 4, '\0');
    char* in = const_cast<char*>(text.data());
    std::size_t inLeft = text.size();
    char* out = converted.data();
    std::size_t outLeft = converted.size();
    const bool done = iconv(cd, &in, &inLeft, &out, &outLeft) == 0;
    iconv_close(cd);
    converted.resize(converted.size() - outLeft);
    return done ? converted : "(not convertible)";
}
