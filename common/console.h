// Single key presses from the console itself, never from standard input, so
// that redirected input never answers a prompt. Keys are read without echo
// and without line editing; Ctrl-C arrives as the key 3.
#pragma once

namespace suite::console {

constexpr int NO_KEY = -1;

// Starts reading keys: takes the console into key-by-key mode and discards
// every key typed ahead. False when there is no console to read from.
bool begin_keys();
// The next key: its character code, or 0 for a key without a character
// (cursor, function and editing keys), whose second, non-zero code is then
// given by the next call. NO_KEY when no key can be read.
int read_key();
// Gives the console back its earlier mode.
void end_keys();

}  // namespace suite::console
