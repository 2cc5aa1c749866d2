// Prompts: the scripted implementation's record, the filter conversion and the
// real (non-native) Qt file dialog driven offscreen.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include "framework/app.h"
#include "framework/file_dialog.h"
#include "framework/message_box.h"
#include "platform/drives.h"
#include "support/gui_driver.h"
#include "support/scripted_prompts.h"

namespace kc::test {
namespace {

using namespace kc::fw;

TEST(ScriptedPromptsTest, RecordsAMessageBoxAndAnswersIt) {
  ScriptedPrompts prompts;
  prompts.AnswerMessageBox(IDOK);
  EXPECT_EQ(MessageBoxA(nullptr, "The base path is invalid.", "Kit Composer", MB_ICONEXCLAMATION | MB_OK), IDOK);
  ASSERT_EQ(prompts.Requests().size(), 1u);
  const PromptRecord& r = prompts.Requests()[0];
  EXPECT_EQ(r.kind, PromptRecord::Kind::MessageBox);
  EXPECT_EQ(r.text, "The base path is invalid.");
  EXPECT_EQ(r.caption, "Kit Composer");
  EXPECT_EQ(r.type, MB_ICONEXCLAMATION | MB_OK);
}

TEST(ScriptedPromptsTest, AfxMessageBoxIsCaptionedWithTheApplicationsName) {
  ScriptedPrompts prompts;
  prompts.AnswerMessageBox();
  AfxMessageBox("Something", MB_ICONEXCLAMATION);
  EXPECT_EQ(prompts.Requests().at(0).caption, "framework_tests");
  CWinApp app("kitcomp");
  prompts.AnswerMessageBox();
  AfxMessageBox("Something", MB_ICONEXCLAMATION);
  EXPECT_EQ(prompts.Requests().at(1).caption, "kitcomp");
}

TEST(ScriptedPromptsTest, RecordsAFileDialogRequestAndAnswersWithAPath) {
  ScriptedPrompts prompts;
  prompts.AnswerFile("C:\\kits\\saved.kcm");
  prompts.CancelFile();
  CFileDialog save(false, "kcm", "*.kcm", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_NOCHANGEDIR,
                   "KitComposer makefile (*.kcm)|*.kcm||");
  ASSERT_EQ(save.DoModal(), IDOK);
  EXPECT_EQ(save.GetPathName(), "C:\\kits\\saved.kcm");
  EXPECT_EQ(save.GetFileName(), "saved.kcm");
  EXPECT_EQ(save.GetFileExt(), "kcm");
  const PromptRecord& r = prompts.Requests().at(0);
  EXPECT_EQ(r.kind, PromptRecord::Kind::FileDialog);
  EXPECT_FALSE(r.open);
  EXPECT_EQ(r.filter, "KitComposer makefile (*.kcm)|*.kcm||");
  EXPECT_EQ(r.initialName, "*.kcm");
  EXPECT_EQ(r.defaultExt, "kcm");
  EXPECT_EQ(r.flags, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_NOCHANGEDIR);
  CFileDialog open(true, "bmp", "setup.bmp", OFN_HIDEREADONLY, "Bitmap (*.bmp)|*.bmp||");
  EXPECT_EQ(open.DoModal(), IDCANCEL);
  EXPECT_TRUE(prompts.Requests().at(1).open);
}

TEST(ScriptedPromptsTest, AnUnexpectedPromptFailsTheTest) {
  EXPECT_NONFATAL_FAILURE(
      {
        ScriptedPrompts prompts;
        EXPECT_EQ(MessageBoxA(nullptr, "Surprise", "Error", MB_OK), IDCANCEL);
      },
      "Unexpected prompt: message box \"Surprise\"");
  EXPECT_NONFATAL_FAILURE(
      {
        ScriptedPrompts prompts;
        prompts.AnswerFile("C:\\x");
        MessageBoxA(nullptr, "Wrong kind", "Error", MB_OK);
        CFileDialog(true).DoModal();  // takes the file answer
      },
      "Expected a file dialog");
  EXPECT_NONFATAL_FAILURE(
      {
        ScriptedPrompts prompts;
        prompts.AnswerMessageBox();
      },
      "never asked for");
}

// --- Filter conversion -------------------------------------------------------------------

struct FilterCase {
  const char* windows;
  std::vector<QString> qt;
};

class FilterConversionTest : public ::testing::TestWithParam<FilterCase> {};

TEST_P(FilterConversionTest, BecomesQtNameFilters) {
  const QStringList got = ToQtNameFilters(GetParam().windows);
  EXPECT_EQ(std::vector<QString>(got.begin(), got.end()), GetParam().qt);
}

INSTANTIATE_TEST_SUITE_P(
    Table, FilterConversionTest,
    ::testing::Values(FilterCase{"Kit Composer Makefile (*.kcm)|*.kcm||", {"Kit Composer Makefile (*.kcm)"}},
                      FilterCase{"Bitmaps|*.bmp||", {"Bitmaps (*.bmp)"}},
                      FilterCase{"Pictures (*.bmp;*.gif)|*.bmp;*.gif|All files (*.*)|*.*||",
                                 {"Pictures (*.bmp *.gif)", "All files (*)"}},
                      FilterCase{"Odd (*.x)|*.y||", {"Odd (*.y)"}},  // the pattern, not the text, decides
                      FilterCase{"", {}}));

// --- The real file dialog ------------------------------------------------------------------

class RealFileDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    QDir(dir.path()).mkpath("kits");
    QFile f(dir.filePath("kits/existing.kcm"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    previousCwd = QDir::currentPath();
    QDir::setCurrent(dir.filePath("kits"));
    win::DriveTable::Set({{"C:", QDir(dir.path()).canonicalPath().toStdString()}});
  }
  void TearDown() override {
    QDir::setCurrent(previousCwd);
    win::DriveTable::Reload();
  }
  // Runs the dialog and hands it to `drive` once it shows.
  std::optional<std::string> Run(const FileDialogRequest& r, std::function<void(QFileDialog*)> drive) {
    WhenModalShows([drive](QWidget* w) {
      auto* fd = qobject_cast<QFileDialog*>(w);
      if (!fd) {
        ADD_FAILURE() << "not a file dialog";
        w->close();
        return;
      }
      drive(fd);
    });
    return Prompts::Current().FileDialog(r);
  }
  static QLineEdit* NameField(QFileDialog* fd) { return fd->findChild<QLineEdit*>("fileNameEdit"); }

  QTemporaryDir dir;
  QString previousCwd;
};

TEST_F(RealFileDialogTest, SaveAppendsTheDefaultExtensionToATypedName) {
  FileDialogRequest r{false,
                      "kcm",
                      "*.kcm",
                      OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_NOCHANGEDIR,
                      "KitComposer makefile (*.kcm)|*.kcm||",
                      nullptr};
  QString filterShown, nameShown;
  const auto chosen = Run(r, [&](QFileDialog* fd) {
    filterShown = fd->selectedNameFilter();
    nameShown = NameField(fd)->text();
    EXPECT_FALSE(fd->testOption(QFileDialog::DontUseNativeDialog) == false);
    EXPECT_FALSE(fd->testOption(QFileDialog::DontConfirmOverwrite));
    NameField(fd)->setText("myconfig");
    QTest::keyClick(NameField(fd), Qt::Key_Return);
  });
  EXPECT_EQ(filterShown, "KitComposer makefile (*.kcm)");
  EXPECT_EQ(nameShown, "");  // a wildcard name is a filter, not a name
  ASSERT_TRUE(chosen.has_value());
  EXPECT_EQ(*chosen, "C:\\kits\\myconfig.kcm");
}

TEST_F(RealFileDialogTest, APlainInitialNameFillsTheNameField) {
  FileDialogRequest r{true, "bmp", "setup.bmp", OFN_HIDEREADONLY, "Bitmap files (*.bmp)|*.bmp||", nullptr};
  QString nameShown;
  const auto chosen = Run(r, [&](QFileDialog* fd) {
    nameShown = NameField(fd)->text();
    fd->reject();
  });
  EXPECT_EQ(nameShown, "setup.bmp");
  EXPECT_FALSE(chosen.has_value());
}

TEST_F(RealFileDialogTest, OpenWithoutFileMustExistAcceptsANewName) {
  FileDialogRequest r{true, "kcm", "*.kcm", OFN_HIDEREADONLY, "Makefiles (*.kcm)|*.kcm||", nullptr};
  const auto chosen = Run(r, [&](QFileDialog* fd) {
    NameField(fd)->setText("brandnew");
    QTest::keyClick(NameField(fd), Qt::Key_Return);
  });
  ASSERT_TRUE(chosen.has_value());
  EXPECT_EQ(*chosen, "C:\\kits\\brandnew.kcm");
}

TEST_F(RealFileDialogTest, OpenWithFileMustExistTakesAnExistingFile) {
  FileDialogRequest r{true, "kcm", "*.kcm", OFN_FILEMUSTEXIST, "Makefiles (*.kcm)|*.kcm||", nullptr};
  bool existingOnly = false;
  const auto chosen = Run(r, [&](QFileDialog* fd) {
    existingOnly = fd->fileMode() == QFileDialog::ExistingFile;
    NameField(fd)->setText("existing.kcm");
    QTest::keyClick(NameField(fd), Qt::Key_Return);
  });
  EXPECT_TRUE(existingOnly);
  ASSERT_TRUE(chosen.has_value());
  EXPECT_EQ(*chosen, "C:\\kits\\existing.kcm");
}

TEST_F(RealFileDialogTest, OffersTheDrivesAsPlacesAndStartsInTheInitialFolder) {
  const QString root = QDir(dir.path()).canonicalPath();
  ASSERT_TRUE(QDir(root).mkpath("data/art"));
  win::DriveTable::Set(
      {{"C:", root.toStdString()}, {"D:", (root + "/data").toStdString()}, {"E:", "/nonexistent-drive-folder"}});
  struct Row {
    const char* why;
    std::string initialFolder;
    QString shownFolder;
  };
  const Row rows[] = {
      {"the initial folder", "D:\\art", root + "/data/art"},
      {"no initial folder: the current one", "", root + "/kits"},
      {"a folder that is not there: the current one", "D:\\gone", root + "/kits"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.why);
    FileDialogRequest r{true, "", "", 0, "All (*.*)|*.*||", nullptr, row.initialFolder};
    QList<QUrl> places;
    QString shown;
    Run(r, [&](QFileDialog* fd) {
      places = fd->sidebarUrls();
      shown = fd->directory().absolutePath();
      fd->reject();
    });
    // Drives whose folder exists, in the table's order; no host places.
    EXPECT_EQ(places, (QList<QUrl>{QUrl::fromLocalFile(root), QUrl::fromLocalFile(root + "/data")}));
    EXPECT_EQ(shown, row.shownFolder);
  }
}

TEST_F(RealFileDialogTest, AFileOutsideEveryDriveIsRefusedWithAMessage) {
  win::DriveTable::Set({{"D:", "/nonexistent-drive-folder"}});
  FileDialogRequest r{true, "", "", 0, "All (*.*)|*.*||", nullptr};
  QString messageText;
  const auto chosen = Run(r, [&](QFileDialog* fd) {
    NameField(fd)->setText("existing.kcm");
    QTest::keyClick(NameField(fd), Qt::Key_Return);
    WhenModalShows([&](QWidget* box) {
      messageText =
          box->findChild<QLabel*>("qt_msgbox_label") ? box->findChild<QLabel*>("qt_msgbox_label")->text() : QString();
      QTest::keyClick(box, Qt::Key_Return);
    });
  });
  EXPECT_FALSE(chosen.has_value());
  EXPECT_TRUE(messageText.contains("is on none of the drives in the drive table (D: = /nonexistent-drive-folder)"))
      << messageText.toStdString();
}

TEST_F(RealFileDialogTest, AFileWhosePathIsTooLongIsRefusedWithAMessageSayingSo) {
  // C:\kits\<120>\<120>\f.kcm: the folder exists on the host, but its Windows
  // path is longer than a path buffer holds.
  const QString deep = QStringLiteral("kits/%1/%2").arg(QString(130, 'a'), QString(130, 'b'));
  ASSERT_TRUE(QDir(dir.path()).mkpath(deep));
  QFile f(dir.filePath(deep + "/f.kcm"));
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.close();
  FileDialogRequest r{true, "", "", 0, "All (*.*)|*.*||", nullptr};
  QString messageText;
  const auto chosen = Run(r, [&](QFileDialog* fd) {
    NameField(fd)->setText(dir.filePath(deep + "/f.kcm"));
    QTest::keyClick(NameField(fd), Qt::Key_Return);
    WhenModalShows([&](QWidget* box) {
      messageText =
          box->findChild<QLabel*>("qt_msgbox_label") ? box->findChild<QLabel*>("qt_msgbox_label")->text() : QString();
      QTest::keyClick(box, Qt::Key_Return);
    });
  });
  EXPECT_FALSE(chosen.has_value());
  EXPECT_TRUE(messageText.contains("too long")) << messageText.toStdString();
  EXPECT_FALSE(messageText.contains("none of the drives")) << messageText.toStdString();
}

}  // namespace
}  // namespace kc::test
