// The sheet with the program's pages: the buttons on each page, Help hidden,
// Cancel, and keyboard use (Return, Escape, the first field focused).
#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include "framework/controls.h"
#include "framework/win_defs.h"
#include "support/gui_driver.h"
#include "wizard_fixture.h"

namespace kc::test {
namespace {

class WizardSheet : public WizardTest {
 protected:
  QPushButton* Button(int id) const { return qobject_cast<QPushButton*>(sheet->GetDlgItem(id)); }
  bool Shown(int id) const { return !Button(id)->isHidden(); }
  bool Usable(int id) const { return Shown(id) && Button(id)->isEnabled(); }
  // Choices that pass the path options page.
  void SetValidChoices() {
    SetChoices("[Choices-32]\r\nProduct Path=C:\\Apps\r\nProfile Path=C:\\Users\r\n");
  }
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
  Page()->ListBox(1008).SetSel(0, true);
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
  // The first control of each page that takes the focus.
  const int firstField[] = {1047, 1014, 1008, 1018, 1026};
  for (int index = kInstallerTypePage; index <= kDialogControlPage; ++index) {
    ASSERT_EQ(ActiveIndex(), index);
    QWidget* focus = sheet->focusWidget();
    ASSERT_NE(focus, nullptr) << index;
    EXPECT_EQ(focus->objectName().toStdString(), "ctl" + std::to_string(firstField[index])) << index;
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
  ClickListItem(Page(), 1008, 0);
  Page()->GetDlgItem(1010)->setFocus(Qt::TabFocusReason);
  PressKey(sheet.get(), Qt::Key_Return);
  ASSERT_EQ(ActiveIndex(), kComponentsPage);
  EXPECT_EQ(Page()->ListBox(1009).GetCount(), 1);
  EXPECT_EQ(Choice("Chat", "Mods-32"), "chat");

  Page()->GetDlgItem(1008)->setFocus(Qt::TabFocusReason);
  PressKey(sheet.get(), Qt::Key_Return);
  ASSERT_EQ(ActiveIndex(), kInstallerSettingsPage);
  EXPECT_TRUE(Button(fw::ID_WIZNEXT)->isDefault());

  Type(1018, "C:\\art\\splash.bmp");
  Page()->GetDlgItem(1067)->setFocus(Qt::TabFocusReason);
  PressKey(sheet.get(), Qt::Key_Return);
  ASSERT_EQ(ActiveIndex(), kInstallerSettingsPage);
  EXPECT_EQ(Text(1018), "");

  prompts->CancelFile();
  Page()->GetDlgItem(1030)->setFocus(Qt::TabFocusReason);
  PressKey(sheet.get(), Qt::Key_Return);
  EXPECT_EQ(ActiveIndex(), kInstallerSettingsPage);
  EXPECT_EQ(prompts->Requests().size(), 1u);
}

}  // namespace
}  // namespace kc::test
