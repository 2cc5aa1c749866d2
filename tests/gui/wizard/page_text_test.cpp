// Text and paths through the pages: choices files as Windows tools write them
// (code-page bytes, a UTF-8 byte order mark, UTF-16LE) survive a walk through
// the wizard byte for byte; typed text takes the file's encoding or is
// refused; component names keep their bytes; host paths typed into path
// fields become drive paths; Browse starts in the field's folder.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QListWidget>
#include <optional>

#include "dialogs/dlg129_components_ids.h"
#include "dialogs/dlg134_settings_ids.h"
#include "dialogs/dlg139_customfiles_ids.h"
#include "dialogs/dlg140_output_ids.h"
#include "framework/app.h"
#include "platform/text_encoding.h"
#include "support/gui_driver.h"
#include "wizard_fixture.h"

namespace kc::test {
namespace {

const std::string kUtf8Bom = "\xEF\xBB\xBF";
std::string Utf16(const std::string& text) {
  return "\xFF\xFE" + platform::NarrowToUtf16Le(text);
}

// Every key the pages write, as they write it, with text in `title`, `folder`
// and `output`: leaving each page without a change must then change no byte.
std::string CompleteChoices(const std::string& title, const std::string& folder, const std::string& output) {
  return "[Global]\r\n"
         "[Choices-32]\r\n"
         "NetOrLocal=Local\r\n"
         "Product Path=C:\\Program Files\r\nProfile Path=C:\\Profiles\r\n"
         "End User Path Dialog Network Path Edit Box=ENABLED\r\nEnd User Path Dialog Profile Path Edit Box=ENABLED\r\n"
         "Install Splash Path=C:\\" +
         folder +
         "\\splash.bmp\r\n"
         "Product Setup Title=" +
         title +
         "\r\nProduct Setup Title1=\r\nProduct Setup Title2=\r\n"
         "Program Folder=" +
         folder +
         "\r\nCreate Readme Icon=NO\r\nCreate License Icon=YES\r\n"
         "Show Dialogs=NO\r\nShow Reboot Dialog=AUTO\r\n"
         "Show License Dialog=NO\r\nShow Welcome Dialog=NO\r\nShow SetupType Dialog=NO\r\nShow Path Dialog=NO\r\n"
         "Show Options Dialog=NO\r\nShow Associations Dialog=NO\r\nShow Select Folder Dialog=NO\r\n"
         "Show StartCopy Dialog=NO\r\nShow Readme Dialog=NO\r\nShow Finish Dialog=NO\r\n"
         "Overwrite CFG=NO\r\nCustom CFG Path=C:\\" +
         folder +
         "\\v.cfg\r\nCustom Bookmark Path=\r\n"
         "Custom Addressbook Path=\r\nCustom Inbox Path=\r\n"
         "Custom Small Animation Path=\r\nCustom Large Animation Path=\r\nCustom Readme Path=\r\n"
         "Custom License Path=\r\nCustom Security Files Path=\r\nCustom Account Setup Path=\r\n"
         "Include Additional Install 1=NO\r\nInclude Additional Install 2=NO\r\n"
         "Create CD=YES\r\nCreate Download=NO\r\nOutput Path=C:\\out\\" +
         output +
         "\r\n"
         "[Mods-32]\r\n" +
         title +
         "=chat\r\n"
         "[Main Modules 32]\r\nLumenary 4.5=lume\r\n";
}

struct FormRow {
  const char* why;
  std::string choices;
  std::string titleShown;  // UTF-8
};

TEST_F(WizardTest, EveryPageLeftUnchangedLeavesTheChoicesFileByteForByte) {
  // A code-page file may hold a UTF-8 path as Browse put it there: each value
  // keeps its own bytes.
  const std::string codePage = CompleteChoices(
      "Caf\xE9 \xAB"
      "Edition\xBB",
      "Programas Caf\xE9", "M\xC3\xBAsica");
  const std::string utf8 = CompleteChoices(
      "Caf\xC3\xA9 \xC2\xAB"
      "Edition\xC2\xBB",
      "Programas Caf\xC3\xA9", "M\xC3\xBAsica");
  const FormRow rows[] = {
      {"code-page bytes", codePage,
       "Caf\xC3\xA9 \xC2\xAB"
       "Edition\xC2\xBB"},
      {"UTF-8 with a byte order mark", kUtf8Bom + utf8,
       "Caf\xC3\xA9 \xC2\xAB"
       "Edition\xC2\xBB"},
      {"UTF-16LE", Utf16(utf8),
       "Caf\xC3\xA9 \xC2\xAB"
       "Edition\xC2\xBB"},
  };
  for (const FormRow& row : rows) {
    SCOPED_TRACE(row.why);
    SetChoices(row.choices);
    OpenOn(kInstallerTypePage);
    for (int page = kInstallerTypePage; page < kOutputPage; ++page) {
      if (page == kInstallerSettingsPage) {
        EXPECT_EQ(Page()->findChild<QLineEdit*>("ctl1014")->text().toStdString(), row.titleShown);
      }
      if (page == kComponentsPage) {
        const auto* included = Page()->findChild<QListWidget*>("ctl1009");
        ASSERT_EQ(included->count(), 1);
        EXPECT_EQ(included->item(0)->text().toStdString(), row.titleShown);
      }
      Next();
      ASSERT_EQ(ActiveIndex(), page + 1) << "refused on page " << page;
    }
    Back();  // the output page writes its keys on Back
    EXPECT_EQ(ActiveIndex(), kAdditionalInstallsPage);
    EXPECT_EQ(ChoicesText(), row.choices);
    sheet.reset();
  }
}

// The installer settings page left with Next after `title` was typed, on a
// choices file with `folder` as its program folder: the file's text after.
std::string SettingsAfter(const std::string& folder, const std::string& title) {
  return "[Choices-32]\r\nProgram Folder=" + folder + "\r\nInstall Splash Path=\r\nProduct Setup Title=" + title +
         "\r\nProduct Setup Title1=\r\nProduct Setup Title2=\r\nCreate Readme Icon=NO\r\nCreate License Icon=NO\r\n";
}

struct TypedRow {
  const char* why;
  std::string before;
  std::string typed;                 // UTF-8
  std::optional<std::string> after;  // nullopt: refused, the file unchanged
};

TEST_F(WizardTest, TypedTextIsStoredInTheEncodingOfTheChoicesFileOrRefused) {
  const std::string codePage = "[Choices-32]\r\nProgram Folder=Caf\xE9\r\n";
  const std::string utf8 = "[Choices-32]\r\nProgram Folder=Caf\xC3\xA9\r\n";
  const TypedRow rows[] = {
      {"code-page file takes the code page", codePage, "D\xC3\xA9j\xC3\xA0", SettingsAfter("Caf\xE9", "D\xE9j\xE0")},
      {"UTF-16 file stays UTF-16", Utf16(utf8),
       "\xC5\x81\xC3\xB3"
       "d\xC5\xBA",
       Utf16(SettingsAfter("Caf\xC3\xA9",
                           "\xC5\x81\xC3\xB3"
                           "d\xC5\xBA"))},
      {"a character the code page lacks keeps the page", codePage,
       "\xC5\x81\xC3\xB3"
       "d\xC5\xBA",
       std::nullopt},
  };
  for (const TypedRow& row : rows) {
    SCOPED_TRACE(row.why);
    sheet.reset();
    prompts.reset();
    prompts = std::make_unique<ScriptedPrompts>();
    SetChoices(row.before);
    OpenOn(kInstallerSettingsPage);
    Type(dlg134_settings::IDC_SETUP_TITLE, row.typed);
    if (!row.after) prompts->AnswerMessageBox();
    Next();
    EXPECT_EQ(ChoicesText(), row.after.value_or(row.before));
    EXPECT_EQ(ActiveIndex(), row.after ? kDialogControlPage : kInstallerSettingsPage);
    if (!row.after) {
      ASSERT_EQ(prompts->Requests().size(), 1u);
      EXPECT_NE(prompts->Requests()[0].text.find("character \"\xC5\x81\" does not exist in the Windows-1252 code page"),
                std::string::npos);
      EXPECT_EQ(prompts->Requests()[0].caption, fw::AfxGetAppName());
    }
  }
}

TEST_F(WizardTest, ACodePageComponentNameIsWrittenAndDeletedByItsBytes) {
  SetProgramIni(
      "[Kit Composer]\r\nLUMENARY VERSION NAME 32=Lumenary 4.5\r\n[Main Modules 32]\r\nLumenary 4.5=lume\r\n"
      "[Multimedia 32]\r\nC\xE1mara=cam\r\n");
  OpenOn(kComponentsPage);
  const std::string before = ChoicesText();
  auto* available = Page()->findChild<QListWidget*>("ctl1008");
  ASSERT_EQ(available->count(), 1);
  EXPECT_EQ(available->item(0)->text().toStdString(), "C\xC3\xA1mara");
  ClickListItem(Page(), dlg129_components::IDC_AVAILABLE, 0);
  ClickOnPage(dlg129_components::IDC_ADD);
  EXPECT_EQ(ChoicesText(), before + "[MMMods-32]\r\nC\xE1mara=cam\r\n");
  ClickListItem(Page(), dlg129_components::IDC_INCLUDED, 0);
  ClickOnPage(dlg129_components::IDC_REMOVE);
  EXPECT_EQ(ChoicesText(), before + "[MMMods-32]\r\n");
}

struct HostPathRow {
  const char* why;
  int page;
  int field;
  std::string typed;  // "<drive>" stands for the drive C: folder
  const char* key;
  std::optional<std::string> stored;  // nullopt: refused
};

TEST_F(WizardTest, HostPathsTypedIntoPathFieldsBecomeDrivePathsOrAreRefused) {
  MakeFile("C:\\tools\\setup32.exe");
  const HostPathRow rows[] = {
      {"output path", kOutputPage, dlg140_output::IDC_OUTPUT_PATH, "<drive>/kits/out", "Output Path", "C:\\kits\\out"},
      {"customization file", kCustomFilesPage, dlg139_customfiles::IDC_CONFIG_PATH, "<drive>/cfg/../cfg/v.cfg",
       "Custom CFG Path", "C:\\cfg\\v.cfg"},
      {"splash picture", kInstallerSettingsPage, dlg134_settings::IDC_SPLASH_PATH, "<drive>/art/s.bmp",
       "Install Splash Path", "C:\\art\\s.bmp"},
      {"an output path on no drive", kOutputPage, dlg140_output::IDC_OUTPUT_PATH, "/no-such-folder-of-kitcomp/out",
       "Output Path", std::nullopt},
      {"a Windows path with slashes stays", kCustomFilesPage, dlg139_customfiles::IDC_CONFIG_PATH, "C:/cfg/v.cfg",
       "Custom CFG Path", "C:/cfg/v.cfg"},
  };
  const std::string driveFolder = drive.path().toStdString();
  for (const HostPathRow& row : rows) {
    SCOPED_TRACE(row.why);
    sheet.reset();
    prompts.reset();
    prompts = std::make_unique<ScriptedPrompts>();
    SetChoices("[Global]\r\n[Choices-32]\r\nCreate CD=YES\r\n");
    OpenOn(row.page);
    std::string typed = row.typed;
    if (typed.rfind("<drive>", 0) == 0) typed = driveFolder + typed.substr(7);
    Type(row.field, typed);
    if (!row.stored) prompts->AnswerMessageBox();
    Back();
    if (row.stored) {
      EXPECT_EQ(Choice(row.key), *row.stored);
      continue;
    }
    EXPECT_EQ(ActiveIndex(), row.page);
    EXPECT_FALSE(HasChoice(row.key));
    ASSERT_EQ(prompts->Requests().size(), 1u);
    EXPECT_EQ(prompts->Requests()[0].text, "The path \"" + typed +
                                               "\" is on none of the drives in the drive table (C: = " + driveFolder +
                                               "). Choose a path on one of the drives.");
    EXPECT_EQ(prompts->Requests()[0].caption, "Kit Composer");  // the output page's own caption
  }
}

TEST_F(WizardTest, BrowseStartsInTheFolderOfTheFieldsPath) {
  MakeFile("C:\\art\\old.bmp");
  const struct {
    const char* why;
    std::string field;
    std::string folder;
  } rows[] = {
      {"the folder of a file", "C:\\art\\old.bmp", "C:\\art"},
      {"a folder itself", "C:\\art", "C:\\art"},
      {"a drive root", "C:\\new.bmp", "C:\\"},
      {"a slashed path", "C:/art/new.bmp", "C:/art"},
      {"a host path", drive.path().toStdString() + "/art/old.bmp", "C:\\art"},
      {"a folder that is not there", "C:\\gone\\x.bmp", ""},
      {"an empty field", "", ""},
  };
  OpenOn(kInstallerSettingsPage);
  for (const auto& row : rows) {
    SCOPED_TRACE(row.why);
    Page()->SetDlgItemText(dlg134_settings::IDC_SPLASH_PATH, row.field);
    prompts->CancelFile();
    ClickOnPage(dlg134_settings::IDC_BROWSE_SPLASH);
    EXPECT_EQ(prompts->Requests().back().initialFolder, row.folder);
  }
}

}  // namespace
}  // namespace kc::test
