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

TEST(Polynomial, EvaluatesByHorner)
{
    setPolynomial({1, -3, 2});
    expectParts(evaluate(Complex(1, 1)), -1, -1);
    expectParts(evaluate(2), 0, 0);
    // A constant, or no slot in use: slot 0.
    setPolynomial({Complex(4, 5)});
    expectParts(evaluate(7), 4, 5);
    coefficientCount = 0;
    expectParts(evaluate(7), 4, 5);
}

TEST(Polynomial, FirstStepLandsExactly)
{
    setPolynomial({1, -2});
    expectParts(findRoot(), 2, 0);
    EXPECT_EQ(iterationCount, 0); // the step that ends a search is not counted

    setPolynomial({Complex(0, 1), 1});
    expectParts(findRoot(), 0, 1);
    EXPECT_EQ(iterationCount, 0);
}

TEST(Polynomial, DeflationLeavesTheQuotient)
{
    setPolynomial({1, -3, 2});
    deflate(1);
    EXPECT_EQ(coefficientCount, 2);
    expectParts(CoefficientTable[0], 1, 0);
    expectParts(CoefficientTable[1], -2, 0);
    expectParts(CoefficientTable[2], 2, 0); // outside the polynomial now, untouched
    expectParts(findRoot(), 2, 0);
}

TEST(Polynomial, TheBudgetIsSharedByAllSearches)
{
    // x^2 + i: the search stays on the line through 0 and 1 + i.
    setPolynomial({1, 0, Complex(0, 1)});
    const Complex trapped = findRoot();
    EXPECT_EQ(iterationCount, stepBudget);
    EXPECT_TRUE(isFinite(trapped));
    EXPECT_FALSE(withinTolerance(evaluate(trapped)));

    // With the budget spent no step is taken: 0 + 0i, which drops the free term.
    setPolynomial({1, -3, 2});
    iterationCount = stepBudget;
    expectParts(findRoot(), 0, 0);
    deflate(0);
    EXPECT_EQ(coefficientCount, 2);
    expectParts(CoefficientTable[1], -3, 0);
}

TEST(Polynomial, ANonFiniteStepEndsTheSearchAtTheLastPoint)
{
    // Constant while two slots are in use: f1 - f0 is 0 at once.
    setPolynomial({0, 1});
    expectParts(findRoot(), 1, 1);
    EXPECT_EQ(iterationCount, 0);

    // Values beyond the float range.
    for (float big : {1e38f, -3e38f}) {
        setPolynomial({big, big, big, big});
        const Complex root = findRoot();
        EXPECT_TRUE(isFinite(root));
        EXPECT_LT(iterationCount, stepBudget);
    }
}

TEST(Polynomial, TableHoldsOrderNine)
{
    // (x - 1)(x + 1) times x^7: all nine roots found.
    setPolynomial({1, 0, -1, 0, 0, 0, 0, 0, 0, 0});
    for (int k = 0; k < 9; ++k) {
        const Complex root = findRoot();
        EXPECT_TRUE(withinTolerance(evaluate(root))) << "root " << k + 1;
        deflate(root);
    }
    EXPECT_EQ(coefficientCount, 1);
}

} // namespace
