// The path options page: loading, the two messages of Next in their order,
// the writes of a leave, and Back writing what Next would refuse.
#include <gtest/gtest.h>

#include "dialogs/dlg151_pathoptions_ids.h"
#include "framework/win_defs.h"
#include "wizard_fixture.h"

namespace kc::test {
namespace {

using namespace kc::dlg151_pathoptions;

constexpr unsigned kExclamationOk = fw::MB_OK | fw::MB_ICONEXCLAMATION;

class PathOptionsPage : public WizardTest {
 protected:
  void OpenWith(const std::string& choices) {
    SetChoices(choices);
    OpenOn(kPathOptionsPage);
  }
};

TEST_F(PathOptionsPage, LoadsBothPathsAndLocksFromChoices32) {
  OpenWith(
      "[Choices-32]\r\nProduct Path=C:\\Apps\r\nProfile Path=\\\\srv\\profiles\r\n"
      "End User Path Dialog Network Path Edit Box=DISABLED\r\n"
      "End User Path Dialog Profile Path Edit Box=DISABLED\r\n");
  EXPECT_EQ(Text(IDC_BASE_PATH), "C:\\Apps");
  EXPECT_EQ(Text(IDC_PROFILE_PATH), "\\\\srv\\profiles");
  EXPECT_TRUE(Checked(IDC_LOCK_BASE_PATH));
  EXPECT_TRUE(Checked(IDC_LOCK_PROFILE_PATH));
}

TEST_F(PathOptionsPage, LocksAreUncheckedForEnabledLowerCaseOrAbsent) {
  OpenWith(
      "[Choices-32]\r\nEnd User Path Dialog Network Path Edit Box=ENABLED\r\n"
      "End User Path Dialog Profile Path Edit Box=disabled\r\n");
  EXPECT_FALSE(Checked(IDC_LOCK_BASE_PATH));
  EXPECT_FALSE(Checked(IDC_LOCK_PROFILE_PATH));
}

TEST_F(PathOptionsPage, NextWithValidPathsWritesAllFourKeys) {
  OpenWith("[Global]\r\n");
  Type(IDC_BASE_PATH, "C:\\Program Files\\Apps");
  Type(IDC_PROFILE_PATH, "%username%");
  ClickOnPage(IDC_LOCK_PROFILE_PATH);
  Next();
  EXPECT_EQ(ActiveIndex(), kComponentsPage);
  EXPECT_TRUE(prompts->Requests().empty());
  EXPECT_EQ(Choice("Product Path"), "C:\\Program Files\\Apps");
  EXPECT_EQ(Choice("Profile Path"), "%username%");
  EXPECT_EQ(Choice("End User Path Dialog Network Path Edit Box"), "ENABLED");
  EXPECT_EQ(Choice("End User Path Dialog Profile Path Edit Box"), "DISABLED");
}

TEST_F(PathOptionsPage, BothInvalidShowsOnlyTheBasePathMessageThenTheProfileMessageOnceMended) {
  OpenWith("[Choices-32]\r\nProduct Path=C:\\Old\r\n");
  Type(IDC_BASE_PATH, "C:x");
  Type(IDC_PROFILE_PATH, "");
  prompts->AnswerMessageBox(fw::IDOK);
  Next();
  ASSERT_EQ(prompts->Requests().size(), 1u);
  EXPECT_EQ(prompts->Requests()[0].text, "The base path is invalid.");
  EXPECT_EQ(prompts->Requests()[0].caption, "Kit Composer");
  EXPECT_EQ(prompts->Requests()[0].type, kExclamationOk);
  EXPECT_EQ(ActiveIndex(), kPathOptionsPage);
  // Refused: nothing written, both texts kept as typed.
  EXPECT_EQ(Choice("Product Path"), "C:\\Old");
  EXPECT_EQ(Text(IDC_BASE_PATH), "C:x");

  Type(IDC_BASE_PATH, "C:\\New");
  prompts->AnswerMessageBox(fw::IDOK);
  Next();
  ASSERT_EQ(prompts->Requests().size(), 2u);
  EXPECT_EQ(prompts->Requests()[1].text, "The profile path is invalid.");
  EXPECT_EQ(prompts->Requests()[1].caption, "Kit Composer");
  EXPECT_EQ(prompts->Requests()[1].type, kExclamationOk);
  EXPECT_EQ(ActiveIndex(), kPathOptionsPage);
  EXPECT_EQ(Choice("Product Path"), "C:\\Old");
  EXPECT_FALSE(HasChoice("Profile Path"));
}

TEST_F(PathOptionsPage, EmptyProfilePathBlocksNextEvenForALocalInstaller) {
  OpenWith("[Choices-32]\r\nNetOrLocal=Local\r\nProduct Path=C:\\Apps\r\n");
  prompts->AnswerMessageBox(fw::IDOK);
  Next();
  ASSERT_EQ(prompts->Requests().size(), 1u);
  EXPECT_EQ(prompts->Requests()[0].text, "The profile path is invalid.");
  EXPECT_EQ(ActiveIndex(), kPathOptionsPage);
}

TEST_F(PathOptionsPage, BackWritesAnInvalidPathWithoutAMessage) {
  OpenWith("[Choices-32]\r\nProduct Path=C:\\Apps\r\n");
  Type(IDC_BASE_PATH, "C:/bad-path");
  ClickOnPage(IDC_LOCK_BASE_PATH);
  Back();
  EXPECT_EQ(ActiveIndex(), kInstallerTypePage);
  EXPECT_TRUE(prompts->Requests().empty());
  EXPECT_EQ(Choice("Product Path"), "C:/bad-path");
  EXPECT_EQ(Choice("Profile Path"), "");
  EXPECT_TRUE(HasChoice("Profile Path"));
  EXPECT_EQ(Choice("End User Path Dialog Network Path Edit Box"), "DISABLED");
  EXPECT_EQ(Choice("End User Path Dialog Profile Path Edit Box"), "ENABLED");
}

TEST_F(PathOptionsPage, CancelWritesNothing) {
  OpenWith("[Choices-32]\r\nProduct Path=C:\\Apps\r\n");
  const std::string before = ChoicesText();
  Type(IDC_BASE_PATH, "C:\\Other");
  Cancel();
  EXPECT_EQ(ChoicesText(), before);
}

TEST_F(PathOptionsPage, NoControlIsDisabledByTheInstallerType) {
  OpenWith("[Choices-32]\r\nNetOrLocal=Local\r\n");
  for (int id : {IDC_BASE_PATH, IDC_PROFILE_PATH, IDC_LOCK_BASE_PATH, IDC_LOCK_PROFILE_PATH})
    EXPECT_TRUE(Enabled(id)) << id;
}

// The edit takes any length and the leave writes it whole; reading it back
// has room for 259 characters.
TEST_F(PathOptionsPage, ALongPathIsWrittenWholeAndTheNextOpeningShowsItsFirst259Characters) {
  OpenWith("[Choices-32]\r\nProfile Path=C:\\Users\r\n");
  const std::string longPath = "C:\\" + std::string(297, 'a');
  Page()->SetDlgItemText(IDC_BASE_PATH, longPath);
  Next();
  ASSERT_EQ(ActiveIndex(), kComponentsPage);
  EXPECT_NE(ChoicesText().find("Product Path=" + longPath + "\r\n"), std::string::npos);

  sheet.reset();
  OpenOn(kPathOptionsPage);
  EXPECT_EQ(Text(IDC_BASE_PATH), longPath.substr(0, 259));
}

TEST_F(PathOptionsPage, FixedFullPathTextIsShown) {
  OpenWith("[Global]\r\n");
  EXPECT_EQ(Text(1049), "<base path>\\Velomark\\Lumenary\\");
}

}  // namespace
}  // namespace kc::test
