// The platform section rule on every page: the installer settings and dialog
// control pages use "Choices-16" only when [Global] "Platform" is exactly
// "16"; the installer type and path options pages always use "Choices-32",
// and the components page its fixed sections.
#include <gtest/gtest.h>

#include "dialogs/dlg129_components_ids.h"
#include "dialogs/dlg131_dialogcontrol_ids.h"
#include "dialogs/dlg134_settings_ids.h"
#include "dialogs/dlg150_netornot_ids.h"
#include "dialogs/dlg151_pathoptions_ids.h"
#include "wizard_fixture.h"

namespace kc::test {
namespace {

struct PlatformCase {
  const char* global;   // the [Global] section's text
  const char* section;  // the section a following page must use
};

const PlatformCase kPlatforms[] = {
    {"[Global]\r\nPlatform=16\r\n", "Choices-16"},
    {"[Global]\r\nPlatform=016\r\n", "Choices-32"},
    {"[Global]\r\nPlatform=32\r\n", "Choices-32"},
    {"[Global]\r\nPlatform=16 x\r\n", "Choices-32"},
    {"[Global]\r\n", "Choices-32"},
    {"", "Choices-32"},
};

class PlatformSection : public WizardTest, public ::testing::WithParamInterface<PlatformCase> {
 protected:
  const char* Other() const { return std::string(GetParam().section) == "Choices-16" ? "Choices-32" : "Choices-16"; }
  // Choices with the same key in both sections, so a page that reads the
  // wrong one shows the other value.
  void SetBoth(const std::string& key, const std::string& in32, const std::string& in16) {
    SetChoices(std::string(GetParam().global) + "[Choices-32]\r\n" + key + "=" + in32 + "\r\n[Choices-16]\r\n" + key +
               "=" + in16 + "\r\n");
  }
  bool Uses16() const { return std::string(GetParam().section) == "Choices-16"; }
};

TEST_P(PlatformSection, InstallerSettingsPageFollowsTheRule) {
  SetBoth("Program Folder", "Folder 32", "Folder 16");
  OpenOn(kInstallerSettingsPage);
  EXPECT_EQ(Text(dlg134_settings::IDC_PROGRAM_FOLDER), Uses16() ? "Folder 16" : "Folder 32");
  Type(dlg134_settings::IDC_PROGRAM_FOLDER, "Edited");
  Next();
  EXPECT_EQ(Choice("Program Folder", GetParam().section), "Edited");
  EXPECT_EQ(Choice("Program Folder", Other()), Uses16() ? "Folder 32" : "Folder 16");
  EXPECT_FALSE(HasChoice("Create Readme Icon", Other()));
}

TEST_P(PlatformSection, DialogControlPageFollowsTheRule) {
  SetBoth("Show Dialogs", "NO", "YES");
  OpenOn(kDialogControlPage);
  EXPECT_EQ(Checked(dlg131_dialogcontrol::IDC_THESE_DIALOGS_ON), Uses16());
  Next();
  EXPECT_EQ(Choice("Show Dialogs", GetParam().section), Uses16() ? "YES" : "NO");
  EXPECT_TRUE(HasChoice("Show Reboot Dialog", GetParam().section));
  EXPECT_FALSE(HasChoice("Show Reboot Dialog", Other()));
}

TEST_P(PlatformSection, InstallerTypePageAlwaysUsesChoices32) {
  SetBoth("NetOrLocal", "Local", "Net");
  OpenOn(kInstallerTypePage);
  EXPECT_TRUE(Checked(dlg150_netornot::IDC_LOCAL_TYPE));
  Next();
  EXPECT_EQ(Choice("NetOrLocal", "Choices-32"), "Local");
  EXPECT_EQ(Choice("NetOrLocal", "Choices-16"), "Net");
}

TEST_P(PlatformSection, PathOptionsPageAlwaysUsesChoices32) {
  SetBoth("Product Path", "C:\\Apps32", "C:\\Apps16");
  OpenOn(kPathOptionsPage);
  EXPECT_EQ(Text(dlg151_pathoptions::IDC_BASE_PATH), "C:\\Apps32");
  Back();
  EXPECT_EQ(Choice("Product Path", "Choices-16"), "C:\\Apps16");
  EXPECT_FALSE(HasChoice("Profile Path", "Choices-16"));
  EXPECT_TRUE(HasChoice("Profile Path", "Choices-32"));
}

TEST_P(PlatformSection, ComponentsPageAlwaysUsesItsSections32) {
  SetChoices(std::string(GetParam().global) + "[Mods-16]\r\nSixteen=x\r\n[Mods-32]\r\nChat=chat\r\n");
  OpenOn(kComponentsPage);
  EXPECT_EQ(Page()->ListBox(dlg129_components::IDC_INCLUDED).GetCount(), 1);
  Next();
  EXPECT_EQ(Choice("Lumenary 4.5", "Main Modules 32"), "lume");
  EXPECT_FALSE(HasChoice("Lumenary 4.5", "Main Modules 16"));
}

INSTANTIATE_TEST_SUITE_P(Values, PlatformSection, ::testing::ValuesIn(kPlatforms));

}  // namespace
}  // namespace kc::test
