#include "complex.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

namespace {

// Bit-for-bit equality of both parts.
void expectParts(const Complex& value, float real, float imag)
{
    EXPECT_EQ(value.real(), real);
    EXPECT_EQ(value.imag(), imag);
}

TEST(ComplexArithmetic, KnownResults)
{
    expectParts(Complex(1, 1) * Complex(1, -1), 2, 0);
    expectParts(Complex(2, 2) / Complex(1, 1), 2, 0);
    expectParts(Complex(1.5f, -2) + Complex(0.5f, 2), 2, 0);
    expectParts(Complex(1.5f, -2) - Complex(0.5f, 2), 1, -4);
    EXPECT_EQ(modulus(Complex(3, 4)), 5.0);
    // A divisor of norm 0, also where only the squares vanish.
    EXPECT_FALSE(isFinite(Complex(1, 1) / Complex(0, 0)));
    EXPECT_FALSE(isFinite(Complex(1, 1) / Complex(1e-30f, 1e-30f)));
}

TEST(ComplexArithmetic, CompoundFormsUseTheOldParts)
{
    // The right operand is the left one itself.
    Complex a(1, 2);
    const Complex& sameA = a;
    expectParts(a *= sameA, -3, 4);
    Complex b(3, -4);
    const Complex& sameB = b;
    expectParts(b /= sameB, 1, 0);
}

TEST(ComplexArithmetic, EveryProductIsRoundedToFloat)
{
    // (1 + 2^-12)^2 = 1 + 2^-11 + 2^-24 rounds to 1 + 2^-11 in float; a fused
    // or wider product would keep the 2^-24.
    const float a = 1.0f + std::ldexp(1.0f, -12);
    expectParts(Complex(a, 1) * Complex(a, 1), std::ldexp(1.0f, -11), 2 * a);
    EXPECT_EQ(norm(Complex(a, 1)), 2.0f + std::ldexp(1.0f, -11));
}

TEST(ComplexText, AcceptedForms)
{
    const struct {
        const char* text;
        float real, imag;
    } cases[] = {{"5", 5, 0}, {"(5)", 5, 0}, {"( 5 )", 5, 0}, {"(1,2)", 1, 2}, {"( 1 , 2 )", 1, 2},
        {"(-1.5e1,0.25)", -15, 0.25f}, {"\n\t -7.5\n", -7.5f, 0}, {"(\n1\n,\n-2\n)", 1, -2}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        std::istringstream in(c.text);
        Complex value(9, 9);
        EXPECT_FALSE(readComplex(in, value).fail());
        expectParts(value, c.real, c.imag);
    }
}

TEST(ComplexText, FailuresKeepTheTargetAndTheStreamFailed)
{
    for (const char* text : {"", "   ", "x", "(1;2)", "(1,2", "(1,)", "(,2)", "()", "(1 2)", "1e99", ")"}) {
        SCOPED_TRACE(text);
        std::istringstream in(text);
        Complex value(9, 9);
        EXPECT_TRUE(readComplex(in, value).fail());
        expectParts(value, 9, 9);
    }
    // 5x: 5, then the x is left and fails the next read, and every read after it.
    std::istringstream in("5x (1,2) 3");
    Complex value;
    readComplex(in, value);
    expectParts(value, 5, 0);
    readComplex(readComplex(in, value), value);
    EXPECT_TRUE(in.fail());
    expectParts(value, 5, 0);
}

} // namespace
