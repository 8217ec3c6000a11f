#pragma once

#include <ostream>

// Writes a Windows-1251 text to out converted to codeset with iconv, whatever
// its length. A letter the codeset lacks is written as '?'; an unknown codeset
// gets the text unchanged. This is the POSIX side of writeMessage.
void writeInCodeset(std::ostream& out, const char* text, const char* codeset);
