#include "charset.h"
#include "dialogue.h"
#include "messages.h"
#include "windows_keys.h"

#include <gtest/gtest.h>

#include <set>
#include <sstream>

namespace {

TEST(Catalogue, ConversionKeepsEveryLetterOrMarksIt)
{
    std::string zhe;
    for (int k = 0; k < 99; ++k)
        zhe += "Ж";
    // Every letter, as iconv converts it to UTF-8, and № beside them.
    std::string letters = "\xA8\xB8";
    for (int k = 0xC0; k <= 0xFF; ++k)
        letters += static_cast<char>(k);
    std::ostringstream utf8;
    writeInCodeset(utf8, letters.c_str(), "UTF-8");
    // Twice as long once converted, and nothing cut short; a letter the
    // character set lacks shown as '?', ours, where glibc's iconv fails on it
    // (musl's writes '*' itself); with no converter, UTF-8 all the same, from
    // the program's own table.
    const std::string cases[][3] = {{std::string(99, '\xC6'), "UTF-8", zhe},
        {messages::rootsHeading, "KOI8-R", "\xEB\xCF\xD2\xCE\xC9 \xD0\xCF\xCC\xC9\xCE\xCF\xCD\xC1: "},
        {messages::coefficientHint, "ISO-8859-1", "?? a0 ??? X ? N-?? ??????? ?? aN ????????? ????"},
        {letters + "\xB9", "NO-SUCH-CODESET", utf8.str() + "?"}};
    for (const auto& [text, codeset, shown] : cases) {
        std::ostringstream out;
        writeInCodeset(out, text.c_str(), codeset.c_str());
        EXPECT_EQ(out.str(), shown) << codeset;
    }
}

TEST(Keyboard, WhichPressesEndTheWait)
{
    // The console keyboard as a user lists it: the digits, the letters, Page
    // Up to Down, keypad 0 to 9, F1 to F12 by range, the rest one by one.
    std::set<unsigned> keys = {0x08, 0x09, 0x0D, 0x1B, 0x20, 0x2D, 0x2E, 0x6A, 0x6B, 0x6D, 0x6E, 0x6F, 0xDC,
        0xBD, 0xDB, 0xDD, 0xBF, 0xBB, 0xBA, 0xDE, 0xBC, 0xBE, 0xC0};
    for (auto [first, last] : {std::pair(0x30, 0x39), {0x41, 0x5A}, {0x21, 0x28}, {0x60, 0x69}, {0x70, 0x7B}})
        for (int key = first; key <= last; ++key)
            keys.insert(key);
    ASSERT_EQ(keys.size(), 89u);
    // Every key has a code alone and with Shift; the pairs without one are
    // Ctrl with eight digits and seven punctuation keys, Alt with the keypad
    // digits.
    const std::set<unsigned> noCodeWithCtrl = {
        0x30, 0x31, 0x33, 0x34, 0x35, 0x37, 0x38, 0x39, 0xBF, 0xBB, 0xBA, 0xDE, 0xBC, 0xBE, 0xC0};
    // Every combination of the five modifier bits, Alt looked at before
    // Ctrl, Ctrl before Shift; and every release.
    for (unsigned key = 0; key <= 0xFFFF; ++key)
        for (std::uint32_t held = 0; held < 0x20; ++held) {
            const bool alt = held & (modifier::leftAlt | modifier::rightAlt);
            const bool ctrl = held & (modifier::leftCtrl | modifier::rightCtrl);
            const bool ends =
                keys.count(key) && !(alt ? key >= 0x60 && key <= 0x69 : ctrl && noCodeWithCtrl.count(key));
            const auto code = static_cast<std::uint16_t>(key);
            ASSERT_EQ(endsKeyWait({code, 0, held, true}), ends) << std::hex << key << " with " << held;
            ASSERT_FALSE(endsKeyWait({code, 0, held, false})) << std::hex << "release of " << key;
        }
    // The lock and extended-key bits above them change nothing.
    EXPECT_TRUE(endsKeyWait({0x70, 0, 0x0020 | 0x0040 | 0x0080 | 0x0100, true}));
    EXPECT_FALSE(endsKeyWait({0x31, 0, modifier::leftCtrl | 0x0020 | 0x0080, true}));
    // A press that types a character ends it: Ctrl+C, unprocessed, is 3;
    // one from an input method has no key; Alt+keypad 0 has no code yet types.
    EXPECT_TRUE(endsKeyWait({0x43, 3, modifier::leftCtrl, true}));
    EXPECT_TRUE(endsKeyWait({0x00, '\xE6', 0, true}));
    EXPECT_TRUE(endsKeyWait({0x60, '0', modifier::rightAlt, true}));
    EXPECT_FALSE(endsKeyWait({0x43, 'c', 0, false}));
}

} // namespace
