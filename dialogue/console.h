// The console services that differ from platform to platform.
#pragma once

#include <ostream>

// Readies the console before the dialogue begins. Only the page has
// anything to do: its typed lines become standard input, and its drawing is
// told of the searches and of the roots as they are written.
void openConsole();

// Writes a Windows-1251 text (at most 99 bytes) to out in the terminal's
// character set and flushes out. Adds no line end.
void writeMessage(std::ostream& out, const char* text);

// Returns when one key has been pressed at the terminal itself, whatever
// standard input is; at once when there is no terminal.
void waitForKey();
