// A test program for the console layer: reads keys and writes the code of
// each to standard error, one a line, after "ready" once keys are read; it
// says "no console" when there is none. It ends after the key 'q'.
#include "common/console.h"
#include "common/streams.h"

int main() {
  suite::OutputStream& error = suite::standard_error();
  if (!suite::console::begin_keys()) {
    error.write("no console\n");
    return 1;
  }
  error.write("ready\n");
  for (;;) {
    int key = suite::console::read_key();
    error.print("%d\n", key);
    if (key == 'q' || key == suite::console::NO_KEY) break;
  }
  suite::console::end_keys();
  return 0;
}
