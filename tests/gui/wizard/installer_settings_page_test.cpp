// The installer settings page: seven keys loaded and written, the exact-word
// rule for the icon boxes, Browse and Clear.
#include <gtest/gtest.h>

#include "dialogs/dlg134_settings_ids.h"
#include "framework/win_defs.h"
#include "wizard_fixture.h"

namespace kc::test {
namespace {

using namespace kc::dlg134_settings;

using InstallerSettingsPage = WizardTest;

TEST_F(InstallerSettingsPage, FreshChoicesShowEmptyFieldsAndLeavingWritesAllSevenKeys) {
  OpenOn(kInstallerSettingsPage);
  for (int id : {IDC_SPLASH_PATH, IDC_SETUP_TITLE, IDC_SETUP_TITLE1, IDC_SETUP_TITLE2, IDC_PROGRAM_FOLDER})
    EXPECT_EQ(Text(id), "") << id;
  EXPECT_FALSE(Checked(IDC_README_ICON));
  EXPECT_FALSE(Checked(IDC_LICENSE_ICON));
  Next();
  EXPECT_EQ(ActiveIndex(), kDialogControlPage);
  for (const char* key : {"Install Splash Path", "Product Setup Title", "Product Setup Title1", "Product Setup Title2",
                          "Program Folder"}) {
    EXPECT_TRUE(HasChoice(key)) << key;
    EXPECT_EQ(Choice(key), "") << key;
  }
  EXPECT_EQ(Choice("Create Readme Icon"), "NO");
  EXPECT_EQ(Choice("Create License Icon"), "NO");
}

TEST_F(InstallerSettingsPage, LoadsEachKeyIntoItsOwnControlAndWritesItBackUnchanged) {
  SetChoices(
      "[Choices-32]\r\nInstall Splash Path=C:\\art\\splash.bmp\r\nProduct Setup Title=One\r\n"
      "Product Setup Title1=Two\r\nProduct Setup Title2=Three\r\nProgram Folder=Folder\r\n"
      "Create Readme Icon=YES\r\nCreate License Icon=NO\r\n");
  OpenOn(kInstallerSettingsPage);
  EXPECT_EQ(Text(IDC_SPLASH_PATH), "C:\\art\\splash.bmp");
  EXPECT_EQ(Text(IDC_SETUP_TITLE), "One");
  EXPECT_EQ(Text(IDC_SETUP_TITLE1), "Two");
  EXPECT_EQ(Text(IDC_SETUP_TITLE2), "Three");
  EXPECT_EQ(Text(IDC_PROGRAM_FOLDER), "Folder");
  EXPECT_TRUE(Checked(IDC_README_ICON));
  EXPECT_FALSE(Checked(IDC_LICENSE_ICON));
  Type(IDC_SETUP_TITLE1, "  Two, edited  ");
  ClickOnPage(IDC_LICENSE_ICON);
  Next();
  EXPECT_EQ(Choice("Product Setup Title"), "One");
  EXPECT_EQ(Choice("Product Setup Title1"), "Two, edited");  // the INI layer trims, as Windows does
  EXPECT_EQ(Choice("Program Folder"), "Folder");
  EXPECT_EQ(Choice("Create Readme Icon"), "YES");
  EXPECT_EQ(Choice("Create License Icon"), "YES");
}

TEST_F(InstallerSettingsPage, IconWordsOtherThanExactlyYesReadAsNoAndAreRewrittenAsNo) {
  SetChoices("[Choices-32]\r\nCreate Readme Icon=yes\r\nCreate License Icon=Yes\r\n");
  OpenOn(kInstallerSettingsPage);
  EXPECT_FALSE(Checked(IDC_README_ICON));
  EXPECT_FALSE(Checked(IDC_LICENSE_ICON));
  Next();
  EXPECT_EQ(Choice("Create Readme Icon"), "NO");
  EXPECT_EQ(Choice("Create License Icon"), "NO");
}

TEST_F(InstallerSettingsPage, BrowseAsksForABitmapAndPutsTheChosenPathIntoTheField) {
  OpenOn(kInstallerSettingsPage);
  prompts->AnswerFile("C:\\art\\new.bmp");
  ClickOnPage(IDC_BROWSE_SPLASH);
  ASSERT_EQ(prompts->Requests().size(), 1u);
  const PromptRecord& asked = prompts->Requests()[0];
  EXPECT_TRUE(asked.open);
  EXPECT_EQ(asked.filter, "Bitmap files (*.bmp)|*.bmp||");
  EXPECT_EQ(asked.initialName, "setup.bmp");
  EXPECT_EQ(asked.defaultExt, "bmp");
  EXPECT_EQ(asked.flags, fw::OFN_HIDEREADONLY | fw::OFN_OVERWRITEPROMPT | fw::OFN_NOCHANGEDIR);
  EXPECT_EQ(Text(IDC_SPLASH_PATH), "C:\\art\\new.bmp");
  // Nothing reaches the choices file before the page is left.
  EXPECT_FALSE(HasChoice("Install Splash Path"));
}

TEST_F(InstallerSettingsPage, CancelledBrowseKeepsThePath) {
  SetChoices("[Choices-32]\r\nInstall Splash Path=C:\\old.bmp\r\n");
  OpenOn(kInstallerSettingsPage);
  prompts->CancelFile();
  ClickOnPage(IDC_BROWSE_SPLASH);
  EXPECT_EQ(Text(IDC_SPLASH_PATH), "C:\\old.bmp");
}

TEST_F(InstallerSettingsPage, ClearThenBackStoresTheEmptyPath) {
  SetChoices("[Choices-32]\r\nInstall Splash Path=C:\\old.bmp\r\n");
  OpenOn(kInstallerSettingsPage);
  ClickOnPage(IDC_CLEAR_SPLASH);
  EXPECT_EQ(Text(IDC_SPLASH_PATH), "");
  Back();
  EXPECT_EQ(ActiveIndex(), kComponentsPage);
  EXPECT_TRUE(HasChoice("Install Splash Path"));
  EXPECT_EQ(Choice("Install Splash Path"), "");
}

TEST_F(InstallerSettingsPage, StoredTextsLongerThan259CharactersAreShownCut) {
  const std::string longTitle(300, 't');
  SetChoices("[Choices-32]\r\nProduct Setup Title1=" + longTitle + "\r\n");
  OpenOn(kInstallerSettingsPage);
  EXPECT_EQ(Text(IDC_SETUP_TITLE1), longTitle.substr(0, 259));
}

TEST_F(InstallerSettingsPage, SplashPathThatDoesNotExistIsStoredAsTyped) {
  OpenOn(kInstallerSettingsPage);
  Type(IDC_SPLASH_PATH, "Q:\\nowhere\\missing.bmp");
  Next();
  EXPECT_EQ(Choice("Install Splash Path"), "Q:\\nowhere\\missing.bmp");
}

}  // namespace
}  // namespace kc::test
