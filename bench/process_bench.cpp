// The whole-process time of a dialogue run with piped input and no terminal,
// against a program that only reads a number and prints it: start, input,
// output and exit, as a user at a pipe sees them.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

// Runs program with input on a pipe and output to /dev/null, as a session of
// its own, and waits for it.
bool runWithInput(const char* program, const char* input)
{
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0)
        return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[0], STDIN_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[1]);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
    char* argv[] = {const_cast<char*>(program), nullptr};
    pid_t child = 0;
    const bool started = posix_spawn(&child, program, &actions, &attributes, argv, environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    close(pipeEnds[0]);
    if (started) {
        const std::size_t length = std::strlen(input);
        if (write(pipeEnds[1], input, length) != static_cast<ssize_t>(length))
            std::abort();
    }
    close(pipeEnds[1]);
    int status = 0;
    return started && waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void process(benchmark::State& state, const char* program, const char* input)
{
    for (auto _ : state)
        if (!runWithInput(program, input))
            state.SkipWithError("the program did not end with status 0");
}

BENCHMARK_CAPTURE(process, chordQuadratic, CHORD_PATH, "2\n1 -3 2\n")
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(process, echoNumber, ECHO_NUMBER_PATH, "2\n")->Unit(benchmark::kMicrosecond)->UseRealTime();

} // namespace
