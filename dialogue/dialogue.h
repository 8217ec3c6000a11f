#pragma once

#include <istream>
#include <ostream>

// Runs the whole dialogue once on the given streams, from the solver's start
// values: prompts, order and coefficients, the roots and the step count, and
// the closing prompt. The key wait is left to the caller.
void runDialogue(std::istream& in, std::ostream& out);

// Told of each root as the dialogue writes it, for a console that shows more
// than the text: its number from 1, whether it is written with the remark
// that the tolerance was not reached, and whether that remark is owed to a
// search before it that missed. None unless a console sets one.
extern void (*rootWritten)(int number, bool remark, bool afterMiss);
