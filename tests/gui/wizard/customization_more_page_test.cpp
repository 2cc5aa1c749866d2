// The customization files continued page: the dial-up entry's completion and
// refusal, and the plain fields, Browse and Clear.
#include "wizard/customization_more_page.h"

#include <gtest/gtest.h>

#include "dialogs/dlg152_custommore_ids.h"
#include "engine/page_entries.h"
#include "framework/app.h"
#include "framework/win_defs.h"
#include "platform/files.h"
#include "support/gui_driver.h"
#include "wizard_fixture.h"

namespace kc::test {
namespace {

using namespace kc::dlg152_custommore;

constexpr const char* kInvalidDialup = "The Custom Dial-Up package folder is invalid.";

struct Completion {
  const char* typed;
  const char* completed;
};

class DialupCompletionTest : public ::testing::TestWithParam<Completion> {};

TEST_P(DialupCompletionTest, CompletesTheEntryToItsMainFile) {
  EXPECT_EQ(engine::CompleteDialupEntry(GetParam().typed), GetParam().completed);
}

INSTANTIATE_TEST_SUITE_P(Rules, DialupCompletionTest,
                         ::testing::Values(Completion{"C:\\pkg\\", "C:\\pkg\\main.htm"},
                                           Completion{"C:\\pkg", "C:\\pkg\\main.htm"},
                                           Completion{"C:\\pkg\\main.htm", "C:\\pkg\\main.htm"},
                                           Completion{"C:\\pkg\\xmain.htm", "C:\\pkg\\xmain.htm"},
                                           Completion{"C:\\pkg\\Main.htm", "C:\\pkg\\Main.htm\\main.htm"},
                                           Completion{"C:\\pkg\\main.html", "C:\\pkg\\main.html\\main.htm"},
                                           Completion{"pkg", "pkg\\main.htm"}, Completion{"main.htm", "main.htm"},
                                           Completion{"C:/pkg/", "C:/pkg/main.htm"},
                                           Completion{"C:/pkg/main.htm", "C:/pkg/main.htm"},
                                           Completion{"C:/pkg", "C:/pkg\\main.htm"}));

using CustomMoreWizardTest = WizardTest;

// Typed into the page and left with Next: what the choices file holds.
struct DialupLeave {
  const char* typed;
  const char* stored;  // nullptr: refused
};

class DialupLeaveTest : public WizardTest, public ::testing::WithParamInterface<DialupLeave> {};

TEST_P(DialupLeaveTest, NextStoresTheCompletedPathOrRefuses) {
  MakeFile("C:\\pkg\\main.htm");
  MakeFile("C:\\pkg\\xmain.htm");
  MakeFolder("C:\\empty");
  // An entry without a backslash is taken against the current directory.
  ASSERT_TRUE(win::SetCurrentDirectoryA("C:\\"));
  SetChoices("[Choices-32]\r\nCustom Account Setup Path=C:\\before\\main.htm\r\nCustom Readme Path=C:\\r.txt\r\n");
  OpenOn(kCustomMorePage);
  TypeText(Page(), IDC_DIALUP_PATH, GetParam().typed);
  TypeText(Page(), IDC_README_PATH, "C:\\new readme.txt");
  if (GetParam().stored == nullptr) prompts->AnswerMessageBox(fw::IDOK);
  Next();
  if (GetParam().stored == nullptr) {
    EXPECT_EQ(ActiveIndex(), kCustomMorePage);
    ASSERT_EQ(prompts->Requests().size(), 1u);
    EXPECT_EQ(prompts->Requests()[0].text, kInvalidDialup);
    EXPECT_EQ(prompts->Requests()[0].caption, fw::AfxGetAppName());
    EXPECT_EQ(prompts->Requests()[0].type, fw::MB_ICONEXCLAMATION | fw::MB_OK);
    EXPECT_EQ(Text(IDC_DIALUP_PATH), GetParam().typed);
    EXPECT_EQ(Choice("Custom Account Setup Path"), "C:\\before\\main.htm");
    EXPECT_EQ(Choice("Custom Readme Path"), "C:\\r.txt");  // nothing written
  } else {
    EXPECT_EQ(ActiveIndex(), kAdditionalInstallsPage);
    EXPECT_EQ(Choice("Custom Account Setup Path"), GetParam().stored);
    EXPECT_EQ(Choice("Custom Readme Path"), "C:\\new readme.txt");
  }
}

INSTANTIATE_TEST_SUITE_P(Entries, DialupLeaveTest,
                         ::testing::Values(DialupLeave{"", ""}, DialupLeave{"C:\\pkg\\", "C:\\pkg\\main.htm"},
                                           DialupLeave{"C:\\pkg", "C:\\pkg\\main.htm"},
                                           DialupLeave{"C:\\pkg\\main.htm", "C:\\pkg\\main.htm"},
                                           DialupLeave{"C:\\pkg\\xmain.htm", "C:\\pkg\\xmain.htm"},
                                           DialupLeave{"pkg", "pkg\\main.htm"},
                                           DialupLeave{"C:\\pkg\\Main.htm", nullptr}, DialupLeave{"C:\\empty", nullptr},
                                           DialupLeave{"C:\\missing\\", nullptr}));

TEST_F(CustomMoreWizardTest, BackIsRefusedLikeNextForAnInvalidPackage) {
  MakeFolder("C:\\empty");
  OpenOn(kCustomMorePage);
  TypeText(Page(), IDC_DIALUP_PATH, "C:\\empty");
  prompts->AnswerMessageBox(fw::IDOK);
  Back();
  EXPECT_EQ(ActiveIndex(), kCustomMorePage);
  EXPECT_EQ(prompts->Requests().at(0).text, kInvalidDialup);
  EXPECT_FALSE(HasChoice("Custom Small Animation Path"));
  // Cleared, the entry passes and every key is written, the dial-up one empty.
  Click(Page(), IDC_CLEAR_DIALUP);
  Back();
  EXPECT_EQ(ActiveIndex(), kCustomFilesPage);
  EXPECT_TRUE(HasChoice("Custom Small Animation Path"));
  EXPECT_TRUE(HasChoice("Custom Account Setup Path"));
  EXPECT_EQ(Choice("Custom Account Setup Path"), "");
}

TEST_F(CustomMoreWizardTest, ComingBackShowsTheEntryAsTypedWhileTheFileHoldsItCompleted) {
  MakeFile("C:\\pkg\\main.htm");
  OpenOn(kCustomMorePage);
  TypeText(Page(), IDC_DIALUP_PATH, "C:\\pkg");
  Next();
  ASSERT_EQ(ActiveIndex(), kAdditionalInstallsPage);
  Back();
  ASSERT_EQ(ActiveIndex(), kCustomMorePage);
  EXPECT_EQ(Text(IDC_DIALUP_PATH), "C:\\pkg");
  EXPECT_EQ(Choice("Custom Account Setup Path"), "C:\\pkg\\main.htm");
}

TEST_F(CustomMoreWizardTest, ShowsItsCaptionLabelsAndButtonsWordForWord) {
  OpenOn(kCustomMorePage);
  EXPECT_EQ(Page()->GetCaption(), "Customization Files, continued...");
  for (const char* text :
       {"As in the previous screen, specify paths to any customization files that you want to include in your "
        "installer.",
        "Custom Animation (small) (anyfilename.bmp)", "Custom Animation (large) (anyfilename.bmp)",
        "Readme file (readme.txt)", "License Agreement (license.txt)",
        "Personal Security files:", "Customized dial-up package folder:"}) {
    EXPECT_TRUE(PageShowsText(text)) << text;
  }
  for (int id : {IDC_BROWSE_SMALL_ANIMATION, IDC_BROWSE_LARGE_ANIMATION, IDC_BROWSE_README, IDC_BROWSE_LICENSE,
                 IDC_BROWSE_SECURITY_FILES, IDC_BROWSE_DIALUP})
    EXPECT_EQ(Text(id), "Browse") << id;
  for (int id : {IDC_CLEAR_SMALL_ANIMATION, IDC_CLEAR_LARGE_ANIMATION, IDC_CLEAR_README, IDC_CLEAR_LICENSE,
                 IDC_CLEAR_SECURITY_FILES, IDC_CLEAR_DIALUP})
    EXPECT_EQ(Text(id), "Clear") << id;
}

TEST_F(CustomMoreWizardTest, LoadsAndWritesTheFivePlainPathsUnchecked) {
  SetChoices(
      "[Choices-32]\r\nCustom Small Animation Path=C:\\s.bmp\r\nCustom Large Animation Path=C:\\l.bmp\r\n"
      "Custom Readme Path=C:\\r.txt\r\nCustom License Path=C:\\li.txt\r\n"
      "Custom Security Files Path=C:\\no such.db\r\n");
  OpenOn(kCustomMorePage);
  EXPECT_EQ(Text(IDC_SMALL_ANIMATION_PATH), "C:\\s.bmp");
  EXPECT_EQ(Text(IDC_LARGE_ANIMATION_PATH), "C:\\l.bmp");
  EXPECT_EQ(Text(IDC_README_PATH), "C:\\r.txt");
  EXPECT_EQ(Text(IDC_LICENSE_PATH), "C:\\li.txt");
  EXPECT_EQ(Text(IDC_SECURITY_FILES_PATH), "C:\\no such.db");
  TypeText(Page(), IDC_LARGE_ANIMATION_PATH, "C:\\large2.bmp");
  Next();
  EXPECT_EQ(Choice("Custom Large Animation Path"), "C:\\large2.bmp");
  EXPECT_EQ(Choice("Custom Security Files Path"), "C:\\no such.db");
  EXPECT_EQ(Choice("Custom License Path"), "C:\\li.txt");
}

struct MoreBrowse {
  int button;
  int edit;
  int clear;
  const char* filter;
  const char* initialName;
  const char* defaultExt;
  unsigned extraFlags;
};

class CustomMoreBrowseTest : public WizardTest, public ::testing::WithParamInterface<MoreBrowse> {};

TEST_P(CustomMoreBrowseTest, BrowseAsksWithItsSettingsAndClearEmptiesItsField) {
  const MoreBrowse c = GetParam();
  OpenOn(kCustomMorePage);
  prompts->AnswerFile("C:\\chosen\\file.x");
  Click(Page(), c.button);
  EXPECT_EQ(Text(c.edit), "C:\\chosen\\file.x");
  ASSERT_EQ(prompts->Requests().size(), 1u);
  const PromptRecord& asked = prompts->Requests()[0];
  EXPECT_TRUE(asked.open);
  EXPECT_EQ(asked.filter, c.filter);
  EXPECT_EQ(asked.initialName, c.initialName);
  EXPECT_EQ(asked.defaultExt, c.defaultExt);
  EXPECT_EQ(asked.flags, fw::OFN_HIDEREADONLY | fw::OFN_OVERWRITEPROMPT | fw::OFN_NOCHANGEDIR | c.extraFlags);
  prompts->CancelFile();
  Click(Page(), c.button);
  EXPECT_EQ(Text(c.edit), "C:\\chosen\\file.x");
  Click(Page(), c.clear);
  EXPECT_EQ(Text(c.edit), "");
}

INSTANTIATE_TEST_SUITE_P(
    Buttons, CustomMoreBrowseTest,
    ::testing::Values(MoreBrowse{IDC_BROWSE_SMALL_ANIMATION, IDC_SMALL_ANIMATION_PATH, IDC_CLEAR_SMALL_ANIMATION,
                                 "Animation file (*.bmp)|*.bmp||", "*.bmp", "", 0},
                      MoreBrowse{IDC_BROWSE_LARGE_ANIMATION, IDC_LARGE_ANIMATION_PATH, IDC_CLEAR_LARGE_ANIMATION,
                                 "Animation file (*.bmp)|*.bmp||", "*.bmp", "", 0},
                      MoreBrowse{IDC_BROWSE_README, IDC_README_PATH, IDC_CLEAR_README, "Readme file (*.txt)|*.txt||",
                                 "*.txt", "txt", 0},
                      MoreBrowse{IDC_BROWSE_LICENSE, IDC_LICENSE_PATH, IDC_CLEAR_LICENSE,
                                 "License file (*.txt)|*.txt||", "*.txt", "txt", 0},
                      MoreBrowse{IDC_BROWSE_SECURITY_FILES, IDC_SECURITY_FILES_PATH, IDC_CLEAR_SECURITY_FILES,
                                 "Security database file (*.db)|*.db||", "*.db", "db", 0},
                      MoreBrowse{IDC_BROWSE_DIALUP, IDC_DIALUP_PATH, IDC_CLEAR_DIALUP,
                                 "Dialup module main file|*.htm||", "main.htm", "htm", fw::OFN_FILEMUSTEXIST}));

}  // namespace
}  // namespace kc::test
