// End-to-end tests of Ordly's error routine: messages, usage text and
// exit statuses.
#include <gtest/gtest.h>

#include <algorithm>

#include "ordly/errors.h"
#include "tests/ordly/e2e_support.h"

namespace {

using ordly_test::BANNER;
using ordly_test::crlf;
using ordly_test::run_ordly;
using suite_test::TempFolder;

std::string usage() { return crlf(std::string(ordly::usage_text())); }

TEST(OrdlyUsage, TextIsExactToTheByte) {
  std::string_view text = ordly::usage_text();
  EXPECT_EQ(text.size(), 1238u);
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 21);
  EXPECT_TRUE(text.starts_with("\tUse:\tOrdly [/options] [file...]\n\tOptions can be grouped"));
  EXPECT_NE(text.find("/E 'Espa\xA4ol': 'ch' and 'll' are single letters\n"), std::string_view::npos);
  EXPECT_NE(text.find("lower-case and accented letters, '\xA5' appears after 'N' and\n"), std::string_view::npos);
  EXPECT_NE(text.find("\t/X n\tMaximum line length\t/G Show debug info\n"), std::string_view::npos);
  EXPECT_TRUE(text.ends_with("space.\n"));
}

TEST(OrdlyUsage, QuestionMarkShowsBannerAndUsage) {
  auto r = run_ordly({"/?"}, "not read\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, BANNER + usage());
  EXPECT_EQ(r.err.size(), BANNER.size() + 1238 + 21);
  // Options before it take effect; the question mark ends the run.
  EXPECT_EQ(run_ordly({"-R?"}).err, BANNER + usage());
}

TEST(OrdlyErrors, InvalidOptionsQuoteTheRestOfTheArgument) {
  struct Case {
    const char* argument;
    const char* quoted;
  } cases[] = {{"/0", "0"}, {"/P", "P"}, {"/RKq", "Kq"}, {"/-3", "-3"}, {"/5j", "j"}, {"/J", "J"}};
  for (const Case& c : cases) {
    auto r = run_ordly({c.argument}, "a\n");
    EXPECT_EQ(r.status, 8) << c.argument;
    EXPECT_EQ(r.out, "") << c.argument;
    EXPECT_EQ(r.err, BANNER + "Invalid option: '" + c.quoted + "'.\r\n\r\n" + usage()) << c.argument;
  }
}

TEST(OrdlyErrors, LineBufferValues) {
  auto r = run_ordly({"/X"});
  EXPECT_EQ(r.status, 8);
  EXPECT_EQ(r.err, BANNER + "Invalid option: 'X'.\r\n\r\n" + usage());
  r = run_ordly({"/Xabc"});
  EXPECT_EQ(r.status, 8);
  EXPECT_EQ(r.err, BANNER + "Invalid option: 'abc'.\r\n\r\n" + usage());
  // Below 3 bytes a line could not hold a byte and its line feed.
  r = run_ordly({"/X", "2"}, "a\n");
  EXPECT_EQ(r.status, 8);
  EXPECT_EQ(r.err, BANNER + "Invalid option: '2'.\r\n\r\n" + usage());
  // Three bytes take one byte a line; the line feed comes on its own.
  r = run_ordly({"/X3"}, "ba\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, crlf("\na\nb\n"));
}

TEST(OrdlyErrors, OutputFileNameMissing) {
  TempFolder folder;
  for (const std::vector<std::string>& arguments :
       {std::vector<std::string>{"/O"}, {"/R", "/o"}, {"/O", folder.path()}, {"/O", ""}}) {
    auto r = run_ordly(arguments, "a\n");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, BANNER + "Output file name missing.\r\n\r\n" + usage());
  }
}

TEST(OrdlyErrors, InputThatCannotBeOpened) {
  TempFolder folder;
  folder.write("a.txt", "a\n");
  auto r = run_ordly({"missing.txt"}, "", folder.path());
  EXPECT_EQ(r.status, 4);
  EXPECT_EQ(r.err, BANNER + "Can't open 'missing.txt'.\r\n\r\n");
  // After the first file name every argument is a file name.
  r = run_ordly({"a.txt", "/R"}, "", folder.path());
  EXPECT_EQ(r.status, 4);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, BANNER + "Can't open '/R'.\r\n\r\n");
  r = run_ordly({"."}, "", folder.path());
  EXPECT_EQ(r.status, 4);
}

TEST(OrdlyErrors, MemoryExhaustedForTheLineBuffer) {
#ifdef SUITE_SANITIZED
  GTEST_SKIP() << "address-space limits do not work under the sanitizers";
#endif
  suite_test::RunOptions options;
  options.input = "a\n";
  if (suite_test::programs_run_under_wine()) GTEST_SKIP() << suite_test::WINE_HAS_NO_ADDRESS_SPACE_LIMIT;
  options.address_space_limit = 256ul << 20;
  auto r = suite_test::run_program("ordly", {"/X4000000000"}, options);
  EXPECT_EQ(r.status, 64);
  EXPECT_EQ(r.err, BANNER + "Memory exhausted.\r\n\r\n");
}

}  // namespace
