#include "console.h"
#include "keyboard.h"

#include <algorithm>
#include <cstring>

#include <windows.h>

static_assert(modifier::rightAlt == RIGHT_ALT_PRESSED && modifier::leftAlt == LEFT_ALT_PRESSED);
static_assert(modifier::rightCtrl == RIGHT_CTRL_PRESSED && modifier::leftCtrl == LEFT_CTRL_PRESSED);
static_assert(modifier::shift == SHIFT_PRESSED);

void writeMessage(std::ostream& out, const char* text)
{
    // CharToOemA is told no buffer size: a text longer than the buffer goes
    // through it in pieces, so that nothing is written past its end.
    constexpr std::size_t bufferSize = 100;
    char piece[bufferSize];
    char converted[bufferSize];
    for (std::size_t left = std::strlen(text); left > 0;) {
        const std::size_t length = std::min(left, bufferSize - 1);
        std::memcpy(piece, text, length);
        piece[length] = '\0';
        if (CharToOemA(piece, converted))
            out.write(converted, std::find(converted, converted + bufferSize, '\0') - converted);
        text += length;
        left -= length;
    }
    out.flush();
}

void waitForKey()
{
    // The console itself, not standard input, which may be a file or a pipe.
    const HANDLE console = CreateFileA("CONIN$", GENERIC_READ | GENERIC_WRITE,
        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (console == INVALID_HANDLE_VALUE)
        return;
    DWORD savedMode = 0;
    // Mode 0: no line editing, no echo, Ctrl+C arrives as character 3. The
    // input is not flushed, so a key pressed ahead ends the wait at once.
    if (GetConsoleMode(console, &savedMode) && SetConsoleMode(console, 0)) {
        INPUT_RECORD record{};
        DWORD read = 0;
        while (ReadConsoleInputA(console, &record, 1, &read) && read == 1) {
            if (record.EventType != KEY_EVENT)
                continue;
            const KEY_EVENT_RECORD& key = record.Event.KeyEvent;
            if (endsKeyWait(
                    {key.wVirtualKeyCode, key.uChar.AsciiChar, key.dwControlKeyState, key.bKeyDown != FALSE}))
                break;
        }
        SetConsoleMode(console, savedMode);
    }
    CloseHandle(console);
}
