#include "app/gui/complete_dlg.h"

#include <QHeaderView>
#include <QTreeWidget>

#include "dialogs/dlg155_complete_ids.h"

namespace kc::app {

using namespace dlg155_complete;

namespace {

constexpr const char* kSuccessCaption = "Installation Creation Complete";
constexpr const char* kSuccessHeadline = "Your installation creation is complete.";
constexpr const char* kFailureCaption = "Installation Creation Incomplete";
constexpr const char* kNextSteps = "You can create another installation or exit Kit Composer";

std::string FailureHeadline(std::size_t count) {
  return count == 1 ? "Your installation creation did not complete: 1 step failed."
                    : "Your installation creation did not complete: " + std::to_string(count) + " steps failed.";
}

}  // namespace

CCompleteDlg::CCompleteDlg(QWidget* parent) : CDialog(IDD, parent) {
  ui.setupUi(this);
  auto* list = qobject_cast<QTreeWidget*>(GetDlgItem(IDC_FAILURES));
  list->setHeaderLabels({QStringLiteral("Step"), QStringLiteral("File"), QStringLiteral("Reason")});
  list->header()->setStretchLastSection(true);
}

void CCompleteDlg::ShowReport(const engine::BuildReport& report) {
  auto* list = qobject_cast<QTreeWidget*>(GetDlgItem(IDC_FAILURES));
  list->clear();
  if (report.ok()) {
    setWindowTitle(QString::fromUtf8(kSuccessCaption));
    SetDlgItemText(IDC_HEADLINE, kSuccessHeadline);
    SetDlgItemText(IDC_NEXT_STEPS, kNextSteps);
    list->hide();
    return;
  }
  setWindowTitle(QString::fromUtf8(kFailureCaption));
  SetDlgItemText(IDC_HEADLINE, FailureHeadline(report.failures().size()));
  SetDlgItemText(IDC_NEXT_STEPS,
                 "The images may be incomplete. Mend what the list names and create the installation again, or exit "
                 "Kit Composer.");
  for (const engine::Failure& f : report.failures()) {
    auto* item = new QTreeWidgetItem(
        list, {QString::fromStdString(f.step), QString::fromStdString(f.file), QString::fromStdString(f.reason)});
    item->setToolTip(1, item->text(1));
    item->setToolTip(2, item->text(2));
  }
  for (int column = 0; column < 2; ++column) list->resizeColumnToContents(column);
  list->show();
  resize(qMax(width(), 720), qMax(height(), 360));
}

}  // namespace kc::app
