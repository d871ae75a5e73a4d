// The console prompt behind every question and wait of the program.
#pragma once

namespace dupro {

constexpr int ENTER_KEY = 13;

// Set when the user cancels at a prompt; never cleared.
extern bool cancelled;

// Writes the message to the error stream and waits for the yes or the no
// key (any key when yes_key is 0); other keys are ignored. Returns the key,
// upper-cased, or 0 for a key without a character or when no key can be
// read (no terminal). Ctrl-C cancels the program (status 1) when there is
// a no key, and otherwise just ends the wait. The prompt line is wiped
// before returning.
int ask_key(const char* message, int yes_key, int no_key);

// Asks with the keys Y and N; true for Y alone (a key without a character
// counts as no).
bool answered_yes(const char* message);

}  // namespace dupro
