// Which key events of the Windows console end the key wait.
#pragma once

#include <cstdint>

// One key event of the Windows console keyboard, as ReadConsoleInputA gives
// it. Kept apart from the console itself, so that the rule for which events
// end the key wait is the same, and tested, everywhere.
struct KeyEvent {
    std::uint16_t virtualKey = 0;
    char character = 0;          // 0 for a key that types nothing
    std::uint32_t modifiers = 0; // the console's control-key state
    bool keyDown = false;
};

// The control-key state bits that matter here, with the console's values.
namespace modifier {
constexpr std::uint32_t rightAlt = 0x0001;
constexpr std::uint32_t leftAlt = 0x0002;
constexpr std::uint32_t rightCtrl = 0x0004;
constexpr std::uint32_t leftCtrl = 0x0008;
constexpr std::uint32_t shift = 0x0010;
} // namespace modifier

// Whether this event ends the wait for a key: a press that types a
// character, or a press of a key that the console keyboard gives a code with
// the modifiers held.
bool endsKeyWait(const KeyEvent& event);
