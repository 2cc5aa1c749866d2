// The configuration store's own rules: each read's fixed capacity, whole key
// lists however long, and the platform section rule at each reader's capacity.
#include "config/profile_access.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/drives.h"
#include "support/row_names.h"

namespace kc::config {
namespace {

class ConfigStore : public ::testing::Test {
 protected:
  ConfigStore() {
    std::string pattern = std::filesystem::temp_directory_path().string() + "/kc-config-XXXXXX";
    folder_ = ::mkdtemp(pattern.data()) ? pattern : "";
    file = win::ToWindowsPath(folder_ + "/choices.tmp").value_or("");
  }
  ~ConfigStore() override { std::filesystem::remove_all(folder_); }
  void Write(const std::string& text) const { std::ofstream(folder_ + "/choices.tmp", std::ios::binary) << text; }

  std::string folder_;
  std::string file;
};

TEST_F(ConfigStore, AValueComesBackCutToItsReadersCapacity) {
  ASSERT_FALSE(file.empty());
  Write("[Choices-32]\r\nTitle=" + std::string(300, 't') + "\r\n");
  EXPECT_EQ(ReadValue(file, kChoices32, "Title", kCapacityDialogControl), std::string(11, 't'));
  EXPECT_EQ(ReadValue(file, kChoices32, "Title"), std::string(kCapacityDefault - 1, 't'));
  EXPECT_EQ(ReadValue(file, kChoices32, "Missing"), "");
}

TEST_F(ConfigStore, AWholeKeyListGoesBeyondTheFirstBufferWhereAFixedOneEndsCut) {
  std::string text = "[Components]\r\n";
  std::vector<std::string> keys;
  for (int i = 0; i < 600; ++i) {
    keys.push_back("Component" + std::to_string(1000 + i));  // 13 characters: 8.4 KB in all
    text += keys.back() + "=x\r\n";
  }
  Write(text);
  EXPECT_EQ(ReadAllKeys(file, "Components"), keys);
  const std::vector<std::string> fixed = ReadKeyList(file, "Components", 4096);
  ASSERT_LT(fixed.size(), keys.size());
  EXPECT_NE(fixed.back(), keys[fixed.size() - 1]);  // the last name that did not fit is cut short
}

struct PlatformCase {
  const char* global;
  unsigned capacity;
  const char* section;
  const char* why;
};

class PlatformRule : public ConfigStore, public ::testing::WithParamInterface<PlatformCase> {};

TEST_P(PlatformRule, Choices16OnlyForPlatformExactly16) {
  Write(std::string(GetParam().global));
  EXPECT_STREQ(PlatformSection(file, GetParam().capacity), GetParam().section);
}

INSTANTIATE_TEST_SUITE_P(
    Readers, PlatformRule,
    ::testing::Values(
        PlatformCase{"[Global]\r\nPlatform=16\r\n", kCapacityDefault, kChoices16, "16 at the pages' capacity"},
        PlatformCase{"[Global]\r\nPlatform=16\r\n", kCapacityDialogControl, kChoices16,
                     "16 at the dialog control page's"},
        PlatformCase{"[Global]\r\nPlatform=016\r\n", kCapacityDefault, kChoices32, "016 is not exactly 16"},
        PlatformCase{"[Global]\r\nPlatform=16 x\r\n", kCapacityDialogControl, kChoices32, "16 x is not exactly 16"},
        PlatformCase{"[Global]\r\nPlatform=160000000000\r\n", kCapacityDialogControl, kChoices32,
                     "a long value cut to 11 characters is still not 16"},
        PlatformCase{"[Global]\r\nPlatform=32\r\n", kCapacityDefault, kChoices32, "32"},
        PlatformCase{"", kCapacityDefault, kChoices32, "no Global section"}),
    kc::test::ByWhy{});

}  // namespace
}  // namespace kc::config
