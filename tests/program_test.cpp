#include "child_process.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
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

// With no terminal the key wait returns at once: the run ends by itself.
void expectTranscript(const std::vector<std::string>& environment, const std::string& expected)
{
    const Finished run = runChord("2\n1 0 1\n", environment);
    EXPECT_TRUE(WIFEXITED(run.status) && WEXITSTATUS(run.status) == 0) << run.status;
    EXPECT_EQ(run.output, expected);
}

TEST(Program, WritesUtf8WhereTheLocaleHoldsNoCyrillic)
{
    expectTranscript({"LC_ALL=C.UTF-8"}, transcript);
    expectTranscript({"LC_ALL=C"}, transcript);
    expectTranscript({}, transcript);
}

TEST(Program, WritesTheCharacterSetOfTheLocale)
{
    // The Russian locales, made in the build tree.
    const std::string dir = LOCALE_DIR;
    for (const char* charmap : {"UTF-8", "KOI8-R", "IBM866", "ISO-8859-5"}) {
        const std::string command = "mkdir -p " + dir + " && localedef -f " + charmap + " -i ru_RU " + dir +
            "/ru_RU." + charmap + " </dev/null >/dev/null 2>&1";
        if (std::system(command.c_str()) != 0)
            GTEST_SKIP() << "localedef can't make the Russian locales here";
    }
    const std::string path = "LOCPATH=" + dir;
    // The Russian locale writes numbers with a decimal comma; ours keep the point.
    expectTranscript({path, "LC_ALL=ru_RU.UTF-8"}, transcript);
    expectTranscript({path, "LANG=ru_RU.KOI8-R"}, fromUtf8(transcript, "KOI8-R"));
    expectTranscript({path, "LC_ALL=ru_RU.IBM866"}, fromUtf8(transcript, "CP866"));
    expectTranscript({path, "LC_CTYPE=ru_RU.ISO-8859-5"}, fromUtf8(transcript, "ISO-8859-5"));
}

} // namespace
