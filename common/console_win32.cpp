// Win32 console keys: key-down events of the console input ("CONIN$") in
// mode 0, so that nothing is echoed, no line is edited and Ctrl-C arrives as
// the key 3. A key without a character reads as 0 followed by its scan code.
#include "common/console.h"

#include <windows.h>

namespace suite::console {

namespace {

constexpr int ESCAPE = 0x1B;
// How long typed-ahead keys may take to reach the console input before they
// are discarded: some consoles pass on what was typed only when the input is
// waited on.
constexpr DWORD TYPED_AHEAD_WAIT_MS = 50;

HANDLE console_input = INVALID_HANDLE_VALUE;
bool input_tried = false;
bool key_mode = false;
DWORD saved_mode = 0;
int second_code = 0;

bool open_console_input() {
  if (!input_tried) {
    input_tried = true;
    console_input = CreateFileA("CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
  }
  return console_input != INVALID_HANDLE_VALUE;
}

bool is_modifier_alone(WORD key) { return key == VK_SHIFT || key == VK_CONTROL || key == VK_MENU; }

bool runs_under_wine() {
  HMODULE system = GetModuleHandleA("ntdll.dll");
  return system != nullptr && GetProcAddress(system, "wine_get_version") != nullptr;
}

// Wine's console takes its keys from the terminal that is the process's
// standard input: with standard input elsewhere, its console input never
// gives a key and a read would wait for ever. The console platform's own
// console gives keys whatever standard input is.
bool console_input_gives_keys() {
  DWORD mode;
  return !runs_under_wine() || GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &mode) != 0;
}

void discard_typed_ahead_keys() {
  WaitForSingleObject(console_input, TYPED_AHEAD_WAIT_MS);
  FlushConsoleInputBuffer(console_input);
}

}  // namespace

bool begin_keys() {
  second_code = 0;
  if (!open_console_input() || !console_input_gives_keys()) return false;
  if (!GetConsoleMode(console_input, &saved_mode)) return false;
  if (!SetConsoleMode(console_input, 0)) return false;
  key_mode = true;
  discard_typed_ahead_keys();
  return true;
}

int read_key() {
  if (!key_mode) return NO_KEY;
  if (second_code != 0) {
    int code = second_code;
    second_code = 0;
    return code;
  }
  for (;;) {
    INPUT_RECORD record;
    DWORD got = 0;
    if (!ReadConsoleInputA(console_input, &record, 1, &got) || got == 0) return NO_KEY;
    if (record.EventType != KEY_EVENT) continue;
    const KEY_EVENT_RECORD& key = record.Event.KeyEvent;
    if (!key.bKeyDown || is_modifier_alone(key.wVirtualKeyCode)) continue;
    int character = static_cast<unsigned char>(key.uChar.AsciiChar);
    if (character != 0) return character;
    // Some consoles give the Escape key without its character.
    if (key.wVirtualKeyCode == VK_ESCAPE) return ESCAPE;
    if (key.wVirtualScanCode == 0) continue;  // nothing that names a key
    second_code = key.wVirtualScanCode;
    return 0;
  }
}

void end_keys() {
  if (key_mode) SetConsoleMode(console_input, saved_mode);
  key_mode = false;
  second_code = 0;
}

}  // namespace suite::console
