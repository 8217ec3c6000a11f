#include "keyboard.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <set>

namespace {

using Codes = std::set<unsigned>;

Codes range(unsigned first, unsigned last)
{
    Codes codes;
    for (unsigned code = first; code <= last; ++code)
        codes.insert(code);
    return codes;
}

Codes operator+(Codes left, const Codes& right)
{
    left.insert(right.begin(), right.end());
    return left;
}

// The console keyboard, told the way a user lists it, not row by row as the
// program keeps it, so a slip in either shows.
const Codes digits = range(0x30, 0x39);
const Codes keypadDigits = range(0x60, 0x69);
const Codes punctuation = {0xDC, 0xBF, 0xBD, 0xBB, 0xDB, 0xDD, 0xBA, 0xDE, 0xBC, 0xBE, 0xC0};
const Codes keys = Codes{0x08, 0x09, 0x0D, 0x1B, 0x20} + digits + range(0x41, 0x5A) + range(0x21, 0x28) +
    Codes{0x2D, 0x2E} + keypadDigits + Codes{0x6A, 0x6B, 0x6D, 0x6E, 0x6F} + range(0x70, 0x7B) + punctuation;
const Codes noCodeWithCtrl =
    Codes{0x30, 0x31, 0x33, 0x34, 0x35, 0x37, 0x38, 0x39} + Codes{0xBF, 0xBB, 0xBA, 0xDE, 0xBC, 0xBE, 0xC0};
const Codes& noCodeWithAlt = keypadDigits;

bool expected(unsigned key, std::uint32_t modifiers)
{
    if (keys.count(key) == 0)
        return false;
    if (modifiers & (modifier::leftAlt | modifier::rightAlt))
        return noCodeWithAlt.count(key) == 0;
    if (modifiers & (modifier::leftCtrl | modifier::rightCtrl))
        return noCodeWithCtrl.count(key) == 0;
    return true; // every key of the table has a code with Shift and alone
}

TEST(Keyboard, KeysWithoutACharacterFollowTheTableInEveryModifierState)
{
    ASSERT_EQ(keys.size(), 89u);
    for (unsigned key = 0; key <= 0xFFFF; ++key)
        for (std::uint32_t modifiers = 0; modifiers < 0x20; ++modifiers) {
            const auto virtualKey = static_cast<std::uint16_t>(key);
            EXPECT_EQ(endsKeyWait({virtualKey, 0, modifiers, true}), expected(key, modifiers))
                << std::hex << "key 0x" << key << ", modifiers 0x" << modifiers;
            EXPECT_FALSE(endsKeyWait({virtualKey, 0, modifiers, false})) << std::hex << "key up 0x" << key;
        }
}

TEST(Keyboard, APressThatTypesACharacterEndsTheWait)
{
    EXPECT_TRUE(endsKeyWait({0x43, 3, modifier::leftCtrl, true}));   // Ctrl+C, control keys unprocessed
    EXPECT_TRUE(endsKeyWait({0x0D, '\r', 0, true}));                 // Enter
    EXPECT_TRUE(endsKeyWait({0x00, '\xE6', 0, true}));               // a character from an input method
    EXPECT_TRUE(endsKeyWait({0x60, '0', modifier::rightAlt, true})); // a pair without a code, yet typing
    EXPECT_FALSE(endsKeyWait({0x43, 'c', 0, false}));                // its release does not
}

TEST(Keyboard, TheOtherModifiersDoNotCountBesideTheFirstThatIsHeld)
{
    // Alt decides before Ctrl: Ctrl+1 has no code, Alt+Ctrl+1 has one.
    EXPECT_FALSE(endsKeyWait({0x31, 0, modifier::rightCtrl, true}));
    EXPECT_TRUE(endsKeyWait({0x31, 0, modifier::leftAlt | modifier::rightCtrl, true}));
    // and Alt's own gaps stay with Ctrl held too.
    EXPECT_FALSE(endsKeyWait({0x65, 0, modifier::rightAlt | modifier::leftCtrl | modifier::shift, true}));
    // The locks and the extended-key flag above Shift change nothing.
    EXPECT_TRUE(endsKeyWait({0x70, 0, 0x0020 | 0x0040 | 0x0080 | 0x0100, true}));
    EXPECT_FALSE(endsKeyWait({0x7C, 0, 0, true})); // F13
}

} // namespace
