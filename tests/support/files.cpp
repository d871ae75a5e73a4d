// Scratch folders and whole-file reads and writes for the tests, on every
// platform the tests run on.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

#include "tests/support/run_program.h"

namespace suite_test {

namespace fs = std::filesystem;

TempFolder::TempFolder() {
  static std::mt19937 numbers{std::random_device{}()};
  const fs::path base = fs::temp_directory_path();
  for (int attempt = 0; attempt < 100; ++attempt) {
    fs::path candidate = base / ("suite-test-" + std::to_string(numbers() % 100000000));
    std::error_code error;
    if (fs::create_directory(candidate, error)) {
      // Only the owner may look in, as with any private scratch folder.
      fs::permissions(candidate, fs::perms::owner_all, fs::perm_options::replace, error);
      path_ = candidate.string();
      return;
    }
  }
  throw std::runtime_error("cannot make a scratch folder in " + base.string());
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  // Give back write permission first so read-only files and folders go too.
  const fs::perms writable = fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                             fs::perms::others_read | fs::perms::others_exec;
  for (auto it = fs::recursive_directory_iterator(path_, ignored); it != fs::recursive_directory_iterator();
       it.increment(ignored)) {
    fs::permissions(it->path(), writable, fs::perm_options::replace, ignored);
  }
  fs::remove_all(path_, ignored);
}

void TempFolder::write(const std::string& name, const std::string& bytes) const { write_file(file(name), bytes); }

std::string TempFolder::read(const std::string& name) const { return read_file(file(name)); }

bool TempFolder::exists(const std::string& name) const {
  std::error_code ignored;
  return fs::exists(fs::symlink_status(file(name), ignored));
}

std::vector<std::string> TempFolder::names() const {
  std::vector<std::string> result;
  for (const auto& entry : fs::directory_iterator(path_)) {
    result.push_back(entry.path().filename().string());
  }
  std::sort(result.begin(), result.end());
  return result;
}

std::string crlf(const std::string& text) {
  std::string result;
  for (char c : text) {
    if (c == '\n') result += '\r';
    result += c;
  }
  return result;
}

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

void write_file(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace suite_test
