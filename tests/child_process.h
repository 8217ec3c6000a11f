#pragma once

#include <string>
#include <vector>

// Running the built program as a user would, never waiting on it for long.

struct Finished {
    std::string output; // everything it wrote to standard output
    int status = -1;    // as waitpid gives it
    bool timedOut = false;
};

// Runs chord in a session of its own, so it has no terminal, with input piped
// to its standard input and only the given environment.
Finished runChord(const std::string& input, const std::vector<std::string>& environment);

// Starts chord with argv[0] "chord" and the given environment in place of the
// calling process. Returns only if that fails.
void execChord(const std::vector<std::string>& environment);

// Converts UTF-8 text to codeset with iconv.
std::string fromUtf8(const std::string& text, const char* codeset);
