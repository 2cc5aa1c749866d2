// The sheet with the program's pages: the buttons on each page, Help hidden,
// Cancel, and keyboard use (Return, Escape, the first field focused).
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <set>
#include <string>
#include <vector>

#include "dialogs/dlg129_components_ids.h"
#include "dialogs/dlg131_dialogcontrol_ids.h"
#include "dialogs/dlg134_settings_ids.h"
#include "dialogs/dlg139_customfiles_ids.h"
#include "dialogs/dlg140_output_ids.h"
#include "dialogs/dlg150_netornot_ids.h"
#include "dialogs/dlg151_pathoptions_ids.h"
#include "framework/controls.h"
#include "framework/win_defs.h"
#include "support/gui_driver.h"
#include "support/row_names.h"
#include "wizard_fixture.h"

namespace kc::test {
namespace {

class WizardSheet : public WizardTest {
 protected:
  QPushButton* Button(int id) const { return qobject_cast<QPushButton*>(sheet->GetDlgItem(id)); }
  bool Shown(int id) const { return !Button(id)->isHidden(); }
  bool Usable(int id) const { return Shown(id) && Button(id)->isEnabled(); }
  // Choices that pass the path options page.
  void SetValidChoices() { SetChoices("[Choices-32]\r\nProduct Path=C:\\Apps\r\nProfile Path=C:\\Users\r\n"); }
};

TEST_F(WizardSheet, FirstPageOffersNextWithBackGreyedAndNoHelp) {
  OpenOn(kInstallerTypePage);
  EXPECT_TRUE(Usable(fw::ID_WIZNEXT));
  EXPECT_TRUE(Shown(fw::ID_WIZBACK));
  EXPECT_FALSE(Button(fw::ID_WIZBACK)->isEnabled());
  EXPECT_FALSE(Shown(fw::IDHELP));
  EXPECT_FALSE(Shown(fw::ID_WIZFINISH));
  EXPECT_TRUE(Usable(fw::IDCANCEL));
  EXPECT_EQ(sheet->windowTitle().toStdString(), "Type of Installer");
}

TEST_F(WizardSheet, PagesTwoToFiveOfferBackAndNextWithTheirCaptions) {
  SetValidChoices();
  OpenOn(kInstallerTypePage);
  const char* captions[] = {"Path Options", "Installable modules", "Installer Settings", "Dialog control"};
  for (int index = kPathOptionsPage; index <= kDialogControlPage; ++index) {
    Next();
    ASSERT_EQ(ActiveIndex(), index);
    EXPECT_TRUE(Usable(fw::ID_WIZBACK)) << index;
    EXPECT_TRUE(Usable(fw::ID_WIZNEXT)) << index;
    EXPECT_FALSE(Shown(fw::ID_WIZFINISH)) << index;
    EXPECT_FALSE(Shown(fw::IDHELP)) << index;
    EXPECT_EQ(sheet->windowTitle().toStdString(), captions[index - 1]);
  }
}

TEST_F(WizardSheet, BackToTheFirstPageGreysBackAgain) {
  SetValidChoices();
  OpenOn(kInstallerTypePage);
  Next();
  Back();
  EXPECT_EQ(ActiveIndex(), kInstallerTypePage);
  EXPECT_FALSE(Button(fw::ID_WIZBACK)->isEnabled());
  EXPECT_TRUE(Usable(fw::ID_WIZNEXT));
}

TEST_F(WizardSheet, NextThroughTheFivePagesWritesEachPagesKeys) {
  SetValidChoices();
  OpenOn(kInstallerTypePage);
  for (int i = 0; i < 5; ++i) Next();
  EXPECT_EQ(Choice("NetOrLocal"), "Net");
  EXPECT_EQ(Choice("Product Path"), "C:\\Apps");
  EXPECT_EQ(Choice("Lumenary 4.5", "Main Modules 32"), "lume");
  EXPECT_EQ(Choice("Create Readme Icon"), "NO");
  EXPECT_EQ(Choice("Show Reboot Dialog"), "AUTO");
}

TEST_F(WizardSheet, CancelEndsTheSheetAndTheCurrentPageWritesNothing) {
  SetValidChoices();
  OpenOn(kInstallerTypePage);
  Next();  // the installer type page wrote its keys
  Next();  // the path options page wrote its keys
  const std::string before = ChoicesText();
  Page()->ListBox(dlg129_components::IDC_AVAILABLE).SetSel(0, true);
  Cancel();
  EXPECT_EQ(ChoicesText(), before);
  EXPECT_FALSE(sheet->isVisible());
}

TEST_F(WizardSheet, ReturnPressesNextAndEscapeCancels) {
  SetValidChoices();
  OpenOn(kInstallerTypePage);
  sheet->activateWindow();
  PressKey(sheet.get(), Qt::Key_Return);
  EXPECT_EQ(ActiveIndex(), kPathOptionsPage);
  PressKey(sheet.get(), Qt::Key_Return);
  EXPECT_EQ(ActiveIndex(), kComponentsPage);
  const std::string before = ChoicesText();
  PressKey(sheet.get(), Qt::Key_Escape);
  EXPECT_FALSE(sheet->isVisible());
  EXPECT_EQ(ChoicesText(), before);
}

TEST_F(WizardSheet, EachPageOpensWithItsFirstFieldFocused) {
  SetValidChoices();
  OpenOn(kInstallerTypePage);
  sheet->activateWindow();
  // The first control of each page that takes the focus; in a radio group,
  // its checked button (the network installer here, the second of its group).
  const int firstField[] = {dlg150_netornot::IDC_NETWORK_TYPE, dlg151_pathoptions::IDC_BASE_PATH,
                            dlg129_components::IDC_AVAILABLE, dlg134_settings::IDC_SPLASH_PATH,
                            dlg131_dialogcontrol::IDC_ALL_DIALOGS_OFF};
  for (int index = kInstallerTypePage; index <= kDialogControlPage; ++index) {
    ASSERT_EQ(ActiveIndex(), index);
    QWidget* focus = sheet->focusWidget();
    ASSERT_NE(focus, nullptr) << index;
    EXPECT_EQ(focus->objectName().toStdString(), "ctl" + std::to_string(firstField[index])) << index;
    Next();
  }
}

// As on Windows, a radio group's focus and Tab stop is its checked button, so
// that a Space on arriving never changes a stored answer.
struct RadioFocusCase {
  const char* choices;  // below [Choices-32], after valid paths
  int page;
  int focused;   // where the page opens
  int tabbedTo;  // the first button of the page's next group that Tab reaches (0: none)
  const char* why;
};

class RadioGroupFocus : public WizardSheet, public ::testing::WithParamInterface<RadioFocusCase> {};

TEST_P(RadioGroupFocus, TheCheckedButtonTakesTheFocusAndTheTabStop) {
  const RadioFocusCase& c = GetParam();
  SetChoices(std::string("[Choices-32]\r\nProduct Path=C:\\Apps\r\nProfile Path=C:\\Users\r\n") + c.choices);
  OpenOn(c.page);
  sheet->activateWindow();
  QWidget* focus = sheet->focusWidget();
  ASSERT_NE(focus, nullptr) << c.why;
  EXPECT_EQ(focus->objectName().toStdString(), "ctl" + std::to_string(c.focused)) << c.why;
  PressKey(sheet.get(), Qt::Key_Space);
  EXPECT_TRUE(Checked(c.focused)) << c.why << ": a Space changed the answer";
  if (c.tabbedTo == 0) return;
  const std::set<std::string> nextGroup = {"ctl1057", "ctl1058", "ctl1059"};
  for (int i = 0; i < 20 && !nextGroup.count(sheet->focusWidget()->objectName().toStdString()); ++i) {
    PressKey(sheet.get(), Qt::Key_Tab);
  }
  EXPECT_EQ(sheet->focusWidget()->objectName().toStdString(), "ctl" + std::to_string(c.tabbedTo)) << c.why;
}

INSTANTIATE_TEST_SUITE_P(
    Pages, RadioGroupFocus,
    ::testing::Values(RadioFocusCase{"", kInstallerTypePage, dlg150_netornot::IDC_NETWORK_TYPE, 0,
                                     "no stored type reads as a network installer"},
                      RadioFocusCase{"NetOrLocal=Local\r\n", kInstallerTypePage, dlg150_netornot::IDC_LOCAL_TYPE, 0,
                                     "a local installer"},
                      RadioFocusCase{"Show Dialogs=YES\r\nShow Reboot Dialog=NEVER\r\n", kDialogControlPage,
                                     dlg131_dialogcontrol::IDC_THESE_DIALOGS_ON, dlg131_dialogcontrol::IDC_REBOOT_NEVER,
                                     "the second of each group checked"},
                      RadioFocusCase{
                          "Show Reboot Dialog=AUTO\r\n", kDialogControlPage, dlg131_dialogcontrol::IDC_ALL_DIALOGS_OFF,
                          dlg131_dialogcontrol::IDC_REBOOT_WHEN_NEEDED, "the last of the reboot group checked"}),
    kc::test::ByWhy{});

// Every label, button and group title of the first five pages, word for word
// (double spaces included).
TEST_F(WizardSheet, TheFirstFivePagesShowTheirTextsWordForWord) {
  SetValidChoices();
  OpenOn(kInstallerTypePage);
  const std::vector<std::vector<std::string>> texts = {
      {"Users can install and run a local copy of Lumenary, or they can share a copy of Lumenary that you install on "
       "a network server.  Select the type of installer you'd like to create.",
       "Build an installer for a local version of Lumenary", "Build an installer for a network version of Lumenary",
       "If you select this option, Kit Composer creates an administrator's installer that lets you install Lumenary "
       "on the server.   It also creates an end-user installer that lets users install the required files on their "
       "workstations or the network.",
       "With a network installer the user can still be given the choice of installing Lumenary locally or on a "
       "network server.  As an administrator you can set this option and lock it.",
       "Choose to install to a network server", "Choose to install to the user's local drive", "Lock this setting"},
      {"Specify the location where you want Lumenary installed.",
       "If you chose to create a Network installer you can also choose where you want Lumenary profiles to reside.",
       "Installation Path",
       "Specify a base path to the local or network directory in which you want Lumenary installed:",
       "Lock this setting",
       "During the installation, the installer automatically appends a required directory path to the base path "
       "above, which results in a full path of:",
       "<base path>\\Velomark\\Lumenary\\", "Profiles Path",
       "End users can store their Velomark user profiles and associated files locally or on a network server.",
       "Specify a path to the local or network directory where you want to install your end users' profiles and "
       "associated files:"},
      {"Select the components you want to include in your installer.  Kit Composer will automatically add the "
       "Lumenary component.",
       "Available Components:", ">>", "<<", "Included Components:", "Create 32bit install"},
      {"Specify an Install Splash Screen (setup.bmp), a Product Setup Title, a Start Menu Program Folder Name, and "
       "check the boxes if you want to create Readme and License icons in the Start Menu Program Folder",
       "Install Splash Screen:", "Browse", "Clear", "Product Setup Title:", "Start Menu Settings",
       "Program Folder Name:", "Create Readme icon", "Create License icon"},
      {"Select the installer dialogs you want displayed to the user.",
       "If you are creating a network install the administrator's install will show all the dialogs while the end "
       "user install will retain the settings made here.",
       "Dialog control", "Turn off all dialogs", "Turn on these dialogs", "License Dialog", "Welcome Dialog",
       "Setup Type Dialog", "Path Dialog", "Options Dialog", "File Associations Dialog", "Select Folder Dialog",
       "Start Copy", "Read me Dialog", "Finish Dialog", "Show Reboot Dialog", "Always", "Never",
       "Only when needed (recommended)"},
  };
  for (int index = kInstallerTypePage; index <= kDialogControlPage; ++index) {
    ASSERT_EQ(ActiveIndex(), index);
    std::set<std::string> shown;
    for (const QLabel* label : Page()->findChildren<QLabel*>()) shown.insert(label->text().toStdString());
    for (const QAbstractButton* button : Page()->findChildren<QAbstractButton*>()) {
      shown.insert(button->text().toStdString());
    }
    for (const QGroupBox* group : Page()->findChildren<QGroupBox*>()) shown.insert(group->title().toStdString());
    for (const std::string& text : texts[static_cast<std::size_t>(index)]) {
      EXPECT_EQ(shown.count(text), 1u) << "page " << index << ": " << text;
    }
    Next();
  }
}

// As in any dialog, Return on a page's focused push button presses that
// button, not the sheet's default; the default is Next again once the focus
// has moved on.
TEST_F(WizardSheet, ReturnOnAFocusedPageButtonPressesThatButton) {
  SetValidChoices();
  SetProgramIni("[Available 32]\r\nChat=chat\r\n");
  OpenOn(kComponentsPage);
  sheet->activateWindow();
  ClickListItem(Page(), dlg129_components::IDC_AVAILABLE, 0);
  Page()->GetDlgItem(dlg129_components::IDC_ADD)->setFocus(Qt::TabFocusReason);
  PressKey(sheet.get(), Qt::Key_Return);
  ASSERT_EQ(ActiveIndex(), kComponentsPage);
  EXPECT_EQ(Page()->ListBox(dlg129_components::IDC_INCLUDED).GetCount(), 1);
  EXPECT_EQ(Choice("Chat", "Mods-32"), "chat");

  Page()->GetDlgItem(dlg129_components::IDC_AVAILABLE)->setFocus(Qt::TabFocusReason);
  PressKey(sheet.get(), Qt::Key_Return);
  ASSERT_EQ(ActiveIndex(), kInstallerSettingsPage);
  EXPECT_TRUE(Button(fw::ID_WIZNEXT)->isDefault());

  Type(dlg134_settings::IDC_SPLASH_PATH, "C:\\art\\splash.bmp");
  Page()->GetDlgItem(dlg134_settings::IDC_CLEAR_SPLASH)->setFocus(Qt::TabFocusReason);
  PressKey(sheet.get(), Qt::Key_Return);
  ASSERT_EQ(ActiveIndex(), kInstallerSettingsPage);
  EXPECT_EQ(Text(dlg134_settings::IDC_SPLASH_PATH), "");

  prompts->CancelFile();
  Page()->GetDlgItem(dlg134_settings::IDC_BROWSE_SPLASH)->setFocus(Qt::TabFocusReason);
  PressKey(sheet.get(), Qt::Key_Return);
  EXPECT_EQ(ActiveIndex(), kInstallerSettingsPage);
  EXPECT_EQ(prompts->Requests().size(), 1u);
}

}  // namespace
TEST_F(WizardSheet, ReturnOnAFocusedButtonOfACustomizationPagePressesThatButton) {
  SetValidChoices();
  OpenOn(kCustomFilesPage);
  sheet->activateWindow();
  Type(dlg139_customfiles::IDC_CONFIG_PATH, "C:\\cfg\\velomark.cfg");
  Page()->GetDlgItem(dlg139_customfiles::IDC_CLEAR_CONFIG)->setFocus(Qt::TabFocusReason);
  PressKey(sheet.get(), Qt::Key_Return);
  ASSERT_EQ(ActiveIndex(), kCustomFilesPage);
  EXPECT_EQ(Text(dlg139_customfiles::IDC_CONFIG_PATH), "");
}

TEST_F(WizardSheet, ReturnOnAFocusedButtonOfTheOutputPageLeavesFinishAlone) {
  SetValidChoices();
  OpenOn(kOutputPage);
  sheet->activateWindow();
  prompts->CancelFile();
  Page()->GetDlgItem(dlg140_output::IDC_SAVE_CONFIGURATION)->setFocus(Qt::TabFocusReason);
  PressKey(sheet.get(), Qt::Key_Return);
  EXPECT_EQ(ActiveIndex(), kOutputPage);
  EXPECT_EQ(prompts->Requests().size(), 1u);
  // Once the focus leaves the page's button, Finish is the default again.
  Page()->GetDlgItem(dlg140_output::IDC_OUTPUT_PATH)->setFocus(Qt::TabFocusReason);
  EXPECT_TRUE(Button(fw::ID_WIZFINISH)->isDefault());
}

}  // namespace kc::test
