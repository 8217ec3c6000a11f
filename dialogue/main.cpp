#include "console.h"
#include "dialogue.h"

#include <clocale>
#include <iostream>

int main()
{
    // Only the character set comes from the user's locale: numbers keep
    // their classic form, 0.707107, in every locale.
    std::setlocale(LC_CTYPE, "");
    // Every text is on the screen at once, prompts without a line end too.
    std::cout << std::unitbuf;
    std::cin.tie(&std::cout);
    runDialogue(std::cin, std::cout);
    waitForKey();
    return 0;
}
