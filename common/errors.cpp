#include "common/errors.h"

#include <cstdlib>

namespace suite {

namespace {

ProgramEnd program_end = nullptr;

}  // namespace

void set_program_end(ProgramEnd end) { program_end = end; }

void end_program(int status) {
  if (program_end != nullptr) program_end(status);
  std::exit(status);
}

}  // namespace suite
