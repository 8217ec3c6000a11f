#pragma once

#include <ostream>

// Character sets at a POSIX terminal, behind writeMessage.

// The character set the terminal is taken to show: that of the LC_CTYPE
// locale when it can hold Cyrillic, else UTF-8.
const char* terminalCodeset();

// Whether codeset holds all the Cyrillic letters of Windows-1251.
bool holdsCyrillic(const char* codeset);

// Writes a Windows-1251 text to out converted to codeset, whatever its length.
// A letter the codeset lacks is written as '?'; an unknown codeset gets the
// text unchanged.
void writeInCodeset(std::ostream& out, const char* text, const char* codeset);
