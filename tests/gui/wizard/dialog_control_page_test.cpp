// The dialog control page: the on/off choice and its ten boxes, the reboot
// choice.
#include <gtest/gtest.h>

#include "dialogs/dlg131_dialogcontrol_ids.h"
#include "wizard_fixture.h"

namespace kc::test {
namespace {

using namespace kc::dlg131_dialogcontrol;

struct DialogBox {
  int id;
  const char* key;
};
constexpr DialogBox kBoxes[] = {
    {1060, "Show License Dialog"},       {1014, "Show Welcome Dialog"},   {1061, "Show SetupType Dialog"},
    {1015, "Show Path Dialog"},          {1062, "Show Options Dialog"},   {1018, "Show Associations Dialog"},
    {1063, "Show Select Folder Dialog"}, {1064, "Show StartCopy Dialog"}, {1065, "Show Readme Dialog"},
    {1017, "Show Finish Dialog"},
};

using DialogControlPage = WizardTest;

TEST_F(DialogControlPage, FreshSectionShowsAllOffWithDisabledBoxesAndWritesNoAndAuto) {
  OpenOn(kDialogControlPage);
  EXPECT_TRUE(Checked(IDC_ALL_DIALOGS_OFF));
  EXPECT_FALSE(Checked(IDC_THESE_DIALOGS_ON));
  for (const DialogBox& b : kBoxes) {
    EXPECT_FALSE(Checked(b.id)) << b.key;
    EXPECT_FALSE(Enabled(b.id)) << b.key;
  }
  EXPECT_TRUE(Checked(IDC_REBOOT_WHEN_NEEDED));
  Next();
  EXPECT_EQ(Choice("Show Dialogs"), "NO");
  for (const DialogBox& b : kBoxes) EXPECT_EQ(Choice(b.key), "NO") << b.key;
  EXPECT_EQ(Choice("Show Reboot Dialog"), "AUTO");
}

TEST_F(DialogControlPage, EachBoxIsLoadedFromAndWrittenToItsOwnKey) {
  // One box at a time, so a box wired to the wrong key shows.
  for (const DialogBox& only : kBoxes) {
    SetChoices(std::string("[Choices-32]\r\nShow Dialogs=YES\r\n") + only.key + "=YES\r\n");
    OpenOn(kDialogControlPage);
    for (const DialogBox& b : kBoxes) EXPECT_EQ(Checked(b.id), b.id == only.id) << only.key << " / " << b.key;
    ClickOnPage(only.id);  // clear it again
    Next();
    EXPECT_EQ(Choice(only.key), "NO") << only.key;
    TearDown();
    SetUp();
  }
}

TEST_F(DialogControlPage, TurningDialogsOffKeepsAndWritesTheBoxStates) {
  SetChoices("[Choices-32]\r\nShow Dialogs=YES\r\nShow Path Dialog=YES\r\n");
  OpenOn(kDialogControlPage);
  EXPECT_TRUE(Enabled(1015));
  ClickOnPage(IDC_ALL_DIALOGS_OFF);
  EXPECT_FALSE(Enabled(1015));
  EXPECT_TRUE(Checked(1015));
  ClickOnPage(IDC_THESE_DIALOGS_ON);
  EXPECT_TRUE(Enabled(1015));
  EXPECT_TRUE(Checked(1015));
  ClickOnPage(IDC_ALL_DIALOGS_OFF);
  Next();
  EXPECT_EQ(Choice("Show Dialogs"), "NO");
  EXPECT_EQ(Choice("Show Path Dialog"), "YES");
}

TEST_F(DialogControlPage, RebootChoiceReadsExactWordsAndWritesItsOwn) {
  struct Case {
    const char* stored;
    int shown;
    const char* written;
  };
  for (const Case& c : {Case{"ALWAYS", IDC_REBOOT_ALWAYS, "ALWAYS"}, Case{"NEVER", IDC_REBOOT_NEVER, "NEVER"},
                        Case{"AUTO", IDC_REBOOT_WHEN_NEEDED, "AUTO"}, Case{"Always", IDC_REBOOT_WHEN_NEEDED, "AUTO"},
                        Case{"never", IDC_REBOOT_WHEN_NEEDED, "AUTO"}, Case{"", IDC_REBOOT_WHEN_NEEDED, "AUTO"}}) {
    SetChoices(std::string("[Choices-32]\r\nShow Reboot Dialog=") + c.stored + "\r\n");
    OpenOn(kDialogControlPage);
    for (int id : {IDC_REBOOT_ALWAYS, IDC_REBOOT_NEVER, IDC_REBOOT_WHEN_NEEDED})
      EXPECT_EQ(Checked(id), id == c.shown) << c.stored << " " << id;
    Next();
    EXPECT_EQ(Choice("Show Reboot Dialog"), c.written) << c.stored;
    TearDown();
    SetUp();
  }
}

TEST_F(DialogControlPage, LowerCaseYesReadsAsUnchecked) {
  SetChoices("[Choices-32]\r\nShow Dialogs=yes\r\nShow License Dialog=yes\r\nShow Welcome Dialog=YES\r\n");
  OpenOn(kDialogControlPage);
  EXPECT_TRUE(Checked(IDC_ALL_DIALOGS_OFF));
  EXPECT_FALSE(Checked(1060));
  EXPECT_TRUE(Checked(1014));
}

}  // namespace
}  // namespace kc::test
