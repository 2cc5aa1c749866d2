// The texts of the command line: JSON strings for any bytes, --set's syntax,
// and the summary's host paths.
#include <gtest/gtest.h>

#include "app/answer_settings.h"
#include "app/build_json.h"
#include "app/build_summary.h"
#include "platform/drives.h"

namespace kc::app {
namespace {

struct JsonCase {
  std::string bytes;
  std::string json;
  const char* why;
};

TEST(JsonString, EscapesWhatJsonNeedsAndKeepsEveryByte) {
  const JsonCase cases[] = {
      {"T:\\out\\CD", "\"T:\\\\out\\\\CD\"", "backslashes are escaped"},
      {"say \"hi\"\n\t\r", "\"say \\\"hi\\\"\\n\\t\\r\"", "quotes and the common control characters"},
      {std::string("a\0b\x1f\x7f", 5), "\"a\\u0000b\\u001F\\u007F\"", "other control characters by number"},
      {"caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80", "\"caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80\"",
       "valid UTF-8 of two, three and four bytes stays as it is"},
      {"caf\xe9", "\"caf\\u00E9\"", "a Latin-1 byte becomes the character of its number"},
      {"\xc3", "\"\\u00C3\"", "a sequence cut short"},
      {"\xc0\xaf", "\"\\u00C0\\u00AF\"", "an overlong form is not UTF-8"},
      {"\xed\xa0\x80", "\"\\u00ED\\u00A0\\u0080\"", "an encoded surrogate is not UTF-8"},
      {"\xf4\x90\x80\x80", "\"\\u00F4\\u0090\\u0080\\u0080\"", "past U+10FFFF is not UTF-8"},
  };
  for (const JsonCase& c : cases) EXPECT_EQ(JsonString(c.bytes), c.json) << c.why;
}

struct SettingCase {
  const char* text;
  bool parses;
  const char* section;
  const char* key;
  const char* value;
  const char* why;
};

TEST(AnswerSetting, KeyValueForThePlatformSectionAndASectionInBrackets) {
  const SettingCase cases[] = {
      {"Program Folder=Ops Tools", true, "", "Program Folder", "Ops Tools", "the platform section"},
      {"[Mods-32]Extra Fonts=fonts", true, "Mods-32", "Extra Fonts", "fonts", "another section"},
      {" Output Path = a=b ", true, "", "Output Path", "a=b", "blanks do not count; the first = ends the key"},
      {"[Mods-32]Extra Fonts=", true, "Mods-32", "Extra Fonts", "", "an empty value"},
      {"Program Folder", false, "", "", "", "no ="},
      {"=x", false, "", "", "", "no key"},
      {"[Mods-32 x=y", false, "", "", "", "no closing ]"},
      {"[ ]x=y", false, "", "", "", "no section name"},
  };
  for (const SettingCase& c : cases) {
    std::string problem;
    const std::optional<AnswerSetting> setting = ParseAnswerSetting(c.text, problem);
    ASSERT_EQ(setting.has_value(), c.parses) << c.why << ": " << problem;
    if (!setting) {
      EXPECT_NE(problem.find(c.text), std::string::npos) << c.why << ": the message names the setting";
      continue;
    }
    EXPECT_EQ(setting->section, c.section) << c.why;
    EXPECT_EQ(setting->key, c.key) << c.why;
    EXPECT_EQ(setting->value, c.value) << c.why;
  }
}

TEST(BuildSummary, ShowsEachImagesHostFolderWhereADriveHoldsIt) {
  win::DriveTable::Set({{"D:", "/srv/kits"}});
  engine::BuildReport report;
  report.AddImage({"CD", "D:\\out\\CD", 2048, 2});
  report.AddImage({"network", "Q:\\out\\network", 1, 1});
  const std::string text = FormatImages(report);
  win::DriveTable::Reload();
  EXPECT_NE(text.find("CD image in D:\\out\\CD (/srv/kits/out/CD): 2 files, 2.0 KiB"), std::string::npos) << text;
  EXPECT_NE(text.find("network image in Q:\\out\\network: 1 file"), std::string::npos) << "no drive, no host path";
}

}  // namespace
}  // namespace kc::app
