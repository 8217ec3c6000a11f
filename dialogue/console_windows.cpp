// The console of Windows: its code pages, its texts, its key wait.
#include "console.h"
#include "windows_keys.h"

#include <algorithm>
#include <cstring>
#include <iostream>
#include <iterator>

#include <windows.h>

static_assert(modifier::rightAlt == RIGHT_ALT_PRESSED && modifier::leftAlt == LEFT_ALT_PRESSED);
static_assert(modifier::rightCtrl == RIGHT_CTRL_PRESSED && modifier::leftCtrl == LEFT_CTRL_PRESSED);
static_assert(modifier::shift == SHIFT_PRESSED);

namespace {

constexpr UINT messageCodePage = 1251;

// Whether every Cyrillic letter, А to я, Ё and ё, has a form in codePage.
bool holdsCyrillic(UINT codePage)
{
    if (codePage == CP_UTF8)
        return true;
    wchar_t letters[66];
    for (int k = 0; k < 64; ++k)
        letters[k] = static_cast<wchar_t>(0x0410 + k);
    letters[64] = 0x0401;
    letters[65] = 0x0451;
    char bytes[4 * std::size(letters)];
    BOOL lacking = FALSE;
    return WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, letters, std::size(letters), bytes,
               sizeof bytes, nullptr, &lacking) > 0 &&
        !lacking;
}

// Where the texts go, decided once per run: to the console itself, which
// shows Cyrillic whatever its code page, or, redirected, as bytes in the
// console's output code page, the OEM one without a console, or UTF-8 where
// that code page has no Cyrillic.
struct Output {
    HANDLE console;
    UINT codePage;
};

const Output& output()
{
    static const Output decided = [] {
        const HANDLE standardOutput = GetStdHandle(STD_OUTPUT_HANDLE);
        DWORD mode = 0;
        if (GetConsoleMode(standardOutput, &mode))
            return Output{standardOutput, 0};
        const UINT codePage = GetConsoleOutputCP() != 0 ? GetConsoleOutputCP() : GetOEMCP();
        return Output{nullptr, holdsCyrillic(codePage) ? codePage : CP_UTF8};
    }();
    return decided;
}

// The console's keyboard while a key is awaited, and its mode to restore.
HANDLE keyboard = INVALID_HANDLE_VALUE;
DWORD savedMode = 0;

// Ctrl+Break and closing the console end the process as by default, with
// the keyboard's mode restored first.
BOOL WINAPI restoreModeAndEnd(DWORD)
{
    SetConsoleMode(keyboard, savedMode);
    return FALSE;
}

} // namespace

void openConsole() {}

void writeMessage(std::ostream& out, const char* text)
{
    const bool toConsole = output().console != nullptr && &out == &std::cout;
    out.flush();
    // Piece by piece, whatever the text's length: Windows-1251 has one byte
    // a letter, one UTF-16 unit, at most three bytes of UTF-8.
    constexpr std::size_t piece = 64;
    wchar_t wide[piece];
    char bytes[3 * piece];
    for (std::size_t left = std::strlen(text); left > 0;) {
        const int length = static_cast<int>(std::min(left, piece));
        const int units = MultiByteToWideChar(messageCodePage, 0, text, length, wide, piece);
        DWORD written = 0;
        if (toConsole)
            WriteConsoleW(output().console, wide, units, &written, nullptr);
        else
            out.write(bytes,
                WideCharToMultiByte(
                    output().codePage, 0, wide, units, bytes, sizeof bytes, nullptr, nullptr));
        text += length;
        left -= length;
    }
    out.flush();
}

void waitForKey()
{
    // Output to a file or a pipe: no one is at a console to see the prompt.
    if (output().console == nullptr)
        return;
    // The console itself, not standard input, which may be a file or a pipe.
    keyboard = CreateFileA("CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
        nullptr, OPEN_EXISTING, 0, nullptr);
    if (keyboard == INVALID_HANDLE_VALUE)
        return;
    // Mode 0: no line editing, no echo, Ctrl+C arrives as character 3. The
    // input is not flushed, so a key pressed ahead ends the wait at once.
    if (GetConsoleMode(keyboard, &savedMode) && SetConsoleCtrlHandler(restoreModeAndEnd, TRUE)) {
        if (SetConsoleMode(keyboard, 0)) {
            INPUT_RECORD record{};
            DWORD read = 0;
            while (ReadConsoleInputA(keyboard, &record, 1, &read) && read == 1) {
                if (record.EventType != KEY_EVENT)
                    continue;
                const KEY_EVENT_RECORD& key = record.Event.KeyEvent;
                if (endsKeyWait({key.wVirtualKeyCode, key.uChar.AsciiChar, key.dwControlKeyState,
                        key.bKeyDown != FALSE}))
                    break;
            }
            SetConsoleMode(keyboard, savedMode);
        }
        SetConsoleCtrlHandler(restoreModeAndEnd, FALSE);
    }
    CloseHandle(keyboard);
    keyboard = INVALID_HANDLE_VALUE;
}
