// The program: the console readied, the dialogue run, a key awaited.
#include "console.h"
#include "dialogue.h"

#include <cfenv>
#include <clocale>
#include <iostream>

int main()
{
    // The floating-point environment the language defines, whatever a start
    // file linked in set before main: GCC's for -Ofast flushes subnormal
    // numbers to zero, which would change the digits.
    std::fesetenv(FE_DFL_ENV);
    // Only the character set comes from the user's locale: numbers keep
    // their classic form, 0.707107, in every locale.
    std::setlocale(LC_CTYPE, "");
    openConsole();
    // Every text is on the screen at once, prompts without a line end too.
    std::cout << std::unitbuf;
    std::cin.tie(&std::cout);
    runDialogue(std::cin, std::cout);
    waitForKey();
    return 0;
}
