// A full run from the welcome dialog: Next, the wizard's pages with Next to
// Finish, the build with its progress dialog, and the completion dialog;
// afterwards the welcome dialog is idle again and the images are on disk.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCursor>
#include <QEvent>
#include <QTreeWidget>
#include <filesystem>

#include "app/gui/complete_dlg.h"
#include "app/gui/progress_dlg.h"
#include "app_fixture.h"
#include "config/keys.h"
#include "config/profile_access.h"
#include "dialogs/dlg102_welcome_ids.h"
#include "dialogs/dlg146_progress_ids.h"
#include "dialogs/dlg155_complete_ids.h"
#include "engine/kit_lock.h"
#include "framework/property_sheet.h"
#include "framework/win_defs.h"
#include "support/gui_driver.h"

namespace kc::test {
namespace {

constexpr const char* kChoices = "C:\\kit\\kitcomp\\choices.tmp";

struct CompletionSeen {
  bool shown = false;
  std::string caption;
  std::string headline;
  int failureRows = 0;
  std::string firstFailure;
  std::string failures;  // every row, for the failure message
  bool progressOpen = false;
  std::string progressText;
  bool kitFree = false;  // another run could take the kit
};

class RunDriver : public AppTest {
 protected:
  // Scripts the wizard: Next on every page up to the last, then Finish.
  void FinishNextWizard() {
    prompts->AnswerDialog([this](fw::CDialog& dialog) {
      auto& sheet = static_cast<fw::CPropertySheet&>(dialog);
      pageCount = sheet.GetPageCount();
      for (int i = 1; i < pageCount; ++i) Click(&sheet, fw::ID_WIZNEXT);
      lastPage = sheet.GetActiveIndex();
      kitHeldInWizard = !engine::ReserveKit(welcome->Paths(), "another run");
      Click(&sheet, fw::ID_WIZFINISH);
      return fw::IDCANCEL;  // only reached when Finish was refused
    });
  }
  void ExpectCompletion() {
    prompts->AnswerDialog([this](fw::CDialog& dialog) {
      seen.shown = true;
      seen.kitFree = engine::ReserveKit(welcome->Paths(), "another run").ok();
      seen.caption = dialog.windowTitle().toStdString();
      seen.headline = dialog.GetDlgItemText(dlg155_complete::IDC_HEADLINE);
      auto* list = qobject_cast<QTreeWidget*>(dialog.GetDlgItem(dlg155_complete::IDC_FAILURES));
      seen.failureRows = list->isVisibleTo(&dialog) ? list->topLevelItemCount() : 0;
      if (seen.failureRows > 0) seen.firstFailure = list->topLevelItem(0)->text(0).toStdString();
      for (int i = 0; i < seen.failureRows; ++i) {
        const QTreeWidgetItem* row = list->topLevelItem(i);
        seen.failures += (row->text(0) + " | " + row->text(1) + " | " + row->text(2) + "\n").toStdString();
      }
      for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* progress = qobject_cast<app::CProgressDlg*>(w); progress && progress->isVisible()) {
          seen.progressOpen = true;
          seen.progressText = progress->GetDlgItemText(dlg146_progress::IDC_STATUS_TEXT);
        }
      }
      return fw::IDOK;
    });
  }
  bool ProgressDialogLeft() const {
    for (QWidget* w : QApplication::topLevelWidgets())
      if (qobject_cast<app::CProgressDlg*>(w)) return true;
    return false;
  }

  int pageCount = 0;
  int lastPage = -1;
  bool kitHeldInWizard = false;
  CompletionSeen seen;
};

TEST_F(RunDriver, FinishBuildsTheImagesShowsCompletionAndLeavesTheWelcomeDialogIdle) {
  MakeConfiguration("C:\\configs\\run.kcm", "C:\\out");
  OpenWelcome();
  TypeText(welcome.get(), dlg102_welcome::IDC_CONFIGURATION_PATH, "C:\\configs\\run.kcm");
  FinishNextWizard();
  ExpectCompletion();
  PressNext();

  EXPECT_EQ(lastPage, pageCount - 1);
  ASSERT_TRUE(seen.shown) << "the wizard did not end with Finish";
  EXPECT_EQ(seen.caption, "Installation Creation Complete");
  EXPECT_EQ(seen.headline, "Your installation creation is complete.") << seen.failures;
  EXPECT_EQ(seen.failureRows, 0);
  // The run holds the kit from Next to its last image, not while the user reads.
  EXPECT_TRUE(kitHeldInWizard);
  EXPECT_TRUE(seen.kitFree);
  // The progress dialog is still up under the completion dialog, showing the last stage.
  EXPECT_TRUE(seen.progressOpen);
  EXPECT_EQ(seen.progressText.rfind("Creating", 0), 0u) << seen.progressText;
  // Afterwards only the welcome dialog is left.
  EXPECT_FALSE(ProgressDialogLeft());
  EXPECT_TRUE(welcome->isVisible());
  EXPECT_TRUE(Exists("C:\\out\\CD"));
  EXPECT_EQ(config::ReadValue(kChoices, config::kChoices32, config::kOutputPath), "C:\\out");
}

TEST_F(RunDriver, ABuildWithFailuresListsThemInsteadOfAnnouncingSuccess) {
  // The configuration names a main module whose archive is missing from the kit.
  MakeConfiguration("C:\\configs\\broken.kcm", "C:\\out");
  std::filesystem::remove(Host("C:\\kit\\source\\modules\\lume.z"));
  for (const auto& entry : std::filesystem::directory_iterator(Host("C:\\kit\\source\\modules"))) {
    if (entry.path().extension() == ".z") std::filesystem::remove(entry.path());
  }
  OpenWelcome();
  TypeText(welcome.get(), dlg102_welcome::IDC_CONFIGURATION_PATH, "C:\\configs\\broken.kcm");
  FinishNextWizard();
  ExpectCompletion();
  PressNext();

  ASSERT_TRUE(seen.shown);
  EXPECT_NE(seen.headline, "Your installation creation is complete.");
  EXPECT_NE(seen.caption, "Installation Creation Complete");
  EXPECT_GT(seen.failureRows, 0);
  EXPECT_FALSE(seen.firstFailure.empty());
  EXPECT_TRUE(welcome->isVisible());
}

TEST_F(RunDriver, ASecondRunStartsFreshAfterAFinishedOne) {
  MakeConfiguration("C:\\configs\\run.kcm", "C:\\out");
  OpenWelcome();
  TypeText(welcome.get(), dlg102_welcome::IDC_CONFIGURATION_PATH, "C:\\configs\\run.kcm");
  FinishNextWizard();
  ExpectCompletion();
  PressNext();
  ASSERT_TRUE(seen.shown);
  // The finished run wrote the installer settings into the engine setup.ini;
  // the next Next replaces it with the source's again.
  std::string seenEngine;
  prompts->AnswerDialog([&](fw::CDialog&) {
    seenEngine = ReadFile("C:\\kit\\custom\\engine\\setup.ini");
    return fw::IDCANCEL;
  });
  PressNext();
  EXPECT_EQ(seenEngine, ReadFile("C:\\kit\\source\\install\\setup.ini"));
}

// Notes the application's cursor at the moment the progress dialog appears.
class ProgressShowWatch : public QObject {
 public:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Show && qobject_cast<app::CProgressDlg*>(watched)) {
      shown = true;
      cursor = QApplication::overrideCursor() ? QApplication::overrideCursor()->shape() : Qt::ArrowCursor;
      overridden = QApplication::overrideCursor() != nullptr;
    }
    return false;
  }
  bool shown = false;
  bool overridden = false;
  Qt::CursorShape cursor = Qt::ArrowCursor;
};

TEST_F(RunDriver, TheBuildRunsUnderTheWaitCursorWhichEndsWithTheProgressDialog) {
  MakeConfiguration("C:\\configs\\run.kcm", "C:\\out");
  OpenWelcome();
  TypeText(welcome.get(), dlg102_welcome::IDC_CONFIGURATION_PATH, "C:\\configs\\run.kcm");
  FinishNextWizard();
  bool completionOverridden = false;
  Qt::CursorShape completionCursor = Qt::WaitCursor;
  prompts->AnswerDialog([&](fw::CDialog&) {
    completionOverridden = QApplication::overrideCursor() != nullptr;
    if (completionOverridden) completionCursor = QApplication::overrideCursor()->shape();
    return fw::IDOK;
  });
  ProgressShowWatch watch;
  qApp->installEventFilter(&watch);
  PressNext();
  qApp->removeEventFilter(&watch);

  ASSERT_TRUE(watch.shown);
  EXPECT_TRUE(watch.overridden);
  EXPECT_EQ(watch.cursor, Qt::WaitCursor);
  // Over the completion dialog the pointer is the ordinary one.
  EXPECT_TRUE(completionOverridden);
  EXPECT_EQ(completionCursor, Qt::ArrowCursor);
  // Once the run is over nothing is left overriding the pointer.
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  EXPECT_FALSE(ProgressDialogLeft());
}

}  // namespace
}  // namespace kc::test
