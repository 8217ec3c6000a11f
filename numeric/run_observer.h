// What a run tells whoever draws it: searches' starts, steps, ends; roots.
#pragma once

#include "complex.h"

// How a search ended: within the tolerance, with the step budget spent, or on
// a step that left the finite numbers.
enum class SearchEnd { withinTolerance, budgetSpent, leftFiniteNumbers };

// Each end by name, in the order above, as the page's pictures and files
// call it.
inline constexpr const char* searchEndNames[] = {"tolerance", "budget", "nonfinite"};

// What a run tells a console that shows more than its text. From the solver:
// each search's start, with the polynomial it works on (count coefficients,
// the highest power's first) and its values at the two start points; each new
// point with its value (only finite ones); the end, with the root returned.
// From the dialogue: each root as it is written, whether with the remark that
// the tolerance was not reached, and whether that remark is owed to a search
// before it that missed.
struct RunObserver {
    void (*searchStarted)(const Complex* polynomial, int count, const Complex& x0, const Complex& f0,
        const Complex& x1, const Complex& f1);
    void (*searchStepped)(const Complex& x, const Complex& f);
    void (*searchEnded)(SearchEnd end, const Complex& root);
    void (*rootWritten)(int number, bool remark, bool afterMiss);
};

// None unless a console sets one; then a run tells nothing.
extern const RunObserver* runObserver;
