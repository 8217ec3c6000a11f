#include "child_process.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>

namespace {

const std::string transcript = "Программа демонстрирует решение алгебраического уравнения методом хорд\n"
                               "Задайте порядок уравнения: "
                               "Задайте коэффициенты полинома через пробел:\n"
                               "от a0 при X в N-ой степени до aN свободный член\n"
                               "A()= \n"
                               "Корни полинома: \n"
                               "x1=8.70787e-08 1i\n"
                               "x2=-8.9407e-08 -1i\n"
                               "Число итераций: 6\n"
                               "Нажмите любую клавишу";

void expectTranscript(const std::vector<std::string>& environment, const std::string& expected)
{
    const Finished run = runChord("2\n1 0 1\n", environment);
    EXPECT_FALSE(run.timedOut) << "the key wait did not return without a terminal";
    ASSERT_TRUE(WIFEXITED(run.status));
    EXPECT_EQ(WEXITSTATUS(run.status), 0);
    EXPECT_EQ(run.output, expected);
}

// The Russian locales, made with localedef into the build tree; empty when
// they can't be made here.
std::string russianLocales()
{
    static const std::string folder = [] {
        const std::string dir = LOCALE_DIR;
        mkdir(dir.c_str(), 0755);
        for (const char* charmap : {"UTF-8", "KOI8-R", "IBM866", "ISO-8859-5"}) {
            const std::string target = dir + "/ru_RU." + charmap;
            struct stat made;
            if (stat(target.c_str(), &made) == 0)
                continue;
            const std::string command = std::string("localedef -f ") + charmap + " -i ru_RU " + target +
                " </dev/null >/dev/null 2>&1";
            if (std::system(command.c_str()) != 0)
                return std::string();
        }
        return dir;
    }();
    return folder;
}

TEST(Program, WritesUtf8WhereTheLocaleHoldsNoCyrillic)
{
    expectTranscript({"LC_ALL=C.UTF-8"}, transcript);
    expectTranscript({"LC_ALL=C"}, transcript);
    expectTranscript({}, transcript);
}

TEST(Program, WritesTheCharacterSetOfTheLocale)
{
    const std::string locales = russianLocales();
    if (locales.empty())
        GTEST_SKIP() << "localedef could not make the Russian locales";
    const std::string path = "LOCPATH=" + locales;
    // The Russian locale writes numbers with a decimal comma; ours keep the point.
    expectTranscript({path, "LC_ALL=ru_RU.UTF-8"}, transcript);
    expectTranscript({path, "LANG=ru_RU.KOI8-R"}, fromUtf8(transcript, "KOI8-R"));
    expectTranscript({path, "LC_ALL=ru_RU.IBM866"}, fromUtf8(transcript, "CP866"));
    expectTranscript({path, "LC_CTYPE=ru_RU.ISO-8859-5"}, fromUtf8(transcript, "ISO-8859-5"));
}

TEST(Program, StopsAtAnyInput)
{
    for (const char* input :
        {"", "abc", "12\n", "9 (1,1e38) (1e38,-1e38) 1e38 1e38 1e38 1e38 1e38 1e38 1e38 1e38",
            "3 ((1,2)) (1,2,3) ,,,", "\xFF\xFE\x00\x01"}) {
        SCOPED_TRACE(input);
        const Finished run = runChord(input, {"LC_ALL=C.UTF-8"});
        EXPECT_FALSE(run.timedOut);
        EXPECT_TRUE(WIFEXITED(run.status) && WEXITSTATUS(run.status) == 0);
        EXPECT_EQ(run.output.find("nan"), std::string::npos);
        EXPECT_EQ(run.output.find("inf"), std::string::npos);
        EXPECT_EQ(run.output.substr(run.output.size() - 40), transcript.substr(transcript.size() - 40));
    }
}

} // namespace
