#include "charset.h"
#include "child_process.h"
#include "dialogue.h"
#include "messages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>

namespace {

// The test process keeps the C locale, whose character set holds no Cyrillic:
// the texts come out in UTF-8.
std::string run(const std::string& input)
{
    std::istringstream in(input);
    std::ostringstream out;
    runDialogue(in, out);
    return out.str();
}

// What stands between the roots heading and the closing prompt.
std::string results(const std::string& input)
{
    const std::string transcript = run(input);
    const std::string heading = "A()= \nКорни полинома: \n";
    const std::string closing = "Нажмите любую клавишу";
    const std::size_t at = transcript.find(heading);
    const std::size_t to = transcript.size() - std::min(transcript.size(), closing.size());
    if (at == std::string::npos || transcript.compare(to, std::string::npos, closing) != 0)
        return "(malformed) " + transcript;
    return transcript.substr(at + heading.size(), to - at - heading.size());
}

TEST(Dialogue, RootsAndStepCount)
{
    const std::string inaccurate = " (точность не достигнута)";
    const struct {
        const char* input;
        std::string expected;
    } cases[] = {
        {"2\n1 -3 2\n", "x1=1 -5.93766e-08i\nx2=2 0i\nЧисло итераций: 6\n"},
        {"2\n1\n0\n1\n", "x1=8.70787e-08 1i\nx2=-8.9407e-08 -1i\nЧисло итераций: 6\n"},
        {"1 1 -2", "x1=2 0i\nЧисло итераций: 0\n"},
        {"1 (0,1) 1", "x1=0 1i\nЧисло итераций: 0\n"},
        {"2 1 0 (0,1)",
            "x1=-208.474 -208.474i" + inaccurate + "\nx2=0 0i" + inaccurate + "\nЧисло итераций: 10000\n"},
        {"2 0 1 -2", "x1=2 0i\nx2=1 1i" + inaccurate + "\nЧисло итераций: 0\n"},
        // Missing or malformed coefficients leave their slots at 0 + 0i.
        {"2 1 -1", "x1=0 0i\nx2=1 0i\nЧисло итераций: 0\n"},
        {"2 1 (1;2) -1", "x1=0 0i\nx2=0 0i\nЧисло итераций: 0\n"},
        // No root lines: order 0, no order at all, one that is no number,
        // beyond 32 bits or negative.
        {"0 5", "Число итераций: 0\n"},
        {"", "Число итераций: 0\n"},
        {"  \n ", "Число итераций: 0\n"},
        {"abc 1 -2", "Число итераций: 0\n"},
        {"2147483648 1 -2", "Число итераций: 0\n"},
        {"-2147483648 1 -2", "Число итераций: 0\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.input);
        EXPECT_EQ(results(c.input), c.expected);
    }
}

TEST(Dialogue, AnOrderAboveNineIsAskedAgain)
{
    const std::string again = "Порядок уравнения не может быть больше 9\nЗадайте порядок уравнения: ";
    const std::string transcript = run("10 2147483647 1 1 -2");
    EXPECT_NE(transcript.find("уравнения: " + again + again + "Задайте коэфф"), std::string::npos)
        << transcript;
    EXPECT_EQ(results("10 2147483647 1 1 -2"), "x1=2 0i\nЧисло итераций: 0\n");
    EXPECT_EQ(results("12"), "Число итераций: 0\n");
    EXPECT_EQ(results("9 1 0 0 0 0 0 0 0 0 -1").substr(0, 3), "x1=");
}

TEST(Dialogue, EachRunStartsAfresh)
{
    run("3 1 2 3 4");
    // The second coefficient is missing: 5x, whose root is 0.
    EXPECT_EQ(results("1 5"), "x1=0 0i\nЧисло итераций: 0\n");
}

TEST(Catalogue, EveryTextConvertsToUtf8AndKoi8r)
{
    const struct {
        const char* stored;
        const char* plain;
    } texts[] = {
        {messages::title, "Программа демонстрирует решение алгебраического уравнения методом хорд"},
        {messages::orderPrompt, "Задайте порядок уравнения: "},
        {messages::orderTooLarge, "Порядок уравнения не может быть больше 9"},
        {messages::coefficientPrompt, "Задайте коэффициенты полинома через пробел:"},
        {messages::coefficientHint, "от a0 при X в N-ой степени до aN свободный член"},
        {messages::rootsHeading, "Корни полинома: "},
        {messages::notConverged, " (точность не достигнута)"},
        {messages::stepCountLabel, "Число итераций: "},
        {messages::closingPrompt, "Нажмите любую клавишу"},
    };
    for (const auto& text : texts) {
        SCOPED_TRACE(text.plain);
        EXPECT_LE(std::string(text.stored).size(), 99u);
        std::ostringstream utf8;
        writeInCodeset(utf8, text.stored, "UTF-8");
        EXPECT_EQ(utf8.str(), text.plain);
        // The same letters reached from the plain text by another converter.
        std::ostringstream koi8r;
        writeInCodeset(koi8r, text.stored, "KOI8-R");
        EXPECT_EQ(koi8r.str(), fromUtf8(text.plain, "KOI8-R"));
    }
    std::ostringstream koi8r;
    writeInCodeset(koi8r, messages::rootsHeading, "KOI8-R");
    EXPECT_EQ(koi8r.str(), "\xEB\xCF\xD2\xCE\xC9 \xD0\xCF\xCC\xC9\xCE\xCF\xCD\xC1: ");
}

TEST(Catalogue, ConversionIsNeverCutShort)
{
    // Nothing is cut short, however long the converted text grows.
    std::ostringstream utf8;
    writeInCodeset(utf8, std::string(99, '\xC6').c_str(), "UTF-8");
    EXPECT_EQ(utf8.str().size(), 198u);
    EXPECT_EQ(utf8.str().substr(194), "ЖЖ");
    // A letter the character set lacks shows as '?'; the rest is kept.
    std::ostringstream latin1;
    writeInCodeset(latin1, messages::coefficientHint, "ISO-8859-1");
    EXPECT_EQ(latin1.str(), "?? a0 ??? X ? N-?? ??????? ?? aN ????????? ????");
}

} // namespace
