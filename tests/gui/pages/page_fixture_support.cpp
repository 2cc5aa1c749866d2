#include "page_fixture.h"

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <algorithm>
#include <filesystem>
#include <fstream>

#include "config/profile_access.h"
#include "framework/win_defs.h"
#include "platform/drives.h"
#include "support/gui_driver.h"

namespace kc::test {

void PageTest::SetUp() {
  ASSERT_TRUE(drive.isValid());
  savedCwd = std::filesystem::current_path().string();
  win::DriveTable::Set({{"C:", drive.path().toStdString()}});
  MakeFolder("C:\\kit\\kitcomp");
  MakeFolder("C:\\kit\\custom\\engine");
  MakeFile("C:\\kit\\source\\install\\setup.exe");
  MakeFile("C:\\kit\\source\\install\\setup.ini", "[Product Defaults]\r\n");
  MakeFile("C:\\kit\\source\\install\\readme.txt");
  MakeFile("C:\\kit\\kitcomp\\kitcomp.ini",
           "[Kit Composer]\r\nLUMENARY VERSION NAME 32=Lumenary 4.5\r\n"
           "[Main Modules 32]\r\nLumenary 4.5=lume\r\n"
           "[Available 32]\r\nCalendar=cal\r\nChat=chat\r\n"
           "[Multimedia 32]\r\nAudio Player=audio\r\n");
  auto made = config::MakeRunPaths("C:\\kit");
  ASSERT_TRUE(made.ok());
  paths = made.value();
  SetChoices("[Global]\r\n");
  prompts = std::make_unique<ScriptedPrompts>();
}

void PageTest::TearDown() {
  if (sheet) sheet->hide();
  sheet.reset();  // before the pages it shows
  pages.clear();
  prompts.reset();
  std::filesystem::current_path(savedCwd);
  win::DriveTable::Reload();
}

std::string PageTest::Host(const std::string& windowsPath) const {
  std::string rest = windowsPath.substr(2);
  std::replace(rest.begin(), rest.end(), '\\', '/');
  return drive.path().toStdString() + rest;
}

void PageTest::MakeFolder(const std::string& windowsPath) {
  std::filesystem::create_directories(Host(windowsPath));
}

void PageTest::MakeFile(const std::string& windowsPath, const std::string& content) {
  const std::filesystem::path host = Host(windowsPath);
  std::filesystem::create_directories(host.parent_path());
  std::ofstream(host, std::ios::binary) << content;
}

void PageTest::SetChoices(const std::string& iniText) { MakeFile(paths.choicesFile, iniText); }

std::string PageTest::Choice(const char* key, const char* section) const {
  return config::ReadValue(paths.choicesFile, section, key);
}

bool PageTest::HasChoice(const char* key, const char* section) const {
  const auto keys = config::ReadAllKeys(paths.choicesFile, section);
  return std::find(keys.begin(), keys.end(), key) != keys.end();
}

void PageTest::OpenOn(int index) {
  pages = wizard::MakeWizardPages(paths);
  sheet = std::make_unique<wizard::CPropSheet>(nullptr, index);
  for (auto& page : pages) sheet->AddPage(page.get());
  sheet->SetWizardMode();
  sheet->EnsureInitialized();
  sheet->show();
  ASSERT_EQ(sheet->GetActiveIndex(), index);
}

void PageTest::Next() { Click(sheet.get(), fw::ID_WIZNEXT); }
void PageTest::Back() { Click(sheet.get(), fw::ID_WIZBACK); }
void PageTest::Finish() { Click(sheet.get(), fw::ID_WIZFINISH); }

std::string PageTest::Text(int id) const { return Page()->GetDlgItemText(id); }
bool PageTest::Checked(int id) const { return Page()->IsDlgButtonChecked(id) == fw::BST_CHECKED; }
bool PageTest::Enabled(int id) const { return Page()->IsWindowEnabled(id); }

}  // namespace kc::test
