// The installer settings page: seven keys loaded and written, the exact-word
// rule for the icon boxes, Browse and Clear.
#include <gtest/gtest.h>

#include "framework/win_defs.h"
#include "wizard_fixture.h"

namespace kc::test {
namespace {

constexpr int kSplash = 1018;
constexpr int kTitle = 1014;
constexpr int kTitle1 = 1015;
constexpr int kTitle2 = 1016;
constexpr int kFolder = 1019;
constexpr int kReadmeIcon = 1039;
constexpr int kLicenseIcon = 1040;
constexpr int kBrowse = 1030;
constexpr int kClear = 1067;

using InstallerSettingsPage = WizardTest;

TEST_F(InstallerSettingsPage, FreshChoicesShowEmptyFieldsAndLeavingWritesAllSevenKeys) {
  OpenOn(kInstallerSettingsPage);
  for (int id : {kSplash, kTitle, kTitle1, kTitle2, kFolder}) EXPECT_EQ(Text(id), "") << id;
  EXPECT_FALSE(Checked(kReadmeIcon));
  EXPECT_FALSE(Checked(kLicenseIcon));
  Next();
  EXPECT_EQ(ActiveIndex(), kDialogControlPage);
  for (const char* key : {"Install Splash Path", "Product Setup Title", "Product Setup Title1",
                          "Product Setup Title2", "Program Folder"}) {
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
  EXPECT_EQ(Text(kSplash), "C:\\art\\splash.bmp");
  EXPECT_EQ(Text(kTitle), "One");
  EXPECT_EQ(Text(kTitle1), "Two");
  EXPECT_EQ(Text(kTitle2), "Three");
  EXPECT_EQ(Text(kFolder), "Folder");
  EXPECT_TRUE(Checked(kReadmeIcon));
  EXPECT_FALSE(Checked(kLicenseIcon));
  Type(kTitle1, "  Two, edited  ");
  ClickOnPage(kLicenseIcon);
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
  EXPECT_FALSE(Checked(kReadmeIcon));
  EXPECT_FALSE(Checked(kLicenseIcon));
  Next();
  EXPECT_EQ(Choice("Create Readme Icon"), "NO");
  EXPECT_EQ(Choice("Create License Icon"), "NO");
}

TEST_F(InstallerSettingsPage, BrowseAsksForABitmapAndPutsTheChosenPathIntoTheField) {
  OpenOn(kInstallerSettingsPage);
  prompts->AnswerFile("C:\\art\\new.bmp");
  ClickOnPage(kBrowse);
  ASSERT_EQ(prompts->Requests().size(), 1u);
  const PromptRecord& asked = prompts->Requests()[0];
  EXPECT_TRUE(asked.open);
  EXPECT_EQ(asked.filter, "Bitmap files (*.bmp)|*.bmp||");
  EXPECT_EQ(asked.initialName, "setup.bmp");
  EXPECT_EQ(asked.defaultExt, "bmp");
  EXPECT_EQ(asked.flags, fw::OFN_HIDEREADONLY | fw::OFN_OVERWRITEPROMPT | fw::OFN_NOCHANGEDIR);
  EXPECT_EQ(Text(kSplash), "C:\\art\\new.bmp");
  // Nothing reaches the choices file before the page is left.
  EXPECT_FALSE(HasChoice("Install Splash Path"));
}

TEST_F(InstallerSettingsPage, CancelledBrowseKeepsThePath) {
  SetChoices("[Choices-32]\r\nInstall Splash Path=C:\\old.bmp\r\n");
  OpenOn(kInstallerSettingsPage);
  prompts->CancelFile();
  ClickOnPage(kBrowse);
  EXPECT_EQ(Text(kSplash), "C:\\old.bmp");
}

TEST_F(InstallerSettingsPage, ClearThenBackStoresTheEmptyPath) {
  SetChoices("[Choices-32]\r\nInstall Splash Path=C:\\old.bmp\r\n");
  OpenOn(kInstallerSettingsPage);
  ClickOnPage(kClear);
  EXPECT_EQ(Text(kSplash), "");
  Back();
  EXPECT_EQ(ActiveIndex(), kComponentsPage);
  EXPECT_TRUE(HasChoice("Install Splash Path"));
  EXPECT_EQ(Choice("Install Splash Path"), "");
}

TEST_F(InstallerSettingsPage, StoredTextsLongerThan259CharactersAreShownCut) {
  const std::string longTitle(300, 't');
  SetChoices("[Choices-32]\r\nProduct Setup Title1=" + longTitle + "\r\n");
  OpenOn(kInstallerSettingsPage);
  EXPECT_EQ(Text(kTitle1), longTitle.substr(0, 259));
}

TEST_F(InstallerSettingsPage, SplashPathThatDoesNotExistIsStoredAsTyped) {
  OpenOn(kInstallerSettingsPage);
  Type(kSplash, "Q:\\nowhere\\missing.bmp");
  Next();
  EXPECT_EQ(Choice("Install Splash Path"), "Q:\\nowhere\\missing.bmp");
}

}  // namespace
}  // namespace kc::test
