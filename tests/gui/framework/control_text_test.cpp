// Control text as bytes: what a control shows for code-page and UTF-8 bytes,
// what it gives back untouched and typed, and what it refuses; list, combo and
// tree items keep their bytes.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <fstream>
#include <optional>

#include "platform/drives.h"
#include "support/gui_driver.h"
#include "support/scripted_prompts.h"
#include "test_dialogs.h"

namespace kc::test {
namespace {

class ControlTextTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(drive.isValid());
    win::DriveTable::Set({{"C:", drive.path().toStdString()}});
    dlg.EnsureInitialized();
    dlg.show();
  }
  void TearDown() override { win::DriveTable::Reload(); }
  // The dialog's texts go to C:\texts.ini, which holds `contents`.
  void StoreIn(const std::string& contents) {
    std::ofstream(drive.filePath("texts.ini").toStdString(), std::ios::binary) << contents;
    dlg.SetTextFile("C:\\texts.ini");
  }
  QString Shown() const { return dlg.findChild<QLineEdit*>("ctl2002")->text(); }

  QTemporaryDir drive;
  ControlsDialog dlg;
};

struct TextCase {
  const char* why;
  std::string set;                   // the bytes the control is given
  QString shown;                     // what it shows
  std::optional<std::string> typed;  // what the user types (UTF-8); nullopt: nothing
  std::string file;                  // the INI file the text goes to
  std::optional<std::string> read;   // what data exchange takes; nullopt: refused
};

const std::string kCodePageFile = "[s]\r\nk=\xE9t\xE9\r\n";
const std::string kUtf8File = "[s]\r\nk=\xC3\xA9t\xC3\xA9\r\n";

TEST_F(ControlTextTest, GivesBackItsBytesUntouchedAndStoresTypedTextInTheFilesEncoding) {
  const TextCase cases[] = {
      {"code-page bytes show as Windows-1252 and come back byte for byte",
       "Caf\xE9 \xAB"
       "Edition\xBB",
       QString::fromUtf8("Café «Edition»"), std::nullopt, kUtf8File,
       "Caf\xE9 \xAB"
       "Edition\xBB"},
      {"UTF-8 bytes show as UTF-8", "Caf\xC3\xA9", QString::fromUtf8("Café"), std::nullopt, kCodePageFile,
       "Caf\xC3\xA9"},
      {"typed text goes to a code-page file in the code page", "", "", "Caf\xC3\xA9", kCodePageFile, "Caf\xE9"},
      {"typed text goes to an ASCII file in UTF-8", "", "", "\xE2\x82\xAC", "[s]\r\n", "\xE2\x82\xAC"},
      {"typed back to what it showed is untouched", "Caf\xE9", QString::fromUtf8("Café"), "Caf\xC3\xA9", kUtf8File,
       "Caf\xE9"},
      {"a character the code page lacks is refused", "", "",
       "\xC5\x81\xC3\xB3"
       "d\xC5\xBA",
       kCodePageFile, std::nullopt},
  };
  for (const TextCase& c : cases) {
    SCOPED_TRACE(c.why);
    ScriptedPrompts prompts;
    StoreIn(c.file);
    dlg.text = c.set;
    ASSERT_TRUE(dlg.UpdateData(false));
    EXPECT_EQ(Shown(), c.shown);
    if (c.typed) TypeText(&dlg, 2002, *c.typed);
    dlg.text = "before";
    if (!c.read) prompts.AnswerMessageBox(IDOK);
    EXPECT_EQ(dlg.UpdateData(true), c.read.has_value());
    EXPECT_EQ(dlg.text, c.read.value_or("before"));
    if (!c.read) {
      ASSERT_EQ(prompts.Requests().size(), 1u);
      const PromptRecord& asked = prompts.Requests()[0];
      EXPECT_EQ(asked.text,
                "The text \"\xC5\x81\xC3\xB3"
                "d\xC5\xBA\" cannot be stored as typed: its character \"\xC5\x81\" does "
                "not exist in the Windows-1252 code page in which C:\\texts.ini is written. Please type the text "
                "without it.");
      EXPECT_EQ(asked.caption, "framework_tests");  // the dialog's message caption
      EXPECT_EQ(asked.type, MB_ICONEXCLAMATION | MB_OK);
    }
  }
}

TEST_F(ControlTextTest, ItemsKeepTheBytesTheyWereAddedWith) {
  const std::string codePage = "C\xE1mara";
  const QString shown = QString::fromUtf8("Cámara");
  CListBox list = dlg.ListBox(2003);
  list.AddString("Chat");
  list.AddString(codePage);
  EXPECT_EQ(dlg.findChild<QListWidget*>("ctl2003")->item(1)->text(), shown);
  EXPECT_EQ(list.GetText(1), codePage);
  // Searches compare what the list shows, as a list box does.
  EXPECT_EQ(list.FindStringExact(-1, codePage), 1);
  EXPECT_EQ(list.FindStringExact(-1, "C\xC3\x81MARA"), 1);

  CComboBox combo = dlg.ComboBox(2005);
  combo.AddString(codePage);
  EXPECT_EQ(combo.GetLBText(0), codePage);
  combo.SetCurSel(0);
  EXPECT_EQ(dlg.GetDlgItemText(2005), codePage);

  CTreeCtrl tree = dlg.TreeCtrl(2006);
  HTREEITEM item = tree.InsertItem(codePage, 0, 1);
  EXPECT_EQ(item->text(0), shown);
  EXPECT_EQ(tree.GetItemText(item), codePage);
}

}  // namespace
}  // namespace kc::test
