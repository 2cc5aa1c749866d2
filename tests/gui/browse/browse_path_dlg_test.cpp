// The Browse Path dialog on drives c:, d: and the floppy a:, each a temporary
// folder: the chain it opens on, double clicks, drive changes, the floppy
// refusal, what OK returns, the current directory it leaves and its log.
#include "browse/browse_path_dlg.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "dialogs/dlg141_browsepath_ids.h"
#include "framework/win_defs.h"
#include "platform/drives.h"
#include "platform/files.h"
#include "support/gui_driver.h"
#include "support/row_names.h"
#include "support/scripted_prompts.h"

namespace kc::test {
namespace {

using namespace kc::dlg141_browsepath;

using browse::CBrowsePathDlg;
using Names = std::vector<std::string>;

class BrowsePathTest : public ::testing::Test {
 protected:
  void SetUp() override {
    savedCwd = std::filesystem::current_path();
    root = std::filesystem::path(tmp.path().toStdString());
    for (const char* d : {"c", "d", "a"}) std::filesystem::create_directories(root / d);
    for (const char* f : {"d/out/b", "d/out/a/deep", "d/out/C", "d/out/.hidden", "d/other", "c/kits"}) {
      std::filesystem::create_directories(root / f);
    }
    std::ofstream(root / "d/out/file.txt") << "x";
    std::ofstream(root / "d/out/a/only.txt") << "x";
    win::DriveTable::Set({{"C:", (root / "c").string()}, {"D:", (root / "d").string()}, {"A:", (root / "a").string()}});
    // The log goes to the current directory as the dialog opens.
    ASSERT_TRUE(win::SetCurrentDirectoryA("C:\\kits"));
  }
  void TearDown() override {
    dlg.reset();
    std::filesystem::current_path(savedCwd);
    win::DriveTable::Reload();
  }

  void Open(const std::string& start) {
    dlg = std::make_unique<CBrowsePathDlg>();
    dlg->m_path = start;
    dlg->EnsureInitialized();
    dlg->show();
  }
  QTreeWidget* Tree() { return static_cast<QTreeWidget*>(dlg->GetDlgItem(IDC_FOLDER_TREE)); }
  QComboBox* Drives() { return static_cast<QComboBox*>(dlg->GetDlgItem(IDC_DRIVES)); }
  std::string Shown() { return dlg->GetDlgItemText(IDC_PATH_SHOWN); }
  // The tree as "root > child > ..." for the chain, then the listed folders.
  Names Children(QTreeWidgetItem* item) {
    Names names;
    for (int i = 0; i < item->childCount(); ++i) names.push_back(item->child(i)->text(0).toStdString());
    return names;
  }
  QTreeWidgetItem* Find(const std::string& name) {
    auto found = Tree()->findItems(QString::fromStdString(name), Qt::MatchExactly | Qt::MatchRecursive);
    return found.isEmpty() ? nullptr : found.first();
  }
  std::string CurrentDirectory() {
    char buffer[win::MAX_PATH] = {};
    win::GetCurrentDirectoryA(win::MAX_PATH, buffer);
    return buffer;
  }
  std::string Log(const std::filesystem::path& where) {
    std::ifstream in(where / "debug.out", std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }

  QTemporaryDir tmp;
  std::filesystem::path root;
  std::filesystem::path savedCwd;
  ScriptedPrompts prompts;
  std::unique_ptr<CBrowsePathDlg> dlg;
};

TEST_F(BrowsePathTest, OpensOnTheChainToTheStartFolderWithItsSubfoldersSorted) {
  Open("d:\\out");
  ASSERT_EQ(Tree()->topLevelItemCount(), 1);
  QTreeWidgetItem* driveRoot = Tree()->topLevelItem(0);
  EXPECT_EQ(driveRoot->text(0).toStdString(), "d:\\");
  ASSERT_EQ(Children(driveRoot), Names{"out"});
  QTreeWidgetItem* out = driveRoot->child(0);
  EXPECT_TRUE(driveRoot->isExpanded());
  EXPECT_TRUE(out->isExpanded());
  // Hidden folders are listed, plain files never; sorted without regard to case.
  EXPECT_EQ(Children(out), (Names{".hidden", "a", "b", "C"}));
  EXPECT_EQ(Shown(), "d:\\out");
  EXPECT_EQ(CurrentDirectory(), "D:\\out");
}

TEST_F(BrowsePathTest, ShowsItsCaptionLabelsAndButtons) {
  Open("d:\\out");
  EXPECT_EQ(dlg->windowTitle().toStdString(), "Browse Path");
  Names labels;
  for (const QLabel* label : dlg->findChildren<QLabel*>()) labels.push_back(label->text().toStdString());
  for (const char* text : {"Path:", "Directories:", "Drives:"}) {
    EXPECT_NE(std::find(labels.begin(), labels.end(), text), labels.end()) << text;
  }
  EXPECT_EQ(dlg->GetDlgItemText(fw::IDOK), "OK");
  EXPECT_EQ(dlg->GetDlgItemText(fw::IDCANCEL), "Cancel");
}

TEST_F(BrowsePathTest, ListsEveryDriveWithFloppiesAndSelectsTheStartDrive) {
  Open("d:\\out");
  Names entries;
  for (int i = 0; i < Drives()->count(); ++i) entries.push_back(Drives()->itemText(i).toStdString());
  EXPECT_EQ(entries, (Names{"[-a-]", "[-c-]", "[-d-]"}));
  EXPECT_EQ(Drives()->currentText().toStdString(), "[-d-]");
  EXPECT_EQ(dlg->m_drive, "[-d-]");
}

TEST_F(BrowsePathTest, WritesItsLogIntoTheDirectoryCurrentWhenItOpens) {
  Open("d:\\out");
  const std::string log = Log(root / "c/kits");
  const std::regex shape(
      "InitDialog: this is the root item\\.\r\n\r\n"
      "(The handle returned was: [0-9]+ for: \r\n(\\.hidden|a|b|C)\r\n){4}");
  EXPECT_TRUE(std::regex_match(log, shape)) << log;
  EXPECT_NE(log.find("for: \r\nb\r\n"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(root / "d/out/debug.out"));
}

struct StartCase {
  const char* start;
  const char* shown;
  Names chain;  // root, then each level
};

class StartFolderTest : public BrowsePathTest, public ::testing::WithParamInterface<StartCase> {};

TEST_P(StartFolderTest, FallsBackToTheDriveRootThenToC) {
  Open(GetParam().start);
  EXPECT_EQ(Shown(), GetParam().shown);
  // The chain's items from the root down, as far as the case names them.
  Names chain;
  QTreeWidgetItem* item = Tree()->topLevelItem(0);
  for (std::size_t i = 0; i < GetParam().chain.size() && item != nullptr; ++i) {
    chain.push_back(item->text(0).toStdString());
    item = item->childCount() > 0 ? item->child(0) : nullptr;
  }
  EXPECT_EQ(chain, GetParam().chain);
  EXPECT_EQ(Tree()->topLevelItemCount(), 1);
}

INSTANTIATE_TEST_SUITE_P(Starts, StartFolderTest,
                         ::testing::Values(StartCase{"", "c:\\", {"c:\\", "kits"}},
                                           StartCase{"d:\\missing\\x", "d:\\", {"d:\\"}},
                                           StartCase{"q:\\nowhere", "c:\\", {"c:\\"}},
                                           StartCase{"d:\\\\out", "d:\\\\out", {"d:\\", "out"}},
                                           StartCase{"d:/out/", "d:\\out\\", {"d:\\", "out"}},
                                           StartCase{"\\kits", "C:\\kits", {"C:\\", "kits"}}));

TEST_F(BrowsePathTest, AnEmptyStartOpensOnCWithItsFoldersListed) {
  Open("");
  ASSERT_EQ(Tree()->topLevelItemCount(), 1);
  EXPECT_EQ(Tree()->topLevelItem(0)->text(0).toStdString(), "c:\\");
  EXPECT_EQ(Children(Tree()->topLevelItem(0)), Names{"kits"});
}

TEST_F(BrowsePathTest, DoubleClickingASubfolderDropsItsSiblingsAndListsItsOwn) {
  Open("d:\\out");
  DoubleClickTreeItem(dlg.get(), IDC_FOLDER_TREE, Find("a"));
  QTreeWidgetItem* out = Find("out");
  EXPECT_EQ(Children(out), Names{"a"});
  EXPECT_EQ(Children(Find("a")), Names{"deep"});
  EXPECT_EQ(Shown(), "d:\\out\\a");
  // A folder holding only files shows nothing below it.
  DoubleClickTreeItem(dlg.get(), IDC_FOLDER_TREE, Find("deep"));
  EXPECT_EQ(Shown(), "d:\\out\\a\\deep");
  EXPECT_TRUE(Children(Find("deep")).empty());
}

TEST_F(BrowsePathTest, DoubleClickingAnAncestorCutsTheChainAndRelistsIt) {
  Open("d:\\out");
  DoubleClickTreeItem(dlg.get(), IDC_FOLDER_TREE, Find("a"));
  DoubleClickTreeItem(dlg.get(), IDC_FOLDER_TREE, Tree()->topLevelItem(0));
  EXPECT_EQ(Shown(), "d:\\");
  EXPECT_EQ(Children(Tree()->topLevelItem(0)), (Names{"other", "out"}));
  EXPECT_EQ(Find("a"), nullptr);
}

// After a double click the folder is on view opened on its fresh subfolders,
// also when it was open already (the current folder, an ancestor, the root).
struct OpenCase {
  const char* start;
  std::vector<const char*> clicks;  // item texts, double-clicked in turn
  Names listed;                     // the last one's subfolders, all on view
  const char* shown;                // the path display afterwards
  const char* why;
};

class DoubleClickOpens : public BrowsePathTest, public ::testing::WithParamInterface<OpenCase> {};

TEST_P(DoubleClickOpens, TheFolderShowsItsSubfolders) {
  const OpenCase& c = GetParam();
  Open(c.start);
  std::filesystem::create_directories(root / "d/out/new");  // made while the dialog is open
  for (const char* name : c.clicks) DoubleClickTreeItem(dlg.get(), IDC_FOLDER_TREE, Find(name));
  QTreeWidgetItem* folder = Find(c.clicks.back());
  ASSERT_NE(folder, nullptr) << c.why;
  EXPECT_TRUE(folder->isExpanded()) << c.why;
  EXPECT_EQ(Children(folder), c.listed) << c.why;
  EXPECT_EQ(Shown(), c.shown) << c.why;
  for (int i = 0; i < folder->childCount(); ++i) {
    EXPECT_TRUE(Tree()->visualItemRect(folder->child(i)).isValid()) << c.why << ": not on view";
  }
}

INSTANTIATE_TEST_SUITE_P(
    Clicks, DoubleClickOpens,
    ::testing::Values(
        OpenCase{"d:\\out", {"out"}, {".hidden", "a", "b", "C", "new"}, "d:\\out", "the folder open already"},
        OpenCase{"d:\\out", {"d:\\"}, {"other", "out"}, "d:\\", "the root, an open ancestor"},
        OpenCase{"d:\\out", {"a", "out"}, {".hidden", "a", "b", "C", "new"}, "d:\\out", "an ancestor"},
        OpenCase{"d:\\out", {"a", "a"}, {"deep"}, "d:\\out\\a", "the same folder twice"},
        OpenCase{"d:/out", {"b"}, {}, "d:\\out\\b", "a start with slashes: one form of separators"}),
    kc::test::ByWhy{});

TEST_F(BrowsePathTest, ChoosingADriveShowsOnlyItsRootUntilItIsOpened) {
  Open("d:\\out");
  const std::string cwd = CurrentDirectory();
  ChooseComboEntry(dlg.get(), IDC_DRIVES, Drives()->findText("[-c-]"));
  ASSERT_EQ(Tree()->topLevelItemCount(), 1);
  EXPECT_EQ(Tree()->topLevelItem(0)->text(0).toStdString(), "c:\\");
  EXPECT_EQ(Tree()->topLevelItem(0)->childCount(), 0);
  EXPECT_EQ(Shown(), "c:\\");
  EXPECT_EQ(CurrentDirectory(), cwd);
  DoubleClickTreeItem(dlg.get(), IDC_FOLDER_TREE, Tree()->topLevelItem(0));
  EXPECT_EQ(Children(Tree()->topLevelItem(0)), Names{"kits"});
}

TEST_F(BrowsePathTest, AFloppyDriveIsRefusedAndNothingChanges) {
  Open("d:\\out");
  prompts.AnswerMessageBox(fw::IDOK);
  ChooseComboEntry(dlg.get(), IDC_DRIVES, Drives()->findText("[-a-]"));
  ASSERT_EQ(prompts.Requests().size(), 1u);
  EXPECT_EQ(prompts.Requests()[0].text, "Kit Composer will not use floppy drives. Please choose another drive.");
  EXPECT_EQ(prompts.Requests()[0].caption, "Error");
  EXPECT_EQ(prompts.Requests()[0].type, fw::MB_ICONEXCLAMATION | fw::MB_OK);
  EXPECT_EQ(Shown(), "d:\\out");
  EXPECT_EQ(Children(Find("out")), (Names{".hidden", "a", "b", "C"}));
  EXPECT_EQ(CurrentDirectory(), "D:\\out");
}

TEST_F(BrowsePathTest, OkReturnsTheShownFolderAndCancelLeavesTheCurrentDirectoryChanged) {
  dlg = std::make_unique<CBrowsePathDlg>();
  dlg->m_path = "d:\\out";
  prompts.AnswerDialog([this](fw::CDialog&) {
    DoubleClickTreeItem(dlg.get(), IDC_FOLDER_TREE, Find("b"));
    return fw::IDOK;
  });
  EXPECT_EQ(dlg->DoModal(), fw::IDOK);
  EXPECT_EQ(dlg->m_path, "d:\\out\\b");

  auto second = std::make_unique<CBrowsePathDlg>();
  second->m_path = "d:\\other";
  prompts.AnswerDialog(fw::IDCANCEL);
  EXPECT_EQ(second->DoModal(), fw::IDCANCEL);
  EXPECT_EQ(CurrentDirectory(), "D:\\other");
  // The first run left d:\out current, so the second log was written there.
  EXPECT_TRUE(std::filesystem::exists(root / "d/out/debug.out"));
}

}  // namespace
}  // namespace kc::test
