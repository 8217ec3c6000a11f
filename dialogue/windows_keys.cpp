// The Windows console's keyboard, and which presses end the key wait.
#include "windows_keys.h"

#include <iterator>

namespace {

// One key of the console keyboard and whether it has a code with Alt, with
// Ctrl, with Shift and with no modifier held.
struct Key {
    std::uint16_t virtualKey;
    bool alt;
    bool ctrl;
    bool shift;
    bool none;
};

constexpr bool Y = true;  // a code: the press ends the wait
constexpr bool n = false; // no code: the press is ignored

// clang-format off
constexpr Key keyboard[] = {
    // key  Alt Ctrl Shift none
    {0x08,  Y,   Y,    Y,     Y}, // Backspace
    {0x09,  Y,   Y,    Y,     Y}, // Tab
    {0x0D,  Y,   Y,    Y,     Y}, // Enter
    {0x1B,  Y,   Y,    Y,     Y}, // Escape
    {0x20,  Y,   Y,    Y,     Y}, // Space
    {0x30,  Y,   n,    Y,     Y}, // 0
    {0x31,  Y,   n,    Y,     Y}, // 1
    {0x32,  Y,   Y,    Y,     Y}, // 2
    {0x33,  Y,   n,    Y,     Y}, // 3
    {0x34,  Y,   n,    Y,     Y}, // 4
    {0x35,  Y,   n,    Y,     Y}, // 5
    {0x36,  Y,   Y,    Y,     Y}, // 6
    {0x37,  Y,   n,    Y,     Y}, // 7
    {0x38,  Y,   n,    Y,     Y}, // 8
    {0x39,  Y,   n,    Y,     Y}, // 9
    {0x41,  Y,   Y,    Y,     Y}, // A
    {0x42,  Y,   Y,    Y,     Y}, // B
    {0x43,  Y,   Y,    Y,     Y}, // C
    {0x44,  Y,   Y,    Y,     Y}, // D
    {0x45,  Y,   Y,    Y,     Y}, // E
    {0x46,  Y,   Y,    Y,     Y}, // F
    {0x47,  Y,   Y,    Y,     Y}, // G
    {0x48,  Y,   Y,    Y,     Y}, // H
    {0x49,  Y,   Y,    Y,     Y}, // I
    {0x4A,  Y,   Y,    Y,     Y}, // J
    {0x4B,  Y,   Y,    Y,     Y}, // K
    {0x4C,  Y,   Y,    Y,     Y}, // L
    {0x4D,  Y,   Y,    Y,     Y}, // M
    {0x4E,  Y,   Y,    Y,     Y}, // N
    {0x4F,  Y,   Y,    Y,     Y}, // O
    {0x50,  Y,   Y,    Y,     Y}, // P
    {0x51,  Y,   Y,    Y,     Y}, // Q
    {0x52,  Y,   Y,    Y,     Y}, // R
    {0x53,  Y,   Y,    Y,     Y}, // S
    {0x54,  Y,   Y,    Y,     Y}, // T
    {0x55,  Y,   Y,    Y,     Y}, // U
    {0x56,  Y,   Y,    Y,     Y}, // V
    {0x57,  Y,   Y,    Y,     Y}, // W
    {0x58,  Y,   Y,    Y,     Y}, // X
    {0x59,  Y,   Y,    Y,     Y}, // Y
    {0x5A,  Y,   Y,    Y,     Y}, // Z
    {0x21,  Y,   Y,    Y,     Y}, // Page Up
    {0x22,  Y,   Y,    Y,     Y}, // Page Down
    {0x23,  Y,   Y,    Y,     Y}, // End
    {0x24,  Y,   Y,    Y,     Y}, // Home
    {0x25,  Y,   Y,    Y,     Y}, // Left
    {0x26,  Y,   Y,    Y,     Y}, // Up
    {0x27,  Y,   Y,    Y,     Y}, // Right
    {0x28,  Y,   Y,    Y,     Y}, // Down
    {0x2D,  Y,   Y,    Y,     Y}, // Insert
    {0x2E,  Y,   Y,    Y,     Y}, // Delete
    {0x60,  n,   Y,    Y,     Y}, // Keypad 0
    {0x61,  n,   Y,    Y,     Y}, // Keypad 1
    {0x62,  n,   Y,    Y,     Y}, // Keypad 2
    {0x63,  n,   Y,    Y,     Y}, // Keypad 3
    {0x64,  n,   Y,    Y,     Y}, // Keypad 4
    {0x65,  n,   Y,    Y,     Y}, // Keypad 5
    {0x66,  n,   Y,    Y,     Y}, // Keypad 6
    {0x67,  n,   Y,    Y,     Y}, // Keypad 7
    {0x68,  n,   Y,    Y,     Y}, // Keypad 8
    {0x69,  n,   Y,    Y,     Y}, // Keypad 9
    {0x6A,  Y,   Y,    Y,     Y}, // Keypad *
    {0x6B,  Y,   Y,    Y,     Y}, // Keypad +
    {0x6D,  Y,   Y,    Y,     Y}, // Keypad -
    {0x6E,  Y,   Y,    Y,     Y}, // Keypad .
    {0x6F,  Y,   Y,    Y,     Y}, // Keypad /
    {0x70,  Y,   Y,    Y,     Y}, // F1
    {0x71,  Y,   Y,    Y,     Y}, // F2
    {0x72,  Y,   Y,    Y,     Y}, // F3
    {0x73,  Y,   Y,    Y,     Y}, // F4
    {0x74,  Y,   Y,    Y,     Y}, // F5
    {0x75,  Y,   Y,    Y,     Y}, // F6
    {0x76,  Y,   Y,    Y,     Y}, // F7
    {0x77,  Y,   Y,    Y,     Y}, // F8
    {0x78,  Y,   Y,    Y,     Y}, // F9
    {0x79,  Y,   Y,    Y,     Y}, // F10
    {0x7A,  Y,   Y,    Y,     Y}, // F11
    {0x7B,  Y,   Y,    Y,     Y}, // F12
    {0xDC,  Y,   Y,    Y,     Y}, // \ |
    {0xBF,  Y,   n,    Y,     Y}, // / ?
    {0xBD,  Y,   Y,    Y,     Y}, // - _
    {0xBB,  Y,   n,    Y,     Y}, // = +
    {0xDB,  Y,   Y,    Y,     Y}, // [ {
    {0xDD,  Y,   Y,    Y,     Y}, // ] }
    {0xBA,  Y,   n,    Y,     Y}, // ; :
    {0xDE,  Y,   n,    Y,     Y}, // ' "
    {0xBC,  Y,   n,    Y,     Y}, // , <
    {0xBE,  Y,   n,    Y,     Y}, // . >
    {0xC0,  Y,   n,    Y,     Y}, // ` ~
};
// clang-format on

static_assert(std::size(keyboard) == 89);

const Key* findKey(std::uint16_t virtualKey)
{
    for (const Key& key : keyboard)
        if (key.virtualKey == virtualKey)
            return &key;
    return nullptr;
}

} // namespace

bool endsKeyWait(const KeyEvent& event)
{
    if (!event.keyDown)
        return false;
    if (event.character != 0)
        return true;
    const Key* key = findKey(event.virtualKey);
    if (key == nullptr)
        return false; // Shift, Ctrl, Alt, the locks, F13 and above
    // One modifier decides, looked at in this order.
    if (event.modifiers & (modifier::leftAlt | modifier::rightAlt))
        return key->alt;
    if (event.modifiers & (modifier::leftCtrl | modifier::rightCtrl))
        return key->ctrl;
    if (event.modifiers & modifier::shift)
        return key->shift;
    return key->none;
}
