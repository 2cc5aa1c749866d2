#include <QAbstractButton>
#include <QLabel>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "config/profile_access.h"
#include "framework/win_defs.h"
#include "platform/drives.h"
#include "support/gui_driver.h"
#include "wizard_fixture.h"

namespace kc::test {

void WizardTest::SetUp() {
  ASSERT_TRUE(drive.isValid());
  savedCwd = std::filesystem::current_path().string();
  win::DriveTable::Set({{"C:", drive.path().toStdString()}});
  WriteFile("C:\\kit\\source\\install\\setup.ini", "[Product Defaults]\r\n");
  MakeFile("C:\\kit\\source\\install\\setup.exe");
  MakeFile("C:\\kit\\source\\install\\readme.txt");
  std::filesystem::create_directories(Host("C:\\kit\\custom\\engine"));
  SetProgramIni(
      "[Kit Composer]\r\nINSTALLED PATH=C:\\kit\r\nLUMENARY VERSION NAME 32=Lumenary 4.5\r\n"
      "[Main Modules 32]\r\nLumenary 4.5=lume\r\n"
      "[Available 32]\r\nChat=chat\r\nCalendar=cal\r\nNews Reader=news\r\n"
      "[Multimedia 32]\r\nAudio Player=audio\r\nVideo Player=video\r\n");
  auto made = config::MakeRunPaths("C:\\kit");
  ASSERT_TRUE(made.ok());
  paths = made.value();
  SetChoices("[Global]\r\n");
  prompts = std::make_unique<ScriptedPrompts>();
}

void WizardTest::TearDown() {
  if (sheet) sheet->hide();
  sheet.reset();  // before the pages it shows
  pages.clear();
  prompts.reset();
  std::filesystem::current_path(savedCwd);
  win::DriveTable::Reload();
}

std::string WizardTest::Host(const std::string& windowsPath) const {
  std::string rest = windowsPath.substr(2);
  std::replace(rest.begin(), rest.end(), '\\', '/');
  return drive.path().toStdString() + rest;
}

void WizardTest::WriteFile(const std::string& windowsPath, const std::string& content) {
  const std::filesystem::path host = Host(windowsPath);
  std::filesystem::create_directories(host.parent_path());
  std::ofstream(host, std::ios::binary) << content;
}

void WizardTest::MakeFolder(const std::string& windowsPath) {
  std::filesystem::create_directories(Host(windowsPath));
}

std::string WizardTest::ReadFile(const std::string& windowsPath) const {
  std::ifstream in(Host(windowsPath), std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void WizardTest::SetChoices(const std::string& iniText) {
  WriteFile(paths.choicesFile, iniText);
}

void WizardTest::SetProgramIni(const std::string& iniText) {
  WriteFile("C:\\kit\\kitcomp\\kitcomp.ini", iniText);
}

std::string WizardTest::Choice(const char* key, const char* section) const {
  return config::ReadValue(paths.choicesFile, section, key);
}

bool WizardTest::HasChoice(const char* key, const char* section) const {
  const auto keys = config::ReadAllKeys(paths.choicesFile, section);
  return std::find(keys.begin(), keys.end(), key) != keys.end();
}

void WizardTest::OpenOn(int index) {
  pages = wizard::MakeWizardPages(paths);
  sheet = std::make_unique<wizard::CPropSheet>(nullptr, index);
  for (auto& page : pages) sheet->AddPage(page.get());
  sheet->SetWizardMode();
  sheet->EnsureInitialized();
  sheet->show();
  ASSERT_EQ(sheet->GetActiveIndex(), index);
}

void WizardTest::Next() {
  Click(sheet.get(), fw::ID_WIZNEXT);
}
void WizardTest::Back() {
  Click(sheet.get(), fw::ID_WIZBACK);
}
void WizardTest::Cancel() {
  Click(sheet.get(), fw::IDCANCEL);
}
void WizardTest::Finish() {
  Click(sheet.get(), fw::ID_WIZFINISH);
}

std::string WizardTest::Text(int id) const {
  return Page()->GetDlgItemText(id);
}
bool WizardTest::Checked(int id) const {
  return Page()->IsDlgButtonChecked(id) == fw::BST_CHECKED;
}
bool WizardTest::Enabled(int id) const {
  return Page()->IsWindowEnabled(id);
}
void WizardTest::ClickOnPage(int id) {
  Click(Page(), id);
}
void WizardTest::Type(int id, const std::string& text) {
  TypeText(Page(), id, text);
}

bool WizardTest::PageShowsText(const std::string& text) const {
  const QString wanted = QString::fromStdString(text);
  for (const QLabel* label : Page()->findChildren<QLabel*>()) {
    if (label->text() == wanted) return true;
  }
  for (const QAbstractButton* button : Page()->findChildren<QAbstractButton*>()) {
    if (button->text() == wanted) return true;
  }
  return false;
}

}  // namespace kc::test
