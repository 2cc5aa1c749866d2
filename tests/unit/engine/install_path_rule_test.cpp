// The install path rule of the path options page (and of --set and kitcomp
// check), row by row.
#include "engine/install_path_rule.h"

#include <gtest/gtest.h>

#include "support/row_names.h"

namespace kc::test {
namespace {

struct PathCase {
  const char* text;
  bool valid;
  const char* why;
};

class InstallPathRule : public ::testing::TestWithParam<PathCase> {};

TEST_P(InstallPathRule, GivesTheExpectedVerdict) {
  const PathCase& c = GetParam();
  EXPECT_EQ(engine::IsValidInstallPath(c.text), c.valid) << '"' << c.text << "\": " << c.why;
}

const PathCase kPaths[] = {
    {"C:\\", true, "drive, colon, backslash"},
    {"C:\\Program Files\\Apps", true, "drive path with spaces"},
    {"D:\\Apps.old", true, "full stop allowed"},
    {"abc", true, "letter not followed by a colon"},
    {"\\\\srv\\x", true, "network path with a share"},
    {"%username%", true, "the special value"},
    {"", false, "empty, so shorter than 3"},
    {"C:", false, "a bare drive is shorter than 3"},
    {"C:x", false, "colon not followed by a backslash"},
    {"C:/apps", false, "slash not allowed"},
    {"1:\\apps", false, "first character neither letter nor backslash"},
    {"\\apps", false, "single leading backslash"},
    {"\\\\srv", false, "no backslash after the server name"},
    {"\\\\1srv\\share", false, "server name does not begin with a letter"},
    {"C:\\Progra~1", false, "tilde not allowed"},
    {"C:\\my-dir", false, "hyphen not allowed"},
    {"C:\\my_dir", false, "underscore not allowed"},
    {"%USERNAME%", false, "the special value is case-sensitive"},
    {"\\\\srv\\profiles\\%username%", false, "the special value counts only as the whole text"},
    // Beyond the table: the edges of each rule.
    {" %username%", false, "the special value is not trimmed"},
    {"C:\\Caf\xc3\xa9", false, "a non-ASCII letter"},
    {"ab", false, "two letters are too short"},
    {"a:b", false, "a drive letter in lower case still needs the backslash"},
    {"z:\\", true, "lower-case drive letter"},
    {"C:\\a(1)", false, "parentheses not allowed"},
    {"\\\\s\\", true, "a server and a backslash after it suffice"},
    {"\\\\\\srv", false, "a third backslash is no server name"},
    {".\\apps", false, "a leading full stop is neither letter nor backslash"},
    {"Apps\\Sub dir\\v1.2", true, "relative path with digits, a space and a full stop"},
    {"C:\\\t", false, "a tab is not a space"},
};

INSTANTIATE_TEST_SUITE_P(Table, InstallPathRule, ::testing::ValuesIn(kPaths), kc::test::ByWhy{});

}  // namespace
}  // namespace kc::test
