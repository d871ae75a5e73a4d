#include "ordly/settings.h"

#include <cstring>

#include "ordly/collation.h"

namespace ordly {

Settings::Settings() : active_compare(compare_plain) {
  std::memcpy(active_table, oem_table.data(), sizeof active_table);
}

Settings settings;

}  // namespace ordly
