// The dialogue: prompts, order and coefficients read, roots written.
#pragma once

#include <istream>
#include <ostream>

// Runs the whole dialogue once on the given streams, from the solver's start
// values: prompts, order and coefficients, the roots and the step count, and
// the closing prompt. The key wait is left to the caller.
void runDialogue(std::istream& in, std::ostream& out);
