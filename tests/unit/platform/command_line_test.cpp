#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/process.h"

namespace {

using Args = std::vector<std::string>;

struct SplitCase {
  const char* line;
  Args args;
};

class CommandLineSplit : public ::testing::TestWithParam<SplitCase> {};

TEST_P(CommandLineSplit, GivesTheRuntimesArguments) {
  EXPECT_EQ(win::CommandLineToArgs(GetParam().line), GetParam().args) << GetParam().line;
}

INSTANTIATE_TEST_SUITE_P(
    Rules, CommandLineSplit,
    ::testing::Values(SplitCase{"p a b c", {"p", "a", "b", "c"}},
                      SplitCase{"p \"a b c\" d e", {"p", "a b c", "d", "e"}},
                      SplitCase{R"(p "ab\"c" "\\" d)", {"p", "ab\"c", "\\", "d"}},
                      SplitCase{R"(p a\\\b d"e f"g h)", {"p", R"(a\\\b)", "de fg", "h"}},
                      SplitCase{R"(p a\\\"b c d)", {"p", R"(a\"b)", "c", "d"}},
                      SplitCase{R"(p a\\\\"b c" d e)", {"p", R"(a\\b c)", "d", "e"}},
                      // One to four backslashes before a quote.
                      SplitCase{R"(p \"x)", {"p", "\"x"}}, SplitCase{R"(p \\"x y")", {"p", "\\x y"}},
                      SplitCase{R"(p \\\"x y)", {"p", "\\\"x", "y"}}, SplitCase{R"(p \\\\"x y")", {"p", "\\\\x y"}},
                      // "" inside a quoted part is a literal quote and the part goes on.
                      SplitCase{R"(p a"b"" c d)", {"p", "ab\" c d"}}, SplitCase{R"(p "a""b")", {"p", "a\"b"}},
                      SplitCase{R"(p "" "")", {"p", "", ""}}, SplitCase{R"(p a "" b)", {"p", "a", "", "b"}},
                      SplitCase{R"(p a\ b\\)", {"p", "a\\", "b\\\\"}}, SplitCase{"p\ta\t\tb", {"p", "a", "b"}},
                      SplitCase{"  p a  ", {"p", "a"}}, SplitCase{"p \"a b", {"p", "a b"}},
                      SplitCase{"p a\"b c\"d", {"p", "ab cd"}},
                      // The program name: quotes group, backslashes are plain.
                      SplitCase{R"("C:\Program Files\x.exe" a)", {"C:\\Program Files\\x.exe", "a"}},
                      SplitCase{R"("C:\dir\" a)", {"C:\\dir\\", "a"}}, SplitCase{R"(C:\a\\b.exe)", {"C:\\a\\\\b.exe"}},
                      SplitCase{"", {}}, SplitCase{" \t ", {}}));

TEST(QuoteArgumentTest, LeavesPlainArgumentsAloneAndQuotesTheRest) {
  EXPECT_EQ(win::QuoteArgument("simple\\path"), "simple\\path");
  EXPECT_EQ(win::QuoteArgument(""), "\"\"");
  EXPECT_EQ(win::QuoteArgument("a b\\"), "\"a b\\\\\"");
  EXPECT_EQ(win::QuoteArgument("x\"y"), "\"x\\\"y\"");
  EXPECT_EQ(win::QuoteArgument("x\\\"y"), "\"x\\\\\\\"y\"");
}

TEST(QuoteArgumentTest, SplittingGivesEveryQuotedArgumentBack) {
  Args tricky = {"",          "a b",  "tab\there",           "quote\"in", "\\\"",       "end\\", "end\\\\",
                 "C:\\x y\\", "\"\"", "\\\\srv\\share\\a b", "plain",     "a\\\\\"b c", " lead", "trail "};
  std::string line = "p";
  for (const auto& arg : tricky) line += " " + win::QuoteArgument(arg);
  Args expected = {"p"};
  expected.insert(expected.end(), tricky.begin(), tricky.end());
  EXPECT_EQ(win::CommandLineToArgs(line), expected) << line;
}

}  // namespace
