// The chord method started elsewhere than at the program's own points, as
// the page's experiment starts it: where the search ends, and how.
#include "polynomial.h"

#include <gtest/gtest.h>

#include <initializer_list>

namespace {

SearchEnd lastEnd;
const RunObserver endsKept{
    [](const Complex*, int, const Complex&, const Complex&, const Complex&, const Complex&) {},
    [](const Complex&, const Complex&) {},
    [](SearchEnd end, const Complex&) { lastEnd = end; },
    [](int, bool, bool) {},
};

void load(std::initializer_list<Complex> coefficients)
{
    resetSolver();
    for (const Complex& c : coefficients)
        CoefficientTable[coefficientCount++] = c;
}

struct Start {
    const char* what;
    Complex first, second;
    SearchEnd end;
};

// x² + i: from the program's points every step stays on the line through
// 0 and 1 + i, which holds no root; off it the search converges.
TEST(SearchFrom, EndsAsItsStartPointsDecide)
{
    const Start starts[] = {
        {"the program's own points", Complex(0, 0), Complex(1, 1), SearchEnd::budgetSpent},
        {"off the line", Complex(0, 0), Complex(1, 0.5f), SearchEnd::withinTolerance},
        {"near the other root", Complex(-1, 0.5f), Complex(-0.5f, 1), SearchEnd::withinTolerance},
        {"one point twice: no chord", Complex(1, 0.5f), Complex(1, 0.5f), SearchEnd::leftFiniteNumbers},
    };
    runObserver = &endsKept;
    for (const Start& start : starts) {
        load({1, 0, Complex(0, 1)});
        const Complex root = findRootFrom(start.first, start.second);
        EXPECT_EQ(lastEnd, start.end) << start.what;
        EXPECT_EQ(withinTolerance(evaluate(root)), start.end == SearchEnd::withinTolerance) << start.what;
        if (start.end == SearchEnd::leftFiniteNumbers) {
            EXPECT_EQ(root.real(), start.second.real()) << start.what;
            EXPECT_EQ(root.imag(), start.second.imag()) << start.what;
        }
    }
    runObserver = nullptr;
}

} // namespace
