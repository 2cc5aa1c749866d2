// The wizard sheet's page protocol, buttons and keyboard use.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <memory>

#include "support/gui_driver.h"
#include "support/scripted_prompts.h"
// uic runs on the templates that the source files name.
#include "test_dialogs.h"
#include "ui_dlg9001_test_page.h"
#include "ui_dlg9010_test_controls.h"

namespace kc::test {
namespace {

using Log = std::vector<std::string>;

// Three pages like the program's: the first sets Next only and Back+Next on
// leaving, the last sets Back+Finish and Back+Next on leaving.
class WizardTest : public ::testing::Test {
 protected:
  void SetUp() override {
    a = std::make_unique<RecordingPage>("First", log);
    b = std::make_unique<RecordingPage>("Second", log);
    c = std::make_unique<RecordingPage>("Last", log);
    a->setFlags = PSWIZB_NEXT;
    a->killFlags = PSWIZB_BACK | PSWIZB_NEXT;
    c->setFlags = PSWIZB_BACK | PSWIZB_FINISH;
    c->killFlags = PSWIZB_BACK | PSWIZB_NEXT;
    sheet = std::make_unique<CPropertySheet>();
    sheet->AddPage(a.get());
    sheet->AddPage(b.get());
    sheet->AddPage(c.get());
    sheet->SetWizardMode();
  }
  void Open() {
    sheet->EnsureInitialized();
    sheet->show();
  }
  void TearDown() override {
    sheet.reset();  // before the pages, as the program does
  }
  void Press(int id) { Click(sheet.get(), id); }
  QPushButton* Button(int id) { return qobject_cast<QPushButton*>(sheet->GetDlgItem(id)); }
  bool Shown(int id) { return !Button(id)->isHidden(); }
  bool Enabled(int id) { return Button(id)->isEnabled(); }

  Log log;
  std::unique_ptr<RecordingPage> a, b, c;
  std::unique_ptr<CPropertySheet> sheet;
};

TEST_F(WizardTest, FirstActivationInitialisesThenActivatesTheFirstPage) {
  Open();
  EXPECT_EQ(log, (Log{"First:init", "First:set"}));
  EXPECT_EQ(sheet->GetActiveIndex(), 0);
}

TEST_F(WizardTest, NextRunsWizardNextThenKillActiveThenTheNextPage) {
  Open();
  log.clear();
  Press(ID_WIZNEXT);
  EXPECT_EQ(log, (Log{"First:next", "First:kill", "Second:init", "Second:set"}));
  EXPECT_EQ(sheet->GetActiveIndex(), 1);
}

TEST_F(WizardTest, BackRunsKillActiveAndReactivatesWithoutInitialising) {
  Open();
  Press(ID_WIZNEXT);
  Press(ID_WIZNEXT);
  log.clear();
  Press(ID_WIZBACK);
  EXPECT_EQ(log, (Log{"Last:back", "Last:kill", "Second:set"}));
  EXPECT_EQ(sheet->GetActiveIndex(), 1);
}

TEST_F(WizardTest, FinishRunsOnlyWizardFinishAndEndsWithWizFinish) {
  Open();
  Press(ID_WIZNEXT);
  Press(ID_WIZNEXT);
  log.clear();
  Press(ID_WIZFINISH);
  EXPECT_EQ(log, (Log{"Last:finish"}));
  EXPECT_EQ(sheet->result(), ID_WIZFINISH);
  EXPECT_FALSE(sheet->isVisible());
}

TEST_F(WizardTest, CancelEndsAtOnceWithoutLeavingThePage) {
  Open();
  Press(ID_WIZNEXT);
  log.clear();
  Press(IDCANCEL);
  EXPECT_TRUE(log.empty()) << log.front();
  EXPECT_EQ(sheet->result(), IDCANCEL);
}

TEST_F(WizardTest, EscapeCancelsFromAnInputField) {
  Open();
  log.clear();
  QTest::keyClick(Control(a.get(), 1101), Qt::Key_Escape);
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(sheet->result(), IDCANCEL);
  EXPECT_FALSE(sheet->isVisible());
}

TEST_F(WizardTest, ClosingTheWindowCancels) {
  Open();
  sheet->close();
  EXPECT_EQ(sheet->result(), IDCANCEL);
  EXPECT_FALSE(sheet->isVisible());
}

TEST_F(WizardTest, DoModalReturnsWizFinishThroughThePrompts) {
  ScriptedPrompts prompts;
  prompts.AnswerDialog([this](CDialog& d) {
    Click(&d, ID_WIZNEXT);
    Click(&d, ID_WIZNEXT);
    Click(&d, ID_WIZFINISH);
    return IDCANCEL;  // not used: Finish has ended the sheet
  });
  EXPECT_EQ(sheet->DoModal(), ID_WIZFINISH);
  ASSERT_EQ(prompts.Requests().size(), 1u);
  EXPECT_EQ(prompts.Requests()[0].kind, PromptRecord::Kind::Dialog);
}

// --- Refusals ------------------------------------------------------------------

struct Refusal {
  const char* name;
  int pagesForward;  // Next presses before the refused action
  int press;         // the refused button
  int refusingPage;  // 0, 1, 2
  enum { kNext, kKill, kFinish } what;
  Log expected;  // calls of the refused action
};

class WizardRefusalTest : public WizardTest, public ::testing::WithParamInterface<Refusal> {};

TEST_P(WizardRefusalTest, KeepsThePageAndTheButtons) {
  const Refusal& r = GetParam();
  RecordingPage* pages[] = {a.get(), b.get(), c.get()};
  RecordingPage* refusing = pages[r.refusingPage];
  if (r.what == Refusal::kNext) refusing->refuseNext = true;
  if (r.what == Refusal::kKill) refusing->refuseKill = true;
  if (r.what == Refusal::kFinish) refusing->refuseFinish = true;
  Open();
  for (int i = 0; i < r.pagesForward; ++i) Press(ID_WIZNEXT);
  const int page = sheet->GetActiveIndex();
  const bool back = Enabled(ID_WIZBACK), next = Shown(ID_WIZNEXT), finish = Shown(ID_WIZFINISH);
  log.clear();
  Press(r.press);
  EXPECT_EQ(log, r.expected);
  EXPECT_EQ(sheet->GetActiveIndex(), page);
  EXPECT_TRUE(sheet->isVisible());
  EXPECT_EQ(Enabled(ID_WIZBACK), back);
  EXPECT_EQ(Shown(ID_WIZNEXT), next);
  EXPECT_EQ(Shown(ID_WIZFINISH), finish);
}

INSTANTIATE_TEST_SUITE_P(
    Refusals, WizardRefusalTest,
    ::testing::Values(Refusal{"WizardNextRefusesNext", 0, ID_WIZNEXT, 0, Refusal::kNext, {"First:next"}},
                      Refusal{"KillActiveRefusesNext", 0, ID_WIZNEXT, 0, Refusal::kKill, {"First:next", "First:kill"}},
                      Refusal{
                          "KillActiveRefusesBack", 1, ID_WIZBACK, 1, Refusal::kKill, {"Second:back", "Second:kill"}},
                      Refusal{"WizardFinishRefusesFinish", 2, ID_WIZFINISH, 2, Refusal::kFinish, {"Last:finish"}}),
    [](const auto& info) { return std::string(info.param.name); });

// --- Buttons -------------------------------------------------------------------

TEST_F(WizardTest, ButtonsFollowTheFlagsOnEveryPage) {
  Open();
  // Page 1: Next only.
  EXPECT_FALSE(Enabled(ID_WIZBACK));
  EXPECT_TRUE(Shown(ID_WIZNEXT) && Enabled(ID_WIZNEXT));
  EXPECT_FALSE(Shown(ID_WIZFINISH));
  Press(ID_WIZNEXT);
  // Page 2 leaves them as page 1 left them: Back and Next.
  EXPECT_TRUE(Enabled(ID_WIZBACK));
  EXPECT_TRUE(Shown(ID_WIZNEXT) && Enabled(ID_WIZNEXT));
  Press(ID_WIZNEXT);
  // Page 3: Back and Finish, Finish in Next's place.
  EXPECT_TRUE(Enabled(ID_WIZBACK));
  EXPECT_FALSE(Shown(ID_WIZNEXT));
  EXPECT_TRUE(Shown(ID_WIZFINISH) && Enabled(ID_WIZFINISH));
  Press(ID_WIZBACK);
  EXPECT_TRUE(Enabled(ID_WIZBACK));
  EXPECT_TRUE(Shown(ID_WIZNEXT) && Enabled(ID_WIZNEXT));
  EXPECT_FALSE(Shown(ID_WIZFINISH));
}

TEST_F(WizardTest, GreyedNextDoesNothing) {
  b->setFlags = PSWIZB_BACK;
  Open();
  Press(ID_WIZNEXT);
  log.clear();
  Press(ID_WIZNEXT);
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(sheet->GetActiveIndex(), 1);
}

TEST_F(WizardTest, FinishTakesTheDefaultAndTheFocus) {
  Open();
  Press(ID_WIZNEXT);
  Press(ID_WIZNEXT);
  EXPECT_TRUE(Button(ID_WIZFINISH)->isDefault());
  EXPECT_FALSE(Button(ID_WIZNEXT)->isDefault());
  EXPECT_EQ(sheet->focusWidget(), Button(ID_WIZFINISH));
  Press(ID_WIZBACK);
  EXPECT_TRUE(Button(ID_WIZNEXT)->isDefault());
  EXPECT_FALSE(Button(ID_WIZFINISH)->isDefault());
}

TEST_F(WizardTest, HelpCanBeHiddenByTheSheetsInitialisation) {
  class HelplessSheet : public CPropertySheet {
   public:
    bool OnInitDialog() override {
      GetDlgItem(IDHELP)->hide();
      return CPropertySheet::OnInitDialog();
    }
  };
  HelplessSheet s;
  Log own;
  RecordingPage p("Only", own);
  s.AddPage(&p);
  s.EnsureInitialized();
  EXPECT_TRUE(s.GetDlgItem(IDHELP)->isHidden());
  EXPECT_EQ(own, (Log{"Only:init", "Only:set"}));
}

// --- Keyboard and focus -------------------------------------------------------------

TEST_F(WizardTest, EachPageOpensWithItsFirstFieldFocused) {
  Open();
  EXPECT_EQ(sheet->focusWidget(), a->findChild<QLineEdit*>("ctl1101"));
  Press(ID_WIZNEXT);
  EXPECT_EQ(sheet->focusWidget(), b->findChild<QLineEdit*>("ctl1101"));
}

TEST_F(WizardTest, ReturnOnlyWalkFinishes) {
  Open();
  for (int i = 0; i < 3 && sheet->isVisible(); ++i) PressKey(sheet.get(), Qt::Key_Return);
  EXPECT_FALSE(sheet->isVisible());
  EXPECT_EQ(sheet->result(), ID_WIZFINISH);
  EXPECT_EQ(log.back(), "Last:finish");
}

TEST_F(WizardTest, ReturnInAFieldPressesNext) {
  Open();
  QTest::keyClick(Control(a.get(), 1101), Qt::Key_Return);
  EXPECT_EQ(sheet->GetActiveIndex(), 1);
}

TEST_F(WizardTest, BackAndNextHaveMnemonics) {
  EXPECT_EQ(Button(ID_WIZBACK)->shortcut(), QKeySequence(Qt::ALT | Qt::Key_B));
  EXPECT_EQ(Button(ID_WIZNEXT)->shortcut(), QKeySequence(Qt::ALT | Qt::Key_N));
  EXPECT_EQ(Button(ID_WIZFINISH)->shortcut(), QKeySequence());
}

// A mnemonic presses its button the way a click does, but Qt animates the
// press: the click lands some 100 ms after the key, so the test waits for it.
TEST_F(WizardTest, AltNAndAltBPressNextAndBack) {
  Open();
  sheet->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(sheet.get()));
  PressKey(sheet.get(), Qt::Key_B, Qt::AltModifier);  // Back is greyed on the first page
  QTest::qWait(250);
  EXPECT_EQ(sheet->GetActiveIndex(), 0);
  log.clear();
  PressKey(sheet.get(), Qt::Key_N, Qt::AltModifier);
  EXPECT_TRUE(QTest::qWaitFor([&] { return sheet->GetActiveIndex() == 1; }, 2000));
  EXPECT_EQ(log, (Log{"First:next", "First:kill", "Second:init", "Second:set"}));
  log.clear();
  PressKey(sheet.get(), Qt::Key_B, Qt::AltModifier);
  EXPECT_TRUE(QTest::qWaitFor([&] { return sheet->GetActiveIndex() == 0; }, 2000));
  EXPECT_EQ(log, (Log{"Second:back", "Second:kill", "First:set"}));
}

TEST_F(WizardTest, TabRunsFromThePageToTheButtons) {
  Open();
  sheet->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(sheet.get()));
  Press(ID_WIZNEXT);  // Back becomes available
  // From the page's last control, Tab reaches Back, then Next, then Cancel.
  Control(b.get(), 1105)->setFocus(Qt::TabFocusReason);
  PressKey(sheet.get(), Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), Button(ID_WIZBACK));
  PressKey(sheet.get(), Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), Button(ID_WIZNEXT));
  PressKey(sheet.get(), Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), Button(IDCANCEL));
}

TEST_F(WizardTest, TitleBarShowsTheCurrentPagesCaption) {
  Open();
  EXPECT_EQ(sheet->windowTitle(), "First");
  Press(ID_WIZNEXT);
  EXPECT_EQ(sheet->windowTitle(), "Second");
}

// --- Page defaults ---------------------------------------------------------------

TEST_F(WizardTest, DefaultActivationRestoresMembersOnlyFromTheSecondVisit) {
  a->text = "from member";
  Open();  // OnInitDialog shows the member
  EXPECT_EQ(a->GetDlgItemText(1101), "from member");
  TypeText(a.get(), 1101, "typed");
  Press(ID_WIZNEXT);  // the default leave takes the field into the member
  EXPECT_EQ(a->text, "typed");
  a->text = "changed meanwhile";
  Press(ID_WIZBACK);  // the second activation shows the member again
  EXPECT_EQ(a->GetDlgItemText(1101), "changed meanwhile");
}

TEST_F(WizardTest, SheetFitsTheLargestPageAndRendersWithItsSidePicture) {
  c->setMinimumSize(600, 450);
  Open();
  const QSize page = sheet->GetActivePage()->size();
  EXPECT_GE(page.width(), 600);
  EXPECT_GE(page.height(), 450);
  EXPECT_FALSE(qobject_cast<QLabel*>(Control(a.get(), 1000))->pixmap().isNull());
  EXPECT_FALSE(SaveScreenshot(sheet.get(), "framework-wizard-first").empty());
  Press(ID_WIZNEXT);
  Press(ID_WIZNEXT);
  EXPECT_FALSE(SaveScreenshot(sheet.get(), "framework-wizard-last").empty());
}

}  // namespace
}  // namespace kc::test
