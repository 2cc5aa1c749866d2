// The progress dialog as the build drives it, and the completion dialog's
// two outcomes.
#include <gtest/gtest.h>

#include <QDialog>
#include <QProgressBar>
#include <QTreeWidget>

#include "app/gui/complete_dlg.h"
#include "app/gui/progress_dlg.h"
#include "dialogs/dlg146_progress_ids.h"
#include "dialogs/dlg155_complete_ids.h"
#include "framework/win_defs.h"
#include "support/gui_driver.h"

namespace kc::test {
namespace {

using app::CCompleteDlg;
using app::CProgressDlg;

QProgressBar* Bar(CProgressDlg& d) {
  return qobject_cast<QProgressBar*>(d.GetDlgItem(dlg146_progress::IDC_PROGRESS_BAR));
}

TEST(ProgressDialog, StartsWithAnEmptyTextAndAnEmptyBar) {
  CProgressDlg dialog;
  ASSERT_TRUE(dialog.Create());
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_EQ(dialog.windowTitle().toStdString(), "Creating Installation");
  EXPECT_EQ(dialog.GetDlgItemText(dlg146_progress::IDC_STATUS_TEXT), "");
  EXPECT_EQ(Bar(dialog)->value(), 0);
}

TEST(ProgressDialog, FollowsTheStageProtocol) {
  CProgressDlg dialog;
  dialog.Create();
  // A stage: position 0, text, range, step 1, then one step per unit of work.
  dialog.SetPos(0);
  dialog.SetStatusText("Creating CD image");
  dialog.SetRange(0, 4);
  dialog.SetStep(1);
  dialog.StepIt();
  dialog.StepIt();
  dialog.StepIt();
  dialog.UpdateWindow();
  EXPECT_EQ(dialog.GetDlgItemText(dlg146_progress::IDC_STATUS_TEXT), "Creating CD image");
  EXPECT_EQ(Bar(dialog)->minimum(), 0);
  EXPECT_EQ(Bar(dialog)->maximum(), 4);
  EXPECT_EQ(Bar(dialog)->value(), 3);
  // The next stage replaces text and bar.
  dialog.SetPos(0);
  dialog.SetStatusText("Creating Network image");
  dialog.SetRange(0, 2);
  EXPECT_EQ(dialog.GetDlgItemText(dlg146_progress::IDC_STATUS_TEXT), "Creating Network image");
  EXPECT_EQ(Bar(dialog)->value(), 0);
  EXPECT_EQ(Bar(dialog)->maximum(), 2);
}

// Template 146: a pop-up with a title bar, no system menu and no buttons,
// beside its parent and not modal to it.
TEST(ProgressDialog, HasATitleBarWithoutSystemMenuOrButtonsAndIsNotModal) {
  QDialog parent;
  parent.show();
  CProgressDlg dialog(&parent);
  ASSERT_TRUE(dialog.Create(&parent));
  const Qt::WindowFlags flags = dialog.windowFlags();
  EXPECT_EQ(flags & Qt::WindowType_Mask, Qt::Dialog);
  EXPECT_TRUE(flags.testFlag(Qt::WindowTitleHint));
  EXPECT_TRUE(flags.testFlag(Qt::CustomizeWindowHint)) << "without it Qt adds the default buttons";
  for (Qt::WindowType none : {Qt::WindowSystemMenuHint, Qt::WindowMinimizeButtonHint, Qt::WindowMaximizeButtonHint,
                              Qt::WindowCloseButtonHint, Qt::WindowContextHelpButtonHint}) {
    EXPECT_FALSE(flags.testFlag(none)) << std::hex << none;
  }
  EXPECT_EQ(dialog.windowModality(), Qt::NonModal);
  EXPECT_EQ(dialog.parentWidget(), &parent);
}

TEST(ProgressDialog, CannotBeClosedByTheUser) {
  CProgressDlg dialog;
  dialog.Create();
  dialog.activateWindow();
  PressKey(&dialog, Qt::Key_Escape);
  dialog.close();  // the close box
  EXPECT_TRUE(dialog.isVisible());
}

TEST(CompletionDialog, AnnouncesSuccessOnlyWhenNothingFailed) {
  CCompleteDlg dialog;
  dialog.ShowReport(engine::BuildReport{});
  EXPECT_EQ(dialog.windowTitle().toStdString(), "Installation Creation Complete");
  EXPECT_EQ(dialog.GetDlgItemText(dlg155_complete::IDC_HEADLINE), "Your installation creation is complete.");
  EXPECT_EQ(dialog.GetDlgItemText(dlg155_complete::IDC_NEXT_STEPS),
            "You can create another installation or exit Kit Composer");
  EXPECT_FALSE(dialog.GetDlgItem(dlg155_complete::IDC_FAILURES)->isVisibleTo(&dialog));
}

TEST(CompletionDialog, ListsEveryFailureWithStepFileAndReason) {
  engine::BuildReport report;
  report.AddFailure("Copying the module archive", "C:\\kit\\source\\modules\\lume.z", "The file does not exist.");
  report.AddFailure("Running pkgindex.exe", "", "The program could not be started.");
  CCompleteDlg dialog;
  dialog.ShowReport(report);
  EXPECT_NE(dialog.windowTitle().toStdString(), "Installation Creation Complete");
  EXPECT_EQ(dialog.GetDlgItemText(dlg155_complete::IDC_HEADLINE),
            "Your installation creation did not complete: 2 steps failed.");
  auto* list = qobject_cast<QTreeWidget*>(dialog.GetDlgItem(dlg155_complete::IDC_FAILURES));
  ASSERT_TRUE(list->isVisibleTo(&dialog));
  ASSERT_EQ(list->topLevelItemCount(), 2);
  EXPECT_EQ(list->topLevelItem(0)->text(0).toStdString(), "Copying the module archive");
  EXPECT_EQ(list->topLevelItem(0)->text(1).toStdString(), "C:\\kit\\source\\modules\\lume.z");
  EXPECT_EQ(list->topLevelItem(0)->text(2).toStdString(), "The file does not exist.");
  EXPECT_EQ(list->topLevelItem(1)->text(0).toStdString(), "Running pkgindex.exe");
}

TEST(CompletionDialog, ASuccessAfterAFailureHidesTheOldList) {
  engine::BuildReport failed;
  failed.AddFailure("Step", "File", "Reason");
  CCompleteDlg dialog;
  dialog.ShowReport(failed);
  dialog.ShowReport(engine::BuildReport{});
  EXPECT_EQ(dialog.GetDlgItemText(dlg155_complete::IDC_HEADLINE), "Your installation creation is complete.");
  EXPECT_FALSE(dialog.GetDlgItem(dlg155_complete::IDC_FAILURES)->isVisibleTo(&dialog));
}

}  // namespace
}  // namespace kc::test
