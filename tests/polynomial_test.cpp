#include "polynomial.h"

#include <gtest/gtest.h>

#include <initializer_list>

namespace {

// Makes the given coefficients, highest power first, the current polynomial.
void setPolynomial(std::initializer_list<Complex> coefficients)
{
    resetSolver();
    for (const Complex& c : coefficients)
        CoefficientTable[coefficientCount++] = c;
}

void expectParts(const Complex& value, float real, float imag)
{
    EXPECT_EQ(value.real(), real);
    EXPECT_EQ(value.imag(), imag);
}

TEST(Solver, FirstStepLandsExactly)
{
    setPolynomial({1, -2});
    expectParts(findRoot(), 2, 0);
    EXPECT_EQ(iterationCount, 0); // the step that ends a search is not counted
    setPolynomial({Complex(0, 1), 1});
    expectParts(findRoot(), 0, 1);
    EXPECT_EQ(iterationCount, 0);
}

TEST(Solver, DeflationLeavesTheQuotient)
{
    setPolynomial({1, -3, 2});
    deflate(1);
    EXPECT_EQ(coefficientCount, 2);
    expectParts(CoefficientTable[0], 1, 0);
    expectParts(CoefficientTable[1], -2, 0);
    expectParts(findRoot(), 2, 0);
}

TEST(Solver, TheBudgetIsSharedByAllSearches)
{
    // x^2 + i: the search stays on the line through 0 and 1 + i.
    setPolynomial({1, 0, Complex(0, 1)});
    const Complex trapped = findRoot();
    EXPECT_EQ(iterationCount, stepBudget);
    EXPECT_FALSE(withinTolerance(evaluate(trapped)));
    // With the budget spent no step is taken: 0 + 0i, which drops the free term.
    setPolynomial({1, -3, 2});
    iterationCount = stepBudget;
    expectParts(findRoot(), 0, 0);
    deflate(0);
    EXPECT_EQ(coefficientCount, 2);
    expectParts(CoefficientTable[1], -3, 0);
}

TEST(Solver, ANonFiniteStepEndsTheSearchAtTheLastPoint)
{
    // Constant while two slots are in use: f1 - f0 is 0 at once.
    setPolynomial({0, 1});
    expectParts(findRoot(), 1, 1);
    EXPECT_EQ(iterationCount, 0);
    // Values beyond the float range.
    for (float big : {1e38f, -3e38f}) {
        setPolynomial({big, big, big, big});
        EXPECT_TRUE(isFinite(findRoot()));
        EXPECT_LT(iterationCount, stepBudget);
    }
}

TEST(Solver, FindsAllRootsOfOrderNine)
{
    // (x - 1)(x + 1) x^7
    setPolynomial({1, 0, -1, 0, 0, 0, 0, 0, 0, 0});
    while (coefficientCount > 1) {
        const Complex root = findRoot();
        EXPECT_TRUE(withinTolerance(evaluate(root))) << coefficientCount;
        deflate(root);
    }
}

} // namespace
