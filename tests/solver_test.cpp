// The chord method started elsewhere than at the program's own points, as
// the page's experiment starts it: where the search ends, and how.
#include "polynomial.h"

#include <gtest/gtest.h>

// x² + i: from the program's points every step stays on the line through 0
// and 1 + i, which holds no root; off it the search converges; from one point
// twice there is no chord, and the search stops where it stands.
TEST(SearchFrom, EndsAsItsStartPointsDecide)
{
    const struct {
        const char* what;
        Complex first, second;
        bool converges, spendsBudget;
    } starts[] = {
        {"the program's own points", Complex(0, 0), Complex(1, 1), false, true},
        {"off the line", Complex(0, 0), Complex(1, 0.5f), true, false},
        {"near the other root", Complex(-1, 0.5f), Complex(-0.5f, 1), true, false},
        {"one point twice", Complex(1, 0.5f), Complex(1, 0.5f), false, false},
    };
    for (const auto& start : starts) {
        resetSolver();
        CoefficientTable = {Complex(1, 0), Complex(0, 0), Complex(0, 1)};
        coefficientCount = 3;
        const Complex root = findRootFrom(start.first, start.second);
        EXPECT_EQ(withinTolerance(evaluate(root)), start.converges) << start.what;
        EXPECT_EQ(iterationCount == stepBudget, start.spendsBudget) << start.what;
        const bool stoppedThere = root.real() == start.second.real() && root.imag() == start.second.imag();
        EXPECT_TRUE(start.converges || start.spendsBudget || stoppedThere) << start.what;
    }
}
