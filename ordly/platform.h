// The file system operations that only Ordly needs.
#pragma once

#include <string>

namespace ordly::platform {

// Claims a name for a temporary run by creating an empty file under it,
// in one step that fails when the folder already holds an entry of that
// name, whatever it is: a file, a folder, or a link that leads nowhere. So
// nothing an entry leads to is written over, and two runs working in the
// same folder at once never take the same name. False only when the name
// is taken; any other failure leaves the name to be tried, so that opening
// it reports the fault.
bool claim_new_name(const std::string& path);

}  // namespace ordly::platform
