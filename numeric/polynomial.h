// The polynomial being solved, and the chord method that finds its roots.
#pragma once

#include "complex.h"
#include "run_observer.h"

#include <array>
#include <cstdint>

inline constexpr int tableSize = 10;              // equations of order 0 to 9
inline constexpr float tolerance = 1e-5f;         // on the modulus of P at a new point
inline constexpr std::int32_t stepBudget = 10000; // shared by all searches of a run

// The current polynomial: slot 0 multiplies the highest power, slot
// coefficientCount - 1 is the free term. Only slots below coefficientCount are
// in use.
extern std::array<Complex, tableSize> CoefficientTable;
extern std::int32_t coefficientCount;
// Chord steps that did not end a search, summed over the run; also the budget.
extern std::int32_t iterationCount;

// Puts the table and both counters back to their start values: 0 + 0i, 0, 0.
void resetSolver();

// The current polynomial at x, by Horner's scheme.
Complex evaluate(const Complex& x);

// Whether a polynomial value is close enough to zero to end a search.
bool withinTolerance(const Complex& value);

// Searches one root of the current polynomial by the chord method from the
// points first and second. Returns the point where |P| fell below the
// tolerance; else the last point reached when the budget ran out or a step
// left the finite numbers (0 + 0i if the budget was spent before the search).
Complex findRootFrom(const Complex& first, const Complex& second);

// The search from the program's own start points, 0 + 0i and 1 + 1i.
Complex findRoot();

// Divides the current polynomial by (x - root), dropping the remainder.
void deflate(const Complex& root);
