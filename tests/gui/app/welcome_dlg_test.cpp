// The welcome dialog and its run driver: start-up, Browse, which configuration
// a run starts from, what each Next refreshes, and that the dialog stays.
#include <gtest/gtest.h>

#include <QLabel>

#include "app_fixture.h"
#include "config/keys.h"
#include "config/profile_access.h"
#include "dialogs/dlg102_welcome_ids.h"
#include "engine/kit_lock.h"
#include "framework/app.h"
#include "framework/property_sheet.h"
#include "framework/win_defs.h"
#include "support/gui_driver.h"

namespace kc::test {
namespace {

using namespace kc::dlg102_welcome;

constexpr const char* kChoices = "C:\\kit\\kitcomp\\choices.tmp";
constexpr const char* kEngineSetup = "C:\\kit\\custom\\engine\\setup.ini";

class WelcomeDialog : public AppTest {
 protected:
  // The next wizard run: records the choices file as the first page shows it,
  // then cancels.
  void CancelNextWizard() {
    prompts->AnswerDialog([this](fw::CDialog& sheet) {
      choicesSeen.push_back(ReadFile(kChoices));
      sheetCaption = sheet.windowTitle().toStdString();
      return fw::IDCANCEL;
    });
  }
  std::string Field() const { return welcome->GetDlgItemText(IDC_CONFIGURATION_PATH); }

  std::vector<std::string> choicesSeen;
  std::string sheetCaption;
};

TEST_F(WelcomeDialog, OpensWithTheNewConfigurationTextAfterStartUp) {
  OpenWelcome();
  EXPECT_EQ(Field(), "New Install Configuration");
  EXPECT_EQ(welcome->windowTitle().toStdString(), "Kit Composer");
  EXPECT_EQ(welcome->Paths().choicesFile, kChoices);
  // Start-up made the folders for customized files.
  EXPECT_TRUE(Exists("C:\\kit\\custom\\engine"));
  EXPECT_FALSE(welcome->windowIcon().isNull());
}

TEST_F(WelcomeDialog, ShowsItsTextsAndTheSidePicture) {
  OpenWelcome();
  std::string all;
  for (QLabel* label : welcome->findChildren<QLabel*>()) all += label->text().toStdString() + "\n";
  for (const char* text :
       {"Welcome to the Velomark Kit Composer!",
        "Kit Composer automates the process of producing a custom Lumenary installer.  You create CD or "
        "network-based installers, and you can include customization files in the installer by browsing to them "
        "from the Kit Composer screens.",
        "If you want, you can also use Kit Composer to bundle additional applications and plug-ins with your "
        "custom installer.",
        "Before you begin, you should prepare any customization files that you intend to use, such as:",
        "A local configuration file", "A bookmarks file", "An address book file", "A custom animation",
        "A custom Inbox and message", "Security database and certificate files", "A Read Me file and license file",
        "If you're ready to begin, select an existing installer configuration to edit or click Next to create a new "
        "one"}) {
    EXPECT_NE(all.find(std::string(text) + "\n"), std::string::npos) << text;
  }
  auto* picture = qobject_cast<QLabel*>(welcome->GetDlgItem(1000));
  ASSERT_NE(picture, nullptr);
  EXPECT_FALSE(picture->pixmap().isNull());
}

TEST_F(WelcomeDialog, NextWithoutBrowseStartsFromTheDefaultConfiguration) {
  WriteFile(kChoices, "[Global]\r\nPlatform=stale\r\n");
  OpenWelcome();
  CancelNextWizard();
  PressNext();
  ASSERT_EQ(choicesSeen.size(), 1u);
  EXPECT_EQ(choicesSeen[0], ReadFile("C:\\kit\\kitcomp\\default.dkb"));
  EXPECT_EQ(sheetCaption, "Type of Installer");
}

TEST_F(WelcomeDialog, BrowseAsksForAConfigurationAndNextStartsFromIt) {
  const std::string saved = MakeConfiguration("C:\\configs\\mine.kcm");
  OpenWelcome();
  prompts->AnswerFile("C:\\configs\\mine.kcm");
  Click(welcome.get(), IDC_BROWSE);
  const PromptRecord& asked = prompts->Requests().at(0);
  EXPECT_EQ(asked.kind, PromptRecord::Kind::FileDialog);
  EXPECT_TRUE(asked.open);
  EXPECT_EQ(asked.filter, "Kit Composer Makefile (*.kcm)|*.kcm||");
  EXPECT_EQ(asked.defaultExt, "kcm");
  EXPECT_EQ(asked.initialName, "*.kcm");
  EXPECT_EQ(asked.flags, fw::OFN_HIDEREADONLY | fw::OFN_OVERWRITEPROMPT | fw::OFN_NOCHANGEDIR);
  EXPECT_EQ(Field(), "C:\\configs\\mine.kcm");

  CancelNextWizard();
  PressNext();
  // A second Next without Browse starts from the same file again.
  WriteFile(kChoices, "[Global]\r\n");
  CancelNextWizard();
  PressNext();
  ASSERT_EQ(choicesSeen.size(), 2u);
  EXPECT_EQ(choicesSeen[0], saved);
  EXPECT_EQ(choicesSeen[1], saved);
}

TEST_F(WelcomeDialog, CancelledBrowseTakesWhatTheFieldShows) {
  const std::string saved = MakeConfiguration("C:\\configs\\typed.kcm");
  OpenWelcome();
  TypeText(welcome.get(), IDC_CONFIGURATION_PATH, "C:\\configs\\typed.kcm");
  prompts->CancelFile();
  Click(welcome.get(), IDC_BROWSE);
  EXPECT_EQ(welcome->ConfigurationPath(), "C:\\configs\\typed.kcm");
  CancelNextWizard();
  PressNext();
  EXPECT_EQ(choicesSeen.at(0), saved);
}

// Text typed into the field counts without Browse.
TEST_F(WelcomeDialog, NextTakesTypedText) {
  const std::string saved = MakeConfiguration("C:\\configs\\typed.kcm");
  OpenWelcome();
  TypeText(welcome.get(), IDC_CONFIGURATION_PATH, "C:\\configs\\typed.kcm");
  CancelNextWizard();
  PressNext();
  EXPECT_EQ(choicesSeen.at(0), saved);
}

TEST_F(WelcomeDialog, NextTakesATypedHostPathAsItsDrivePathOrRefusesIt) {
  const std::string saved = MakeConfiguration("C:\\configs\\typed.kcm");
  OpenWelcome();
  prompts->AnswerMessageBox();
  TypeText(welcome.get(), IDC_CONFIGURATION_PATH, "/no-such-folder-of-kitcomp/typed.kcm");
  PressNext();  // refused: no wizard runs
  ASSERT_EQ(prompts->Requests().size(), 1u);
  EXPECT_EQ(prompts->Requests()[0].caption, "Kit Composer");
  EXPECT_NE(prompts->Requests()[0].text.find("is on none of the drives in the drive table"), std::string::npos);
  TypeText(welcome.get(), IDC_CONFIGURATION_PATH, Host("C:\\configs\\typed.kcm"));
  CancelNextWizard();
  PressNext();
  EXPECT_EQ(Field(), "C:\\configs\\typed.kcm");
  EXPECT_EQ(choicesSeen.at(0), saved);
}

TEST_F(WelcomeDialog, OnlyTheExactNewConfigurationTextSelectsTheDefault) {
  // In other letter case the words name a file, which does not exist: the
  // copy fails and the choices file keeps what it held.
  const std::string previous = "[Global]\r\nPlatform=previous\r\n";
  WriteFile(kChoices, previous);
  OpenWelcome();
  TypeText(welcome.get(), IDC_CONFIGURATION_PATH, "new install configuration");
  CancelNextWizard();
  PressNext();
  EXPECT_EQ(choicesSeen.at(0), previous);

  TypeText(welcome.get(), IDC_CONFIGURATION_PATH, "New Install Configuration");
  CancelNextWizard();
  PressNext();
  EXPECT_EQ(choicesSeen.at(1), ReadFile("C:\\kit\\kitcomp\\default.dkb"));
}

TEST_F(WelcomeDialog, EveryNextCopiesTheSourceSetupIniAfresh) {
  OpenWelcome();
  CancelNextWizard();
  PressNext();
  const std::string source = ReadFile("C:\\kit\\source\\install\\setup.ini");
  EXPECT_EQ(ReadFile(kEngineSetup), source);
  WriteFile(kEngineSetup, "[Product Defaults]\r\nleft=over\r\n");
  CancelNextWizard();
  PressNext();
  EXPECT_EQ(ReadFile(kEngineSetup), source);
}

TEST_F(WelcomeDialog, CancelOnTheFirstPageLeavesTheDialogIdleWithTheCopiedConfiguration) {
  OpenWelcome();
  CancelNextWizard();
  PressNext();
  // No build: the scripted prompts would fail on an unexpected completion dialog.
  EXPECT_TRUE(welcome->isVisible());
  EXPECT_EQ(ReadFile(kChoices), ReadFile("C:\\kit\\kitcomp\\default.dkb"));
  EXPECT_EQ(prompts->Pending(), 0u);
}

TEST_F(WelcomeDialog, ReturnRunsNextAndEscapeCloses) {
  OpenWelcome();
  welcome->activateWindow();
  CancelNextWizard();
  PressKey(welcome.get(), Qt::Key_Return);
  EXPECT_EQ(choicesSeen.size(), 1u);
  EXPECT_TRUE(welcome->isVisible());
  PressKey(welcome.get(), Qt::Key_Escape);
  EXPECT_FALSE(welcome->isVisible());
}

// Return presses the focused button: Exit leaves and Browse browses, neither
// starts the wizard.
TEST_F(WelcomeDialog, ReturnOnAFocusedButtonPressesThatButton) {
  OpenWelcome();
  welcome->activateWindow();
  prompts->CancelFile();
  welcome->GetDlgItem(IDC_BROWSE)->setFocus(Qt::TabFocusReason);
  PressKey(welcome.get(), Qt::Key_Return);
  ASSERT_EQ(prompts->Requests().size(), 1u);
  EXPECT_EQ(prompts->Requests()[0].kind, PromptRecord::Kind::FileDialog);
  EXPECT_TRUE(welcome->isVisible());

  // Back in the field, Return is Next again.
  welcome->GetDlgItem(IDC_CONFIGURATION_PATH)->setFocus(Qt::TabFocusReason);
  CancelNextWizard();
  PressKey(welcome.get(), Qt::Key_Return);
  EXPECT_EQ(choicesSeen.size(), 1u);

  welcome->GetDlgItem(fw::IDCANCEL)->setFocus(Qt::TabFocusReason);
  PressKey(welcome.get(), Qt::Key_Return);
  EXPECT_FALSE(welcome->isVisible());
  EXPECT_EQ(choicesSeen.size(), 1u);
  EXPECT_EQ(prompts->Pending(), 0u);
}

// The welcome dialog is the program's main window: it runs its loop without
// being announced as modal (no owner waits for it), while the wizard over it
// is modal.
TEST_F(WelcomeDialog, TheMainWindowIsNotModalButTheWizardOverItIs) {
  fw::CWinApp program;
  welcome = std::make_unique<app::CWelcomeDlg>();
  program.m_pMainWnd = welcome.get();
  Qt::WindowModality welcomeModality = Qt::ApplicationModal;
  Qt::WindowModality sheetModality = Qt::NonModal;
  prompts->AnswerDialog([&](fw::CDialog& main) {
    welcomeModality = main.windowModality();
    prompts->AnswerDialog([&](fw::CDialog& sheet) {
      sheetModality = sheet.windowModality();
      return fw::IDCANCEL;
    });
    Click(&main, fw::IDOK);
    return fw::IDCANCEL;
  });
  EXPECT_EQ(welcome->DoModal(), fw::IDCANCEL);
  program.m_pMainWnd = nullptr;
  EXPECT_EQ(welcomeModality, Qt::NonModal);
  EXPECT_FALSE(welcome->isModal());
  EXPECT_EQ(sheetModality, Qt::ApplicationModal);
  EXPECT_EQ(prompts->Pending(), 0u);
}

TEST_F(WelcomeDialog, InstallRootTooLongIsRefusedWithAMessageAndTheDialogEnds) {
  const std::string longRoot = "C:\\" + std::string(250, 'k');
  config::WriteValue("C:\\kit\\kitcomp\\kitcomp.ini", config::kKitComposer, config::kInstalledPath, longRoot);
  prompts->AnswerMessageBox(fw::IDOK);
  welcome = std::make_unique<app::CWelcomeDlg>();
  EXPECT_EQ(welcome->RunModalLoop(), fw::IDCANCEL);
  EXPECT_TRUE(welcome->StartUpRefused());
  ASSERT_EQ(prompts->Requests().size(), 1u);
  EXPECT_EQ(prompts->Requests()[0].caption, "Kit Composer");
  EXPECT_EQ(prompts->Requests()[0].type, fw::MB_OK | fw::MB_ICONEXCLAMATION);
  EXPECT_FALSE(prompts->Requests()[0].text.empty());
  EXPECT_FALSE(welcome->isVisible());
}

TEST_F(WelcomeDialog, NextOnAKitInUseSaysByWhomAndChangesNothing) {
  OpenWelcome();
  WriteFile(kChoices, "[Global]\r\nPlatform=earlier\r\n");
  Result<platform::FileLock> other = engine::ReserveKit(welcome->Paths(), "kitcomp build");
  ASSERT_TRUE(other) << other.error();
  prompts->AnswerMessageBox(fw::IDOK);
  PressNext();
  ASSERT_EQ(prompts->Requests().size(), 1u) << "only the message, no wizard";
  EXPECT_EQ(prompts->Requests()[0].caption, "Kit Composer");
  EXPECT_EQ(prompts->Requests()[0].type, fw::MB_OK | fw::MB_ICONEXCLAMATION);
  EXPECT_EQ(prompts->Requests()[0].text, "The kit C:\\kit is in use by another build (process " +
                                             std::to_string(QCoreApplication::applicationPid()) +
                                             ", kitcomp build). Wait until that build has finished, then start again.");
  EXPECT_EQ(ReadFile(kChoices), "[Global]\r\nPlatform=earlier\r\n");
  EXPECT_TRUE(welcome->isVisible());

  // Once that build is over, Next runs.
  other.value().Release();
  CancelNextWizard();
  PressNext();
  EXPECT_EQ(choicesSeen.size(), 1u);
}

}  // namespace
}  // namespace kc::test
