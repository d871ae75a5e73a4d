#include "dupro/prompt.h"

#include "common/console.h"
#include "common/streams.h"
#include "common/text.h"
#include "dupro/errors.h"

namespace dupro {

bool cancelled = false;

namespace {

constexpr int CTRL_C = 3;

[[noreturn]] void cancel_program() {
  suite::console::end_keys();
  cancelled = true;
  usage_exit(CANCELLED);
}

// Reads one answer: the upper-cased key, 0 for a key without a character
// or a failed read, or CTRL_C for a cancel (Ctrl-C, or a 0 followed by 0).
int read_answer() {
  int key = suite::console::read_key();
  if (key == suite::console::NO_KEY) return 0;
  if (key == 0) {
    int second = suite::console::read_key();
    return second == 0 ? CTRL_C : 0;
  }
  return static_cast<unsigned char>(suite::upper_ascii(static_cast<char>(key)));
}

}  // namespace

int ask_key(const char* message, int yes_key, int no_key) {
  bool have_keys = suite::console::begin_keys();
  message_stream().write_c_string(message);
  int result = 0;
  while (have_keys) {
    result = read_answer();
    if (result == CTRL_C) {
      if (no_key != 0) cancel_program();
      result = 0;
    }
    if (yes_key == 0 || result == 0 || result == yes_key || result == no_key) break;
  }
  suite::console::end_keys();
  message_stream().print("\r%79c\r", ' ');
  return result;
}

bool answered_yes(const char* message) { return ask_key(message, 'Y', 'N') == 'Y'; }

}  // namespace dupro
