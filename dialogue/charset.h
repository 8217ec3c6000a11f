// The POSIX side of writeMessage: Windows-1251 texts in a terminal's codeset.
#pragma once

#include <ostream>

// Writes a Windows-1251 text to out converted to codeset with iconv, whatever
// its length. A letter the codeset lacks is written as '?'; an unknown codeset
// gets it in UTF-8, from the program's own table of the letters.
void writeInCodeset(std::ostream& out, const char* text, const char* codeset);
