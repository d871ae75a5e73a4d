// POSIX console keys: the controlling terminal (/dev/tty) in raw mode. Keys
// without a character arrive as escape sequences and are read as 0 followed
// by the sequence's final byte.
#include "common/console.h"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace suite::console {

namespace {

constexpr int ESCAPE = 0x1B;
// How long the rest of an escape sequence may take to arrive; a lone Escape
// key sends nothing more.
constexpr int SEQUENCE_WAIT_MS = 40;

int terminal = -1;
bool terminal_tried = false;
bool raw_mode = false;
struct termios saved_mode;
int second_code = 0;

bool open_terminal() {
  if (!terminal_tried) {
    terminal_tried = true;
    terminal = ::open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
  }
  return terminal >= 0;
}

// One byte from the terminal, or NO_KEY. With a wait, gives up (NO_KEY)
// when nothing arrives in that many milliseconds.
int read_byte(int wait_ms) {
  if (wait_ms >= 0) {
    struct pollfd ready = {terminal, POLLIN, 0};
    if (poll(&ready, 1, wait_ms) <= 0) return NO_KEY;
  }
  for (;;) {
    unsigned char byte;
    ssize_t got = ::read(terminal, &byte, 1);
    if (got == 1) return byte;
    if (got < 0 && errno == EINTR) continue;
    return NO_KEY;
  }
}

// Reads the rest of an escape sequence after its Escape byte; returns the
// code that stands for the key, or 0 when the Escape key was pressed alone.
int read_escape_sequence() {
  int next = read_byte(SEQUENCE_WAIT_MS);
  if (next == NO_KEY) return 0;
  if (next == 'O') {
    int final = read_byte(SEQUENCE_WAIT_MS);
    return final == NO_KEY ? next : final;
  }
  if (next != '[') return next;  // Alt with a key
  for (;;) {
    int byte = read_byte(SEQUENCE_WAIT_MS);
    if (byte == NO_KEY) return next;
    if (byte >= 0x40 && byte <= 0x7E) return byte;
  }
}

}  // namespace

bool begin_keys() {
  second_code = 0;
  if (!open_terminal()) return false;
  if (tcgetattr(terminal, &saved_mode) != 0) return false;
  struct termios raw = saved_mode;
  raw.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON);
  raw.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
  raw.c_cc[VMIN] = 1;
  raw.c_cc[VTIME] = 0;
  if (tcsetattr(terminal, TCSANOW, &raw) != 0) return false;
  raw_mode = true;
  tcflush(terminal, TCIFLUSH);
  return true;
}

int read_key() {
  if (!raw_mode) return NO_KEY;
  if (second_code != 0) {
    int code = second_code;
    second_code = 0;
    return code;
  }
  for (;;) {
    int byte = read_byte(-1);
    if (byte == NO_KEY) return NO_KEY;
    if (byte == 0) continue;  // a NUL byte stands for no key
    if (byte != ESCAPE) return byte;
    int code = read_escape_sequence();
    if (code == 0) return ESCAPE;
    second_code = code;
    return 0;
  }
}

void end_keys() {
  if (raw_mode) tcsetattr(terminal, TCSANOW, &saved_mode);
  raw_mode = false;
  second_code = 0;
}

}  // namespace suite::console
