#include "complex.h"

#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>
#include <fstream>
#include <sstream>
#include <string>

namespace {

// The escapes of readings.txt, as of the case files: \n a line end, \t a tab,
// \\ a backslash; any other backslash stands for itself.
std::string unescape(const std::string& text)
{
    std::string plain;
    for (std::size_t at = 0; at < text.size(); ++at) {
        const char next = at + 1 < text.size() ? text[at + 1] : '\0';
        const bool escape = text[at] == '\\' && (next == 'n' || next == 't' || next == '\\');
        plain += !escape ? text[at] : next == 'n' ? '\n' : next == 't' ? '\t' : '\\';
        at += escape;
    }
    return plain;
}

// As the program does when it starts: the floating-point environment the
// language defines, whatever start file the flags linked in.
struct DefinedRounding : testing::Environment {
    void SetUp() override { std::fesetenv(FE_DFL_ENV); }
};
[[maybe_unused]] testing::Environment* const rounding = testing::AddGlobalTestEnvironment(new DefinedRounding);

std::string parts(const Complex& value)
{
    std::ostringstream out;
    out.precision(9);
    out << value.real() << ' ' << value.imag();
    return out.str();
}

TEST(Complex, Arithmetic)
{
    // (1 + 2^-12)^2 = 1 + 2^-11 + 2^-24 rounds to 1 + 2^-11 in float; a fused
    // or wider product would keep the 2^-24.
    const float a = 1.0f + std::ldexp(1.0f, -12);
    // The right operand is the left one itself: both parts of the result
    // come from the old values.
    Complex square(1, 2);
    Complex quotient(3, -4);
    const Complex& squared = square;
    const Complex& divisor = quotient;
    const struct {
        Complex result, expected;
    } cases[] = {{Complex(1, 1) * Complex(1, -1), 2}, {Complex(2, 2) / Complex(1, 1), 2},
        {Complex(1.5f, -2) + Complex(0.5f, 2), 2}, {Complex(1.5f, -2) - Complex(0.5f, 2), {1, -4}},
        {Complex(a, 1) * Complex(a, 1), {std::ldexp(1.0f, -11), 2 * a}}, {square *= squared, {-3, 4}},
        {quotient /= divisor, 1}, {norm(Complex(a, 1)), 2.0f + std::ldexp(1.0f, -11)},
        {static_cast<float>(modulus(Complex(3, 4))), 5}};
    for (const auto& c : cases)
        EXPECT_EQ(parts(c.result), parts(c.expected)) << "case " << &c - cases;
    // A divisor of norm 0, also where only the squares vanish.
    EXPECT_FALSE(isFinite(Complex(1, 1) / Complex(0, 0)));
    EXPECT_FALSE(isFinite(Complex(1, 1) / Complex(1e-30f, 1e-30f)));
}

TEST(Complex, EveryReadingOfTheTable)
{
    std::ifstream table(TEST_DATA "/readings.txt");
    int count = 0;
    for (std::string line; std::getline(table, line);) {
        if (line[0] == '#')
            continue;
        ++count;
        std::istringstream fields(line);
        std::string input, value, end, left;
        std::getline(std::getline(std::getline(std::getline(fields, input, '\t'), value, '\t'), end, '\t'), left);
        std::istringstream in(unescape(input));
        Complex target(9, 9);
        const bool read = !readComplex(in, target).fail();
        const bool atEnd = in.eof();
        EXPECT_EQ(read ? parts(target) : "fails", value) << input;
        EXPECT_EQ(read ? std::string(std::istreambuf_iterator<char>(in), {}) : "", unescape(left)) << input;
        EXPECT_TRUE(read || parts(target) == "9 9") << input;
        EXPECT_EQ(atEnd ? "eof" : "-", end) << input;
    }
    EXPECT_GE(count, 20);
}

} // namespace
