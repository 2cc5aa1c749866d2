#include <QtGlobal>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app_fixture.h"
#include "config/keys.h"
#include "config/profile_access.h"
#include "platform/drives.h"
#include "platform/files.h"
#include "support/gui_driver.h"

namespace kc::test {
namespace {

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
  for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
  return text;
}

}  // namespace

void AppTest::SetUp() {
  namespace fs = std::filesystem;
  savedCwd = fs::current_path().string();
  ASSERT_TRUE(drive.isValid());
  const char* kitEnv = std::getenv("KITCOMP_TEST_KIT");
  const std::string kit = kitEnv && *kitEnv ? kitEnv : KITCOMP_BUILD_KIT;
  ASSERT_TRUE(fs::is_directory(kit)) << kit << ": the sample kit is missing (build the target kit)";
  std::error_code ec;
  fs::copy(kit, Host("C:\\kit"), fs::copy_options::recursive, ec);
  ASSERT_FALSE(ec) << ec.message();
  // Through the environment, so that the packaging tools the build starts
  // see the same drive.
  savedDrives = qgetenv("KITCOMP_DRIVES");
  hadDrives = qEnvironmentVariableIsSet("KITCOMP_DRIVES");
  qputenv("KITCOMP_DRIVES", ("c=" + drive.path().toStdString()).c_str());
  win::DriveTable::Reload();
  const std::string programIni = "C:\\kit\\kitcomp\\kitcomp.ini";
  originalRoot = config::ReadValue(programIni, config::kKitComposer, config::kInstalledPath);
  ASSERT_FALSE(originalRoot.empty());
  ASSERT_TRUE(config::WriteValue(programIni, config::kKitComposer, config::kInstalledPath, kInstallRoot));
  ASSERT_TRUE(win::SetCurrentDirectoryA("C:\\kit\\kitcomp"));
  prompts = std::make_unique<ScriptedPrompts>();
}

void AppTest::TearDown() {
  if (welcome) welcome->hide();
  welcome.reset();
  prompts.reset();
  std::filesystem::current_path(savedCwd);
  if (hadDrives)
    qputenv("KITCOMP_DRIVES", savedDrives);
  else
    qunsetenv("KITCOMP_DRIVES");
  win::DriveTable::Reload();
}

std::string AppTest::Host(const std::string& windowsPath) const {
  std::string rest = windowsPath.substr(2);
  std::replace(rest.begin(), rest.end(), '\\', '/');
  return drive.path().toStdString() + rest;
}

void AppTest::WriteFile(const std::string& windowsPath, const std::string& content) {
  const std::filesystem::path host = Host(windowsPath);
  std::filesystem::create_directories(host.parent_path());
  std::ofstream(host, std::ios::binary) << content;
}

std::string AppTest::ReadFile(const std::string& windowsPath) const {
  std::ifstream in(Host(windowsPath), std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

bool AppTest::Exists(const std::string& windowsPath) const {
  return std::filesystem::exists(Host(windowsPath));
}

std::string AppTest::MakeConfiguration(const std::string& windowsPath, const std::string& outputPath) {
  std::string text = ReplaceAll(ReadFile("C:\\kit\\kitcomp\\default.dkb"), originalRoot, kInstallRoot);
  WriteFile(windowsPath, text);
  config::WriteValue(windowsPath, config::kChoices32, config::kOutputPath, outputPath);
  return ReadFile(windowsPath);
}

void AppTest::OpenWelcome() {
  welcome = std::make_unique<app::CWelcomeDlg>();
  welcome->EnsureInitialized();
  welcome->show();
}

void AppTest::PressNext() {
  Click(welcome.get(), fw::IDOK);
}

}  // namespace kc::test
