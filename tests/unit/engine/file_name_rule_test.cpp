#include "engine/file_name_rule.h"

#include <gtest/gtest.h>

namespace kc::engine {
namespace {

struct NameCase {
  std::string name;
  const char* refusedBecause;  // a part of the reason, "" for a plain file name
  const char* why;
};

TEST(FileNameRule, OnlyPlainFileNamesPass) {
  const NameCase cases[] = {
      {"lume", "", "an ordinary module stem"},
      {"tool.beta", "", "dots inside a name are allowed"},
      {".x", "", "a leading dot is a name (slot 2 derives such names)"},
      {"My Tool", "", "blanks inside a name are allowed"},
      {std::string(255, 'n'), "", "the longest name a file system holds"},
      {"", "empty", "no name at all"},
      {"..\\..\\kitcomp\\kitcomp", "path separator", "climbs out of source\\modules"},
      {"sub/name", "path separator", "a forward slash separates on the host"},
      {".", "names a folder", "the folder itself"},
      {"..", "names a folder", "the parent folder"},
      {"C:name", "colon", "a drive-relative path"},
      {std::string("a\tb"), "control character", "a tab"},
      {std::string("a\x7F"), "control character", "DEL"},
      {"a<b", "character <", "reserved on Windows"},
      {"a?b", "character ?", "a wildcard"},
      {"a\"b", "character \"", "a quote"},
      {"name.", "ends with a dot", "Windows drops the dot"},
      {"name ", "ends with a dot or a blank", "Windows drops the blank"},
      {"con", "Windows device", "a device in any letter case"},
      {"COM1.setup", "Windows device", "a device with an extension"},
      {"com10", "", "not a device"},
      {std::string(256, 'n'), "longer than", "beyond a file system's name length"},
  };
  for (const NameCase& c : cases) {
    const std::string problem = FileNameProblem(c.name);
    if (*c.refusedBecause == '\0') {
      EXPECT_EQ(problem, "") << c.why;
    } else {
      EXPECT_NE(problem.find(c.refusedBecause), std::string::npos) << c.why << ": " << problem;
    }
  }
}

}  // namespace
}  // namespace kc::engine
