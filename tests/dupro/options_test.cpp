#include <gtest/gtest.h>

#include "dupro/options.h"
#include "dupro/platform.h"

namespace {

using dupro::CommandLine;

int parse(const std::vector<std::string>& arguments, CommandLine& line) {
  return dupro::parse_command_line(arguments, line);
}

TEST(DuproOptions, DefaultsAndSourceTarget) {
  CommandLine line;
  ASSERT_EQ(parse({"src", "dst"}, line), dupro::ARGUMENTS_VALID);
  EXPECT_EQ(line.source, "src");
  EXPECT_EQ(line.target, "dst");
  EXPECT_TRUE(line.options.include_hidden);
  EXPECT_FALSE(line.options.archive_only);
  EXPECT_EQ(line.options.same_unit, dupro::SameUnit::UNDECIDED);
}

TEST(DuproOptions, GroupedLettersAnywhereAndUpperCased) {
  CommandLine line;
  ASSERT_EQ(parse({"src", "-ab", "/cHkpr", "dst", "-suvwxy1E"}, line), dupro::ARGUMENTS_VALID);
  const dupro::CopyOptions& o = line.options;
  EXPECT_TRUE(o.archive_only && o.update_archive && o.confirm_each && o.multiple_copies && o.pause_first);
  EXPECT_TRUE(o.overwrite_readonly && o.no_subdirs && o.void_dirs && o.wait_at_end && o.delete_source);
  EXPECT_TRUE(o.flatten && o.one_at_a_time && o.compare_only);
  EXPECT_FALSE(o.include_hidden);
  EXPECT_EQ(o.same_unit, dupro::SameUnit::YES);
  EXPECT_EQ(line.target, "dst");
}

TEST(DuproOptions, LaterLetterOverridesItsPartner) {
  CommandLine line;
  ASSERT_EQ(parse({"-DN", "-MO", "src"}, line), dupro::ARGUMENTS_VALID);
  EXPECT_TRUE(line.options.only_missing);
  EXPECT_FALSE(line.options.only_existing);
  EXPECT_TRUE(line.options.only_older);
  EXPECT_FALSE(line.options.only_newer);
  CommandLine other;
  ASSERT_EQ(parse({"-N", "src", "-D", "-O", "-M"}, other), dupro::ARGUMENTS_VALID);
  EXPECT_TRUE(other.options.only_existing);
  EXPECT_FALSE(other.options.only_missing);
  EXPECT_TRUE(other.options.only_newer);
  EXPECT_FALSE(other.options.only_older);
}

TEST(DuproOptions, UnknownLettersAndQuestionMark) {
  for (const char* bad : {"-Z", "-z", "-G", "-I", "-J", "-L", "-Q", "-2", "-A.", "--"}) {
    CommandLine line;
    EXPECT_EQ(parse({bad, "src"}, line), dupro::UNKNOWN_OPTION) << bad;
  }
  CommandLine line;
  EXPECT_EQ(parse({"src", "-?"}, line), dupro::USAGE_ONLY);
  CommandLine earlier_error;
  EXPECT_EQ(parse({"-Z", "-?"}, earlier_error), dupro::UNKNOWN_OPTION);
  CommandLine question_first;
  EXPECT_EQ(parse({"-?", "-Z"}, question_first), dupro::USAGE_ONLY);
  CommandLine in_group;
  EXPECT_EQ(parse({"-A?Z"}, in_group), dupro::USAGE_ONLY);
}

TEST(DuproOptions, MissingSourceCases) {
  CommandLine none;
  EXPECT_EQ(parse({}, none), dupro::MISSING_SOURCE);
  CommandLine three;
  EXPECT_EQ(parse({"a", "b", "c"}, three), dupro::MISSING_SOURCE);
  CommandLine f_last;
  EXPECT_EQ(parse({"src", "-F"}, f_last), dupro::MISSING_SOURCE);
  CommandLine t_last;
  EXPECT_EQ(parse({"src", "-T"}, t_last), dupro::MISSING_SOURCE);
  CommandLine target_then_path;
  EXPECT_EQ(parse({"src", "-T", "x", "dest"}, target_then_path), dupro::MISSING_SOURCE);
  CommandLine only_options;
  EXPECT_EQ(parse({"-A"}, only_options), dupro::MISSING_SOURCE);
}

TEST(DuproOptions, TargetOption) {
  CommandLine line;
  ASSERT_EQ(parse({"-T", "x", "src"}, line), dupro::ARGUMENTS_VALID);
  EXPECT_EQ(line.source, "src");
  EXPECT_EQ(line.target, "x");
  CommandLine replaced;
  ASSERT_EQ(parse({"src", "old", "-T", "new"}, replaced), dupro::ARGUMENTS_VALID);
  EXPECT_EQ(replaced.target, "new");
}

TEST(DuproOptions, ValueLettersTakeNextArgumentsInLetterOrder) {
  CommandLine line;
  ASSERT_EQ(parse({"-FT", "12-31-96", "DEST", "src"}, line), dupro::ARGUMENTS_VALID);
  EXPECT_TRUE(line.options.date_filter);
  EXPECT_EQ(line.options.filter_date, (96 - 80) * 512 + 12 * 32 + 31);
  EXPECT_EQ(line.target, "DEST");
  EXPECT_EQ(line.source, "src");
  CommandLine rest_of_group;
  ASSERT_EQ(parse({"-FA", "12-31-96", "src"}, rest_of_group), dupro::ARGUMENTS_VALID);
  EXPECT_TRUE(rest_of_group.options.archive_only);
  EXPECT_TRUE(rest_of_group.options.date_filter);
  CommandLine swapped;
  ASSERT_EQ(parse({"-TF", "DEST", "01-02-80", "src"}, swapped), dupro::ARGUMENTS_VALID);
  EXPECT_EQ(swapped.target, "DEST");
  EXPECT_EQ(swapped.options.filter_date, 1 * 32 + 2);
}

TEST(DuproOptions, DateAgainstTheLetterIsNotItsValue) {
  CommandLine line;
  EXPECT_EQ(parse({"-F12-31-96", "src"}, line), dupro::INVALID_DATE);
  CommandLine last;
  EXPECT_EQ(parse({"-F12-31-96"}, last), dupro::MISSING_SOURCE);
}

TEST(DuproOptions, DateCheck) {
  std::uint16_t date = 0;
  EXPECT_TRUE(dupro::parse_filter_date("2-30-96", date));
  EXPECT_EQ(date, 16 * 512 + 2 * 32 + 30);
  EXPECT_TRUE(dupro::parse_filter_date(" 12- +31-99xyz", date));
  EXPECT_EQ(date, 19 * 512 + 12 * 32 + 31);
  EXPECT_TRUE(dupro::parse_filter_date("1-1-80", date));
  EXPECT_EQ(date, 33);
  for (const char* bad : {"12-31-1996", "01-01-00", "12/31/96", "12-31", "", "13-01-96", "00-10-96",
                          "12-32-96", "12-0-96", "12-31-79", "12-31-100", "a-b-c", "12 -31-96", "-1-1-90"}) {
    EXPECT_FALSE(dupro::parse_filter_date(bad, date)) << bad;
  }
}

// Paths are read with the platform's separator, whichever of '/' and '\'
// was typed.
TEST(DuproOptions, PathsReadWithThePlatformsSeparatorAndLoneDashIsAPath) {
  const std::string separator(1, dupro::platform::SEPARATOR);
  CommandLine line;
  ASSERT_EQ(parse({"a\\b/*.txt", "-", "-A"}, line), dupro::ARGUMENTS_VALID);
  EXPECT_EQ(line.source, "a" + separator + "b" + separator + "*.txt");
  EXPECT_EQ(line.target, "-");
  CommandLine slash;
  ASSERT_EQ(parse({"/", "x"}, slash), dupro::ARGUMENTS_VALID);
  EXPECT_EQ(slash.source, separator);
}

#ifdef _WIN32
// Paths use '\' and drive letters here: an argument that begins with '/'
// is an option, whatever it names.
TEST(DuproOptions, SlashAlwaysBeginsAnOption) {
  CommandLine line;
  EXPECT_EQ(parse({"C:\\", "/T"}, line), dupro::MISSING_SOURCE);
  EXPECT_EQ(parse({"/windows"}, line), dupro::UNKNOWN_OPTION);
  ASSERT_EQ(parse({"C:\\src", "/T", "D:\\new"}, line), dupro::ARGUMENTS_VALID);
  EXPECT_EQ(line.target, "D:\\new");
}
#else
TEST(DuproOptions, ExistingAbsolutePathIsNotAnOption) {
  CommandLine line;
  ASSERT_EQ(parse({"/tmp", "-T", "/no/such/folder/yet"}, line), dupro::ARGUMENTS_VALID);
  EXPECT_EQ(line.source, "/tmp");
  EXPECT_EQ(line.target, "/no/such/folder/yet");
  CommandLine missing;
  EXPECT_EQ(parse({"/no-such-place"}, missing), dupro::UNKNOWN_OPTION);
}
#endif

}  // namespace
