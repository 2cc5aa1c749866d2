// A kit in a temporary folder mapped as drive C:, with a program INI file and
// a choices file of the test's own, and the real wizard sheet with the
// wizard's page list, opened on one page.
#pragma once

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <memory>
#include <string>

#include "config/run_paths.h"
#include "support/scripted_prompts.h"
#include "wizard/page_list.h"
#include "wizard/prop_sheet.h"

namespace kc::test {

// Sheet indexes of the pages.
inline constexpr int kInstallerTypePage = 0;
inline constexpr int kPathOptionsPage = 1;
inline constexpr int kComponentsPage = 2;
inline constexpr int kInstallerSettingsPage = 3;
inline constexpr int kDialogControlPage = 4;
inline constexpr int kCustomFilesPage = 5;
inline constexpr int kCustomMorePage = 6;
inline constexpr int kAdditionalInstallsPage = 7;
inline constexpr int kOutputPage = 8;

class WizardTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  std::string Host(const std::string& windowsPath) const;
  // Creates a file (and its folders) at a Windows path on C:.
  void WriteFile(const std::string& windowsPath, const std::string& content);
  void MakeFile(const std::string& windowsPath, const std::string& content = "x") { WriteFile(windowsPath, content); }
  void MakeFolder(const std::string& windowsPath);
  std::string ReadFile(const std::string& windowsPath) const;

  // The choices file's text, replaced whole.
  void SetChoices(const std::string& iniText);
  std::string ChoicesText() const { return ReadFile(paths.choicesFile); }
  std::string Choice(const char* key, const char* section = "Choices-32") const;
  // True when the key is present in the section, even with an empty value.
  bool HasChoice(const char* key, const char* section = "Choices-32") const;
  // The program INI file's text, replaced whole.
  void SetProgramIni(const std::string& iniText);

  // Opens the sheet on page `index` (its activation runs).
  void OpenOn(int index);
  fw::CPropertyPage* Page() const { return sheet->GetActivePage(); }
  int ActiveIndex() const { return sheet->GetActiveIndex(); }
  void Next();
  void Back();
  void Cancel();
  void Finish();

  std::string Text(int id) const;
  bool Checked(int id) const;
  bool Enabled(int id) const;
  void ClickOnPage(int id);
  void Type(int id, const std::string& text);
  // True when a label or button of the current page reads exactly this text.
  bool PageShowsText(const std::string& text) const;

  QTemporaryDir drive;
  config::RunPaths paths;
  std::unique_ptr<ScriptedPrompts> prompts;
  wizard::PageList pages;
  std::unique_ptr<wizard::CPropSheet> sheet;
  std::string savedCwd;
};

}  // namespace kc::test
