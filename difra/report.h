// The report: a walk over both files in step that decides which lines are
// shown, and the side-by-side records that show them.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "difra/line_source.h"

namespace difra {

// What the walk finds, in the order of the report.
class ReportSink {
 public:
  virtual ~ReportSink() = default;
  virtual void changed_pair(int line1, int line2) = 0;
  virtual void first_file_only(int line1) = 0;
  virtual void second_file_only(int line2) = 0;
  // `count` lines from line1 and line2 on are paired with each other.
  virtual void matched_run(int line1, int line2, int count) = 0;
};

// Follows both files in step through their linked tables (an entry is the
// partner's index, or negative while unpaired) and reports every line.
void walk_report(std::span<const std::int32_t> file1, std::span<const std::int32_t> file2, ReportSink& sink);

constexpr int TEXT_WIDTH = 34;

// Writes the records and notices on standard output. Matched runs are
// verified line by line: a pair whose compared texts differ (their keys
// collided) is shown as a changed pair.
class ReportPrinter : public ReportSink {
 public:
  ReportPrinter(LineSource& source1, LineSource& source2) : source1_(source1), source2_(source2) {}

  void changed_pair(int line1, int line2) override;
  void first_file_only(int line1) override;
  void second_file_only(int line2) override;
  void matched_run(int line1, int line2, int count) override;

  // 0 while nothing was shown, 1 once a record was written.
  int differences_found() const { return differences_found_; }

 private:
  void print_record(int line1, std::string_view text1, int line2, std::string_view text2);
  void print_notice(int count);

  LineSource& source1_;
  LineSource& source2_;
  int differences_found_ = 0;
};

}  // namespace difra
