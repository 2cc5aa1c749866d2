// What a screen reader finds on every window of the desktop program: each
// input control has a name, and no two controls of one window share a name
// (two "Browse" buttons must say which field they serve).
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMap>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTextEdit>
#include <QVBoxLayout>
#include <functional>
#include <memory>

#include "app/gui/complete_dlg.h"
#include "app/gui/progress_dlg.h"
#include "app/startup.h"
#include "app_fixture.h"
#include "browse/browse_path_dlg.h"
#include "config/run_paths.h"
#include "engine/build_report.h"
#include "wizard/page_list.h"
#include "wizard/prop_sheet.h"

namespace kc::test {
namespace {

bool IsInputControl(const QWidget* w) {
  return qobject_cast<const QLineEdit*>(w) || qobject_cast<const QComboBox*>(w) ||
         qobject_cast<const QAbstractItemView*>(w) || qobject_cast<const QAbstractButton*>(w) ||
         qobject_cast<const QProgressBar*>(w) || qobject_cast<const QAbstractSpinBox*>(w) ||
         qobject_cast<const QTextEdit*>(w) || qobject_cast<const QPlainTextEdit*>(w);
}

// A control's own parts (a combo box's list, a tree's header) are not met on their own.
bool InsideInputControl(const QWidget* w, const QWidget* window) {
  for (const QWidget* p = w->parentWidget(); p && p != window; p = p->parentWidget()) {
    if (IsInputControl(p)) return true;
  }
  return false;
}

QString AccessibleName(QWidget* w) {
  QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w);
  if (!iface) return {};
  // On Linux a combo box's name is its current entry; its label reaches the
  // screen reader as the "labelled by" relation, which only a buddy gives.
  if (qobject_cast<QComboBox*>(w)) {
    for (const auto& [label, relation] : iface->relations(QAccessible::Label)) {
      const QString text = label->text(QAccessible::Name).trimmed();
      if (!text.isEmpty()) return text;
    }
    return {};
  }
  return iface->text(QAccessible::Name).trimmed();
}

// One line per unnamed control and per name that two controls share, among
// the controls a user can reach (those shown).
std::vector<std::string> NamingProblems(QWidget* window) {
  std::vector<std::string> problems;
  QMap<QString, QString> owners;  // name -> the control that has it
  for (QWidget* w : window->findChildren<QWidget*>()) {
    if (!IsInputControl(w) || !w->isVisibleTo(window) || InsideInputControl(w, window)) continue;
    const QString control = w->objectName() + " (" + w->metaObject()->className() + ")";
    const QString name = AccessibleName(w);
    if (name.isEmpty()) {
      problems.push_back((control + " has no accessible name").toStdString());
    } else if (owners.contains(name)) {
      problems.push_back((control + " and " + owners[name] + " are both named \"" + name + "\"").toStdString());
    } else {
      owners.insert(name, control);
    }
  }
  return problems;
}

std::string Lines(const std::vector<std::string>& lines) {
  std::string all;
  for (const std::string& line : lines) all += "  " + line + "\n";
  return all;
}

// The checker itself: each kind of fault it must see, on a window made for it.
TEST(AccessibleNaming, FindsEachKindOfFault) {
  struct Row {
    const char* why;
    std::function<void(QVBoxLayout*)> build;
    std::size_t problems;
  };
  auto add = [](QVBoxLayout* l, QWidget* w, const char* id) {
    w->setObjectName(id);
    l->addWidget(w);
    return w;
  };
  const Row rows[] = {
      {"a text field with a buddy label is named",
       [&](QVBoxLayout* l) {
         auto* label = new QLabel("Output path:");
         l->addWidget(label);
         label->setBuddy(add(l, new QLineEdit, "edit"));
       },
       0},
      {"a text field without a label is not", [&](QVBoxLayout* l) { add(l, new QLineEdit, "edit"); }, 1},
      {"Qt's list interface ignores a buddy label: a list needs an explicit name",
       [&](QVBoxLayout* l) {
         auto* label = new QLabel("Available Components:");
         l->addWidget(label);
         label->setBuddy(add(l, new QListWidget, "list"));
       },
       1},
      {"a combo box's explicit name is not read on Linux: it needs a buddy",
       [&](QVBoxLayout* l) {
         auto* combo = new QComboBox;
         combo->addItem("[-c-]");
         combo->setAccessibleName("Drives");
         add(l, combo, "combo");
       },
       1},
      {"two buttons with one text on one window",
       [&](QVBoxLayout* l) {
         add(l, new QPushButton("Browse"), "browse1");
         add(l, new QPushButton("Browse"), "browse2");
       },
       1},
      {"a hidden control is not met", [&](QVBoxLayout* l) { add(l, new QLineEdit, "edit")->hide(); }, 0},
  };
  for (const Row& row : rows) {
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    row.build(layout);
    window.show();
    const std::vector<std::string> problems = NamingProblems(&window);
    EXPECT_EQ(problems.size(), row.problems) << row.why << "\n" << Lines(problems);
  }
}

class AccessibleNames : public AppTest {};

// Every dialog and every wizard page of the program, on the sample kit.
TEST_F(AccessibleNames, EveryWindowNamesEachControlOnce) {
  struct Row {
    std::string window;
    std::function<std::unique_ptr<QWidget>()> open;
  };
  OpenWelcome();
  const Result<config::RunPaths> made = config::MakeRunPaths(kInstallRoot);
  ASSERT_TRUE(made.ok());
  const config::RunPaths paths = made.value();
  ASSERT_TRUE(app::RefreshWorkingFiles(paths, paths.defaultConfig));

  std::vector<Row> rows;
  rows.push_back({"the welcome dialog", [] { return std::unique_ptr<QWidget>(); }});
  rows.push_back({"the progress dialog", [] {
                    auto dialog = std::make_unique<app::CProgressDlg>();
                    dialog->EnsureInitialized();
                    return std::unique_ptr<QWidget>(std::move(dialog));
                  }});
  rows.push_back({"the completion dialog listing failed steps", [] {
                    auto dialog = std::make_unique<app::CCompleteDlg>();
                    engine::BuildReport report;
                    report.AddFailure("Running squash.exe", "C:\\kit\\custom\\tempmod\\lume.z", "Exit status 1.");
                    dialog->ShowReport(report);
                    dialog->EnsureInitialized();
                    return std::unique_ptr<QWidget>(std::move(dialog));
                  }});
  rows.push_back({"the Browse Path dialog", [] {
                    auto dialog = std::make_unique<browse::CBrowsePathDlg>();
                    dialog->m_path = std::string(kInstallRoot) + "\\source";
                    dialog->EnsureInitialized();
                    return std::unique_ptr<QWidget>(std::move(dialog));
                  }});
  // The sheet holds the pages; each row keeps them alive beside it.
  std::vector<wizard::PageList> pageLists;
  const std::size_t pageCount = wizard::MakeWizardPages(paths).size();
  ASSERT_EQ(pageCount, 9u);
  pageLists.reserve(pageCount);
  for (std::size_t i = 0; i < pageCount; ++i) {
    rows.push_back({"wizard page " + std::to_string(i + 1), [&pageLists, paths, i] {
                      pageLists.push_back(wizard::MakeWizardPages(paths));
                      auto sheet = std::make_unique<wizard::CPropSheet>(nullptr, static_cast<int>(i));
                      for (auto& page : pageLists.back()) sheet->AddPage(page.get());
                      sheet->SetWizardMode();
                      sheet->EnsureInitialized();
                      return std::unique_ptr<QWidget>(std::move(sheet));
                    }});
  }

  for (const Row& row : rows) {
    std::unique_ptr<QWidget> opened = row.open();
    QWidget* window = opened ? opened.get() : welcome.get();
    window->show();
    const std::vector<std::string> problems = NamingProblems(window);
    EXPECT_TRUE(problems.empty()) << row.window << " (" << window->windowTitle().toStdString() << "):\n"
                                  << Lines(problems);
    window->hide();
  }
}

}  // namespace
}  // namespace kc::test
