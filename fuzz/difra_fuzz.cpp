// Difra on random pairs of small files (the second made from the first by
// keeping, dropping, repeating and inserting lines): the pairing links
// lines both ways, and the report takes every line of both files once and
// in order, as a record or inside a matched run; identical files give
// matched runs alone and no difference.
#include <fuzzer/FuzzedDataProvider.h>

#include <new>
#include <string>
#include <vector>

#include "common/platform.h"
#include "difra/line_source.h"
#include "difra/linking.h"
#include "difra/report.h"
#include "difra/settings.h"
#include "difra/tables.h"
#include "fuzz/support.h"

namespace {

using namespace difra;

const char* const FIRST_NAME = "first.txt";
const char* const SECOND_NAME = "second.txt";

void write_file(const char* name, const std::string& bytes) {
  suite::platform::Handle handle = suite::platform::open_for_writing(name, true);
  fuzz::check(handle != suite::platform::NO_HANDLE, "the scratch file opens");
  suite::platform::write_bytes(handle, bytes.data(), bytes.size());
  suite::platform::close_handle(handle);
}

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  for (std::size_t start = 0; start < text.size();) {
    std::size_t end = text.find('\n', start);
    end = end == std::string::npos ? text.size() : end + 1;
    lines.push_back(text.substr(start, end - start));
    start = end;
  }
  return lines;
}

// The lines as the text-mode reading gives them.
int read_line_count(const std::string& bytes) {
  std::string text;
  for (char c : bytes) {
    if (c == suite::CTRL_Z) break;
    if (c != '\r') text += c;
  }
  return static_cast<int>(lines_of(text).size());
}

std::string second_file_from(FuzzedDataProvider& choices, const std::vector<std::string>& first_lines) {
  std::string second;
  for (const std::string& line : first_lines) {
    switch (choices.ConsumeIntegralInRange(0, 4)) {
      case 0: break;
      case 1: second += line + line; break;
      case 2: second += choices.ConsumeRandomLengthString(30) + "\n" + line; break;
      default: second += line; break;
    }
  }
  return second + choices.ConsumeRandomLengthString(60);
}

// Checks the order of what the walk reports and passes it on to the
// printer, which verifies matched runs against the lines' texts.
class OrderCheck : public ReportSink {
 public:
  explicit OrderCheck(ReportPrinter& printer) : printer_(printer) {}

  void changed_pair(int line1, int line2) override {
    take(line1, line2, 1);
    records_ = true;
    printer_.changed_pair(line1, line2);
  }
  void first_file_only(int line1) override {
    take(line1, next2_, 0);
    ++next1_;
    records_ = true;
    printer_.first_file_only(line1);
  }
  void second_file_only(int line2) override {
    take(next1_, line2, 0);
    ++next2_;
    records_ = true;
    printer_.second_file_only(line2);
  }
  void matched_run(int line1, int line2, int count) override {
    fuzz::check(count >= 1, "a matched run holds a line");
    take(line1, line2, count);
    printer_.matched_run(line1, line2, count);
  }

  int next1() const { return next1_; }
  int next2() const { return next2_; }
  bool records() const { return records_; }

 private:
  void take(int line1, int line2, int count) {
    fuzz::check(line1 == next1_ && line2 == next2_, "every line once and in order");
    next1_ += count;
    next2_ += count;
  }

  ReportPrinter& printer_;
  int next1_ = 0;
  int next2_ = 0;
  bool records_ = false;
};

struct Tables {
  LineTable table1;
  LineTable table2;
  OccurrenceTable occurrences1;
  OccurrenceTable occurrences2;
  std::int32_t last_line_of_bucket2[BUCKET_COUNT] = {};
};

// Two sources built in place, destroyed at the end of the run.
struct Sources {
  Sources(LineSource* one, LineSource* two) : first(one), second(two) {}
  ~Sources() {
    first->~LineSource();
    second->~LineSource();
  }
  Sources(const Sources&) = delete;
  Sources& operator=(const Sources&) = delete;
  LineSource* first;
  LineSource* second;
};

void check_links(std::span<const std::int32_t> file1, std::span<const std::int32_t> file2) {
  for (std::size_t i = 0; i < file1.size(); ++i) {
    if (file1[i] < 0) continue;
    fuzz::check(static_cast<std::size_t>(file1[i]) < file2.size(), "a partner inside the other file");
    fuzz::check(file2[static_cast<std::size_t>(file1[i])] == static_cast<std::int32_t>(i), "partners both ways");
  }
  for (std::size_t j = 0; j < file2.size(); ++j) {
    if (file2[j] < 0) continue;
    fuzz::check(static_cast<std::size_t>(file2[j]) < file1.size(), "a partner inside the first file");
    fuzz::check(file1[static_cast<std::size_t>(file2[j])] == static_cast<std::int32_t>(j), "partners both ways");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static bool prepared = (fuzz::prepare_program_runs(), true);
  (void)prepared;
  FuzzedDataProvider choices(data, size);
  settings = Settings{};
  settings.trim_trailing_blanks = choices.ConsumeBool();
  settings.fold_case = choices.ConsumeBool();
  settings.full_lines = choices.ConsumeBool();
  settings.squeeze_blanks = choices.ConsumeBool();
  settings.expand_tabs = choices.ConsumeBool();
  bool same_files = choices.ConsumeIntegralInRange(0, 7) == 0;
  std::string first = choices.ConsumeRandomLengthString(2000);
  std::string second = same_files ? first : second_file_from(choices, lines_of(first));
  write_file(FIRST_NAME, first);
  write_file(SECOND_NAME, second);

  // Made anew in storage kept from run to run: a fresh allocation of their
  // large buffers costs more than the run.
  alignas(LineSource) static unsigned char storage1[sizeof(LineSource)];
  alignas(LineSource) static unsigned char storage2[sizeof(LineSource)];
  static Tables kept_tables;
  Sources sources(new (storage1) LineSource, new (storage2) LineSource);
  LineSource* source1 = sources.first;
  LineSource* source2 = sources.second;
  Tables* tables = &kept_tables;
  tables->occurrences1 = OccurrenceTable{};
  tables->occurrences2 = OccurrenceTable{};
  fuzz::check(source1->open(FIRST_NAME) && source2->open(SECOND_NAME), "both files open");
  source1->read_keys(tables->table1, tables->occurrences1, nullptr);
  source2->read_keys(tables->table2, tables->occurrences2, tables->last_line_of_bucket2);
  fuzz::check(tables->table1.count == read_line_count(first), "the lines of the first file");
  fuzz::check(tables->table2.count == read_line_count(second), "the lines of the second file");
  link_files(tables->table1.lines(), tables->table2.lines(), tables->occurrences1, tables->occurrences2,
             tables->last_line_of_bucket2);
  check_links(tables->table1.lines(), tables->table2.lines());

  ReportPrinter printer(*source1, *source2);
  OrderCheck order(printer);
  walk_report(tables->table1.lines(), tables->table2.lines(), order);
  fuzz::check(order.next1() == tables->table1.count && order.next2() == tables->table2.count,
              "the report reaches the end of both files");
  if (same_files) {
    fuzz::check(!order.records(), "identical files give matched runs alone");
    fuzz::check(printer.differences_found() == 0, "identical files do not differ");
  }
  return 0;
}
