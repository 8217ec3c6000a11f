#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

// Runs the built program as a user would. A run that hangs is ended by
// SIGALRM after 20 s, so no test waits on it for longer.

// Starts chord in a session of its own with only the given environment. It
// has a controlling terminal only if terminal is a pseudo-terminal's slave.
pid_t startChord(int input, int output, const std::vector<std::string>& environment, int terminal = -1);

struct Finished {
    std::string output; // everything it wrote to standard output
    int status = -1;    // as waitpid gives it
};

// Runs chord with no terminal and input piped to its standard input.
Finished runChord(const std::string& input, const std::vector<std::string>& environment);

// Converts UTF-8 text to codeset with iconv.
std::string fromUtf8(const std::string& text, const char* codeset);
