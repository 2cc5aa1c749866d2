// The customization files page: what it shows, what it writes on Next and
// Back, and what its Browse and Clear buttons do.
#include <gtest/gtest.h>

#include "dialogs/dlg139_customfiles_ids.h"
#include "framework/win_defs.h"
#include "support/gui_driver.h"
#include "wizard_fixture.h"

namespace kc::test {
namespace {

using namespace kc::dlg139_customfiles;

using fw::OFN_HIDEREADONLY;
using fw::OFN_NOCHANGEDIR;
using fw::OFN_OVERWRITEPROMPT;
constexpr unsigned kBrowseFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_NOCHANGEDIR;

using CustomFilesWizardTest = WizardTest;

TEST_F(CustomFilesWizardTest, FreshChoicesShowEmptyFieldsAndLeavingWritesNoAndEmptyPaths) {
  OpenOn(kCustomFilesPage);
  for (int id : {IDC_CONFIG_PATH, IDC_BOOKMARKS_PATH, IDC_ADDRESS_BOOK_PATH, IDC_INBOX_PATH})
    EXPECT_EQ(Text(id), "") << id;
  EXPECT_FALSE(Checked(IDC_OVERWRITE_CONFIG));
  Next();
  EXPECT_EQ(ActiveIndex(), kCustomMorePage);
  EXPECT_EQ(Choice("Overwrite CFG"), "NO");
  for (const char* key : {"Custom CFG Path", "Custom Bookmark Path", "Custom Addressbook Path", "Custom Inbox Path"}) {
    EXPECT_TRUE(HasChoice(key)) << key;
    EXPECT_EQ(Choice(key), "") << key;
  }
}

TEST_F(CustomFilesWizardTest, ShowsItsCaptionLabelsAndButtonsWordForWord) {
  OpenOn(kCustomFilesPage);
  EXPECT_EQ(Page()->GetCaption(), "Customization files");
  for (const char* text :
       {"Specify paths to any customization files that you want to include in this installer.  For more "
        "information on how to modify or create the customization files, refer to the Fleetwatch Desktop Guide.",
        "Lumenary recognizes each customization file by looking for a predefined filename.  The predefined name "
        "for each customization file below is listed in parentheses.",
        "However, to make managing your customized files easier, Kit Composer lets you give customization files "
        "any name you choose.  It will create a copy of your file and rename it to the correct name.",
        "Velomark Configuration File (velomark.cfg)", "Bookmarks file (bookmarks.html)", "Address book file (pab.ab2)",
        "Inbox file (inbox)"}) {
    EXPECT_TRUE(PageShowsText(text)) << text;
  }
  EXPECT_EQ(Text(IDC_OVERWRITE_CONFIG), "Overwrite user's existing configuration file");
  for (int id : {IDC_BROWSE_CONFIG, IDC_BROWSE_BOOKMARKS, IDC_BROWSE_ADDRESS_BOOK, IDC_BROWSE_INBOX})
    EXPECT_EQ(Text(id), "Browse") << id;
  for (int id : {IDC_CLEAR_CONFIG, IDC_CLEAR_BOOKMARKS, IDC_CLEAR_ADDRESS_BOOK, IDC_CLEAR_INBOX})
    EXPECT_EQ(Text(id), "Clear") << id;
}

TEST_F(CustomFilesWizardTest, ShowsStoredPathsInTheirFields) {
  SetChoices(
      "[Choices-32]\r\nCustom CFG Path=C:\\c\\my.cfg\r\nCustom Bookmark Path=C:\\b.htm\r\n"
      "Custom Addressbook Path=C:\\pab\r\nCustom Inbox Path=C:\\in box\r\nOverwrite CFG=YES\r\n");
  OpenOn(kCustomFilesPage);
  EXPECT_EQ(Text(IDC_CONFIG_PATH), "C:\\c\\my.cfg");
  EXPECT_EQ(Text(IDC_BOOKMARKS_PATH), "C:\\b.htm");
  EXPECT_EQ(Text(IDC_ADDRESS_BOOK_PATH), "C:\\pab");
  EXPECT_EQ(Text(IDC_INBOX_PATH), "C:\\in box");
  EXPECT_TRUE(Checked(IDC_OVERWRITE_CONFIG));
}

// Only the very word "YES" checks the box; anything else is rewritten as "NO".
class OverwriteWordTest : public WizardTest, public ::testing::WithParamInterface<std::pair<const char*, bool>> {};

TEST_P(OverwriteWordTest, OnlyExactYesChecksTheBox) {
  const auto [stored, checked] = GetParam();
  SetChoices(std::string("[Choices-32]\r\nOverwrite CFG=") + stored + "\r\n");
  OpenOn(kCustomFilesPage);
  EXPECT_EQ(Checked(IDC_OVERWRITE_CONFIG), checked);
  Next();
  EXPECT_EQ(Choice("Overwrite CFG"), checked ? "YES" : "NO");
}

INSTANTIATE_TEST_SUITE_P(Words, OverwriteWordTest,
                         ::testing::Values(std::pair{"YES", true}, std::pair{"yes", false}, std::pair{"Yes", false},
                                           std::pair{"", false}, std::pair{"TRUE", false}));

TEST_F(CustomFilesWizardTest, BackWritesTheFieldsAsNextDoes) {
  SetChoices("[Choices-32]\r\nCustom CFG Path=C:\\old.cfg\r\nOverwrite CFG=YES\r\n");
  OpenOn(kCustomFilesPage);
  Click(Page(), IDC_CLEAR_CONFIG);  // Clear the configuration file
  TypeText(Page(), IDC_BOOKMARKS_PATH, "C:\\new\\bookmarks.htm");
  Click(Page(), IDC_OVERWRITE_CONFIG);  // uncheck overwrite
  Back();
  EXPECT_EQ(ActiveIndex(), kCustomFilesPage - 1);
  EXPECT_EQ(Choice("Custom CFG Path"), "");
  EXPECT_EQ(Choice("Custom Bookmark Path"), "C:\\new\\bookmarks.htm");
  EXPECT_EQ(Choice("Overwrite CFG"), "NO");
}

TEST_F(CustomFilesWizardTest, PlatformSixteenWritesIntoChoicesSixteenOnly) {
  SetChoices("[Global]\r\nPlatform=16\r\n[Choices-16]\r\nCustom Inbox Path=C:\\inbox16\r\n");
  OpenOn(kCustomFilesPage);
  EXPECT_EQ(Text(IDC_INBOX_PATH), "C:\\inbox16");
  Next();
  EXPECT_EQ(Choice("Custom Inbox Path", "Choices-16"), "C:\\inbox16");
  EXPECT_EQ(Choice("Overwrite CFG", "Choices-16"), "NO");
  EXPECT_FALSE(HasChoice("Overwrite CFG", "Choices-32"));
}

TEST_F(CustomFilesWizardTest, ClearEmptiesOnlyItsFieldAndLeavesTheBox) {
  SetChoices(
      "[Choices-32]\r\nCustom CFG Path=C:\\a\r\nCustom Bookmark Path=C:\\b\r\nCustom Addressbook Path=C:\\c\r\n"
      "Custom Inbox Path=C:\\d\r\nOverwrite CFG=YES\r\n");
  OpenOn(kCustomFilesPage);
  const std::pair<int, int> clears[] = {{IDC_CLEAR_CONFIG, IDC_CONFIG_PATH},
                                        {IDC_CLEAR_BOOKMARKS, IDC_BOOKMARKS_PATH},
                                        {IDC_CLEAR_ADDRESS_BOOK, IDC_ADDRESS_BOOK_PATH},
                                        {IDC_CLEAR_INBOX, IDC_INBOX_PATH}};
  int cleared = 0;
  for (auto [button, edit] : clears) {
    Click(Page(), button);
    ++cleared;
    EXPECT_EQ(Text(edit), "") << button;
    int stillFull = 0;
    for (auto [b, e] : clears) stillFull += Text(e).empty() ? 0 : 1;
    EXPECT_EQ(stillFull, 4 - cleared) << button;
    EXPECT_TRUE(Checked(IDC_OVERWRITE_CONFIG));
  }
  // Nothing reaches the choices file before the page is left.
  EXPECT_EQ(Choice("Custom CFG Path"), "C:\\a");
}

struct BrowseCase {
  int button;
  int edit;
  const char* filter;
  const char* initialName;
  const char* defaultExt;
};

class CustomFilesBrowseTest : public WizardTest, public ::testing::WithParamInterface<BrowseCase> {};

TEST_P(CustomFilesBrowseTest, AsksWithItsFilterAndPutsTheChosenPathIntoItsField) {
  const BrowseCase c = GetParam();
  SetChoices(
      "[Choices-32]\r\nCustom CFG Path=C:\\kept\r\nCustom Bookmark Path=C:\\kept\r\n"
      "Custom Addressbook Path=C:\\kept\r\nCustom Inbox Path=C:\\kept\r\n");
  OpenOn(kCustomFilesPage);
  prompts->CancelFile();
  Click(Page(), c.button);
  EXPECT_EQ(Text(c.edit), "C:\\kept");  // Cancel keeps the old path
  prompts->AnswerFile("C:\\files\\any name.dat");
  Click(Page(), c.button);
  EXPECT_EQ(Text(c.edit), "C:\\files\\any name.dat");
  ASSERT_EQ(prompts->Requests().size(), 2u);
  const PromptRecord& asked = prompts->Requests()[1];
  EXPECT_EQ(asked.kind, PromptRecord::Kind::FileDialog);
  EXPECT_TRUE(asked.open);
  EXPECT_EQ(asked.filter, c.filter);
  EXPECT_EQ(asked.initialName, c.initialName);
  EXPECT_EQ(asked.defaultExt, c.defaultExt);
  EXPECT_EQ(asked.flags, kBrowseFlags);
  EXPECT_EQ(Choice("Custom CFG Path"), "C:\\kept");
}

INSTANTIATE_TEST_SUITE_P(Buttons, CustomFilesBrowseTest,
                         ::testing::Values(BrowseCase{IDC_BROWSE_CONFIG, IDC_CONFIG_PATH,
                                                      "Configuration file (*.cfg)|*.cfg||", "velomark.cfg", "cfg"},
                                           BrowseCase{IDC_BROWSE_BOOKMARKS, IDC_BOOKMARKS_PATH,
                                                      "Bookmark file (*.htm)|*.htm||", "bookmark.htm", "htm"},
                                           BrowseCase{IDC_BROWSE_ADDRESS_BOOK, IDC_ADDRESS_BOOK_PATH,
                                                      "Addressbook file (*.ab2)|*.ab2||", "pab.ab2", "ab2"},
                                           BrowseCase{IDC_BROWSE_INBOX, IDC_INBOX_PATH, "Sample Inbox file (*.*)|*.*||",
                                                      "*.*", ""}));

}  // namespace
}  // namespace kc::test
