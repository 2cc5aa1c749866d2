// The sample kit ($KITCOMP_TEST_KIT, the build's kit folder) copied into a
// temporary folder mapped as drive C:, started from its kitcomp folder as the
// desktop program starts, and a welcome dialog opened on it.
#pragma once

#include <gtest/gtest.h>

#include <QByteArray>
#include <QTemporaryDir>
#include <memory>
#include <string>

#include "app/gui/welcome_dlg.h"
#include "support/scripted_prompts.h"

namespace kc::test {

inline constexpr const char* kInstallRoot = "C:\\kit";

class AppTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  std::string Host(const std::string& windowsPath) const;
  void WriteFile(const std::string& windowsPath, const std::string& content);
  std::string ReadFile(const std::string& windowsPath) const;
  bool Exists(const std::string& windowsPath) const;

  // A saved configuration: the kit's default configuration with its sample
  // paths moved onto the copy and its output path set to `outputPath`.
  std::string MakeConfiguration(const std::string& windowsPath, const std::string& outputPath = "C:\\out");

  // Opens the welcome dialog (start-up runs in its initialisation).
  void OpenWelcome();
  void PressNext();

  QTemporaryDir drive;
  std::string originalRoot;  // the kit's own install root, as its files name it
  std::unique_ptr<ScriptedPrompts> prompts;
  std::unique_ptr<app::CWelcomeDlg> welcome;
  std::string savedCwd;
  QByteArray savedDrives;
  bool hadDrives = false;
};

}  // namespace kc::test
