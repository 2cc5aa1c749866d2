// Controls by ID: check states, list, combo and tree operations, progress bar,
// data exchange and the dialog's modal and modeless runs.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <QIcon>
#include <QListWidget>
#include <QPointer>
#include <QProgressBar>
#include <QRadioButton>
#include <QTreeWidget>

#include "support/gui_driver.h"
#include "support/scripted_prompts.h"
// uic runs on the templates that the source files name.
#include "test_dialogs.h"
#include "ui_dlg9001_test_page.h"
#include "ui_dlg9010_test_controls.h"

namespace kc::test {
namespace {

std::vector<std::string> Items(const CListBox& l) {
  std::vector<std::string> out;
  for (int i = 0; i < l.GetCount(); ++i) out.push_back(l.GetText(i));
  return out;
}

// --- Radio buttons -------------------------------------------------------------------

class RadioTest : public ::testing::Test {
 protected:
  void SetUp() override {
    page.EnsureInitialized();
    page.show();
  }
  std::vector<std::string> log;
  RecordingPage page{"Radios", log};
};

TEST_F(RadioTest, CheckingFromCodeLeavesThePartnersAlone) {
  page.CheckDlgButton(1104, BST_CHECKED);
  page.CheckDlgButton(1105, BST_CHECKED);
  EXPECT_EQ(page.IsDlgButtonChecked(1104), BST_CHECKED);
  EXPECT_EQ(page.IsDlgButtonChecked(1105), BST_CHECKED);
  page.CheckDlgButton(1105, BST_UNCHECKED);
  EXPECT_EQ(page.IsDlgButtonChecked(1104), BST_CHECKED);
  EXPECT_EQ(page.IsDlgButtonChecked(1105), BST_UNCHECKED);
}

TEST_F(RadioTest, AUserClickClearsEveryPartner) {
  page.CheckDlgButton(1104, BST_CHECKED);
  page.CheckDlgButton(1105, BST_CHECKED);
  Click(&page, 1103);
  EXPECT_EQ(page.IsDlgButtonChecked(1103), BST_CHECKED);
  EXPECT_EQ(page.IsDlgButtonChecked(1104), BST_UNCHECKED);
  EXPECT_EQ(page.IsDlgButtonChecked(1105), BST_UNCHECKED);
}

TEST_F(RadioTest, ACheckBoxClickToggles) {
  Click(&page, 1102);
  EXPECT_EQ(page.IsDlgButtonChecked(1102), BST_CHECKED);
  Click(&page, 1102);
  EXPECT_EQ(page.IsDlgButtonChecked(1102), BST_UNCHECKED);
}

// --- Lists -------------------------------------------------------------------------

class ControlsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dlg.EnsureInitialized();
    dlg.show();
  }
  ControlsDialog dlg;
};

TEST_F(ControlsTest, SortedListSortsWithoutRegardToCase) {
  CListBox list = dlg.ListBox(2003);
  for (const char* s : {"beta", "Alpha", "gamma", "alpha 2", "Delta"}) list.AddString(s);
  EXPECT_EQ(Items(list), (std::vector<std::string>{"Alpha", "alpha 2", "beta", "Delta", "gamma"}));
  EXPECT_EQ(list.AddString("BETA"), 3);  // after its equal
}

TEST_F(ControlsTest, UnsortedListKeepsTheOrderOfAdding) {
  CListBox list = dlg.ListBox(2004);
  for (const char* s : {"b", "A", "c"}) list.AddString(s);
  EXPECT_EQ(Items(list), (std::vector<std::string>{"b", "A", "c"}));
}

struct FindCase {
  int startAfter;
  const char* text;
  int expected;
};

class FindStringExactTest : public ControlsTest, public ::testing::WithParamInterface<FindCase> {};

TEST_P(FindStringExactTest, MatchesWholeStringsWithoutRegardToCase) {
  CListBox list = dlg.ListBox(2004);
  for (const char* s : {"Mail", "mail", "Mailer", "News"}) list.AddString(s);
  EXPECT_EQ(list.FindStringExact(GetParam().startAfter, GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Table, FindStringExactTest,
                         ::testing::Values(FindCase{-1, "MAIL", 0},      // case ignored
                                           FindCase{0, "mail", 1},       // starts after 0
                                           FindCase{1, "mail", 0},       // wraps round
                                           FindCase{-1, "Mai", LB_ERR},  // no prefix match
                                           FindCase{-1, "mailer", 2}, FindCase{-1, "", LB_ERR}));

TEST_F(ControlsTest, ClicksToggleItemsOfAMultipleSelectionList) {
  CListBox list = dlg.ListBox(2003);
  for (const char* s : {"a", "b", "c", "d"}) list.AddString(s);
  ClickListItem(&dlg, 2003, 1);
  ClickListItem(&dlg, 2003, 3);
  ClickListItem(&dlg, 2003, 0);
  EXPECT_EQ(list.GetSelCount(), 3);
  EXPECT_EQ(list.GetSelItems(2), (std::vector<int>{0, 1}));  // ascending, at most 2
  ClickListItem(&dlg, 2003, 1);                              // toggles off
  EXPECT_EQ(list.GetSelItems(20), (std::vector<int>{0, 3}));
  list.SetSel(-1, false);
  EXPECT_EQ(list.GetSelCount(), 0);
}

TEST_F(ControlsTest, DeleteStringAndResetContent) {
  CListBox list = dlg.ListBox(2003);
  for (const char* s : {"a", "b", "c"}) list.AddString(s);
  EXPECT_EQ(list.DeleteString(1), 2);
  EXPECT_EQ(Items(list), (std::vector<std::string>{"a", "c"}));
  EXPECT_EQ(list.DeleteString(5), LB_ERR);
  list.ResetContent();
  EXPECT_EQ(list.GetCount(), 0);
}

// --- Combo box -----------------------------------------------------------------------

TEST_F(ControlsTest, SortedComboSelectsByPrefixAndReportsUserChoices) {
  CComboBox combo = dlg.ComboBox(2005);
  for (const char* s : {"[-d-]", "[-C-]", "[-a-]"}) combo.AddString(s);
  EXPECT_EQ(combo.GetLBText(0), "[-a-]");
  EXPECT_EQ(combo.GetLBText(1), "[-C-]");
  EXPECT_EQ(combo.GetCurSel(), CB_ERR);  // adding selects nothing
  EXPECT_EQ(combo.SelectString(-1, "[-c"), 1);
  EXPECT_EQ(combo.SelectString(-1, "[-x"), CB_ERR);
  EXPECT_EQ(combo.GetCurSel(), 1);  // kept

  int changes = 0;
  dlg.OnCommand(2005, CBN_SELCHANGE, [&] { ++changes; });
  combo.SetCurSel(0);  // from code: no notification
  EXPECT_EQ(changes, 0);
  ChooseComboEntry(&dlg, 2005, 2);
  EXPECT_EQ(changes, 1);
  std::string drive;
  EXPECT_TRUE(dlg.DlgDirSelectComboBoxEx(2005, drive));
  EXPECT_EQ(drive, "d:");
}

// --- Tree ----------------------------------------------------------------------------

TEST_F(ControlsTest, TreeInsertsSortedAndWalksItsItems) {
  CTreeCtrl tree = dlg.TreeCtrl(2006);
  HTREEITEM root = tree.InsertItem("c:\\", 0, 1);
  for (const char* s : {"Windows", "apps", "Kits", "data"}) tree.InsertItem(s, 0, 1, root, TVI_SORT);
  HTREEITEM first = tree.GetChildItem(root);
  std::vector<std::string> names;
  for (HTREEITEM i = first; i; i = tree.GetNextSiblingItem(i)) names.push_back(tree.GetItemText(i));
  EXPECT_EQ(names, (std::vector<std::string>{"apps", "data", "Kits", "Windows"}));
  EXPECT_EQ(tree.GetRootItem(), root);
  EXPECT_EQ(tree.GetParentItem(first), root);
  EXPECT_EQ(tree.GetPrevSiblingItem(first), nullptr);
  HTREEITEM kits = tree.GetNextSiblingItem(tree.GetNextSiblingItem(first));
  EXPECT_EQ(tree.GetItemText(tree.GetPrevSiblingItem(kits)), "data");
  tree.InsertItem("out", 0, 1, kits, TVI_SORT);
  EXPECT_TRUE(tree.DeleteItem(kits));
  EXPECT_EQ(tree.GetCount(), 4);  // root and three children; "out" went with Kits
  EXPECT_TRUE(tree.DeleteAllItems());
  EXPECT_EQ(tree.GetRootItem(), nullptr);
}

TEST_F(ControlsTest, TreeItemsShowTheSelectedImageWhileSelected) {
  CImageList images;
  ASSERT_TRUE(images.Create(IDB_FOLDER_IMAGES, 16, 0, 0x00FF00));
  CTreeCtrl tree = dlg.TreeCtrl(2006);
  tree.SetImageList(&images);
  HTREEITEM item = tree.InsertItem("c:\\", 0, 1);
  const QIcon icon = item->icon(0);
  EXPECT_EQ(icon.pixmap(16, QIcon::Normal).toImage(), images.GetImage(0).toImage());
  EXPECT_EQ(icon.pixmap(16, QIcon::Selected).toImage(), images.GetImage(1).toImage());
}

TEST_F(ControlsTest, DoubleClickSelectsTheItemRunsTheHandlerThenOpensIt) {
  CTreeCtrl tree = dlg.TreeCtrl(2006);
  HTREEITEM root = tree.InsertItem("c:\\", 0, 1);
  HTREEITEM a = tree.InsertItem("a", 0, 1, root);
  HTREEITEM b = tree.InsertItem("b", 0, 1, root);
  tree.Expand(root, TVE_EXPAND);
  std::string selectedInHandler;
  dlg.OnNotify(2006, NM_DBLCLK, [&]() -> LRESULT {
    HTREEITEM t = tree.GetSelectedItem();
    selectedInHandler = tree.GetItemText(t);
    tree.DeleteItem(a);  // the handler reshapes the tree, as the folder browser does
    tree.InsertItem("sub", 0, 1, t, TVI_SORT);
    return 0;
  });
  DoubleClickTreeItem(&dlg, 2006, b);
  EXPECT_EQ(selectedInHandler, "b");
  EXPECT_EQ(tree.GetSelectedItem(), b);
  EXPECT_TRUE(b->isExpanded());  // the default action followed, on b
}

// --- Progress bar -----------------------------------------------------------------------

TEST_F(ControlsTest, ProgressBarFollowsTheWindowsRules) {
  CProgressCtrl bar = dlg.ProgressCtrl(2007);
  auto* qbar = qobject_cast<QProgressBar*>(Control(&dlg, 2007));
  dlg.SendDlgItemMessage(2007, PBM_SETPOS, 0);
  dlg.SendDlgItemMessage(2007, PBM_SETRANGE, 0, MAKELPARAM(0, 0));
  EXPECT_LT(qbar->minimum(), qbar->maximum()) << "an empty range must not show Qt's busy bar";
  EXPECT_EQ(qbar->value(), 0);
  dlg.SendDlgItemMessage(2007, PBM_SETRANGE, 0, MAKELPARAM(0, 3));
  dlg.SendDlgItemMessage(2007, PBM_SETSTEP, 1);
  dlg.SendDlgItemMessage(2007, PBM_STEPIT);
  dlg.SendDlgItemMessage(2007, PBM_STEPIT);
  EXPECT_EQ(bar.GetPos(), 2);
  EXPECT_EQ(qbar->value(), 2);
  bar.StepIt();
  EXPECT_EQ(bar.GetPos(), 3);
  bar.StepIt();  // past the end: starts over
  EXPECT_EQ(bar.GetPos(), 1);
  bar.SetPos(99);  // clamped
  EXPECT_EQ(bar.GetPos(), 3);
  int lo = -1, hi = -1;
  bar.GetRange(lo, hi);
  EXPECT_EQ(lo, 0);
  EXPECT_EQ(hi, 3);
}

// --- Data exchange ---------------------------------------------------------------------

TEST_F(ControlsTest, DataExchangeRoundTrip) {
  dlg.text = "C:\\kits\\out";
  dlg.check = BST_CHECKED;
  ASSERT_TRUE(dlg.UpdateData(false));
  EXPECT_EQ(dlg.GetDlgItemText(2002), "C:\\kits\\out");
  EXPECT_EQ(dlg.IsDlgButtonChecked(2008), BST_CHECKED);
  TypeText(&dlg, 2002, "D:\\ünïcode");
  Click(&dlg, 2008);
  ASSERT_TRUE(dlg.UpdateData(true));
  EXPECT_EQ(dlg.text, "D:\\ünïcode");
  EXPECT_EQ(dlg.check, BST_UNCHECKED);
}

TEST_F(ControlsTest, IntegerFieldRefusesTextWithAMessage) {
  ScriptedPrompts prompts;
  prompts.AnswerMessageBox(IDOK);
  dlg.exchangeNumber = true;
  dlg.SetDlgItemText(2002, "12x");
  EXPECT_FALSE(dlg.UpdateData(true));
  ASSERT_EQ(prompts.Requests().size(), 1u);
  EXPECT_EQ(prompts.Requests()[0].text, "Please enter an integer.");
  EXPECT_EQ(prompts.Requests()[0].type, MB_ICONEXCLAMATION | MB_OK);
  dlg.SetDlgItemText(2002, " 42 ");
  EXPECT_TRUE(dlg.UpdateData(true));
  EXPECT_EQ(dlg.number, 42);
}

// --- Running dialogs ---------------------------------------------------------------------

TEST(DialogRunTest, DoModalRunsInitThenTheScriptThenOnOK) {
  ScriptedPrompts prompts;
  ControlsDialog dlg;
  prompts.AnswerDialog([&](CDialog& d) {
    EXPECT_EQ(dlg.initCount, 1);
    d.SetDlgItemText(2002, "chosen");
    return IDOK;
  });
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(dlg.text, "chosen");  // OnOK took the controls into the members
  ASSERT_EQ(prompts.Requests().size(), 1u);
  EXPECT_EQ(prompts.Requests()[0].templateId, 9010);
  EXPECT_EQ(prompts.Requests()[0].caption, "Test Controls");
}

TEST(DialogRunTest, OkButtonAndEscapeEndTheModalRun) {
  ScriptedPrompts prompts;
  ControlsDialog dlg;
  prompts.AnswerDialog([](CDialog& d) {
    Click(&d, IDOK);
    return IDCANCEL;
  });
  prompts.AnswerDialog([](CDialog& d) {
    PressKey(&d, Qt::Key_Escape);
    return IDOK;
  });
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  EXPECT_EQ(dlg.initCount, 1);
}

TEST(DialogRunTest, ModelessCreateShowsAtOnceAndDestructionCloses) {
  auto dlg = std::make_unique<ControlsDialog>();
  dlg->text = "shown";
  ASSERT_TRUE(dlg->Create());
  EXPECT_TRUE(dlg->isVisible());
  EXPECT_FALSE(dlg->isModal());
  EXPECT_EQ(dlg->GetDlgItemText(2002), "shown");
  QPointer<QWidget> window(dlg.get());
  dlg.reset();
  EXPECT_TRUE(window.isNull());
}

TEST(DialogRunTest, GetDlgItemOfAMissingControlIsNullInReleaseBuilds) {
#ifdef QT_NO_DEBUG
  ControlsDialog dlg;
  EXPECT_EQ(dlg.FindDlgItem(4242), nullptr);
  EXPECT_EQ(dlg.GetDlgItem(4242), nullptr);
  EXPECT_EQ(dlg.GetDlgItemText(4242), "");
#else
  GTEST_SKIP() << "asserts in debug builds";
#endif
}

}  // namespace
}  // namespace kc::test
