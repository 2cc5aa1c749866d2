// A kit in a temporary folder mapped as drive c:, its choices file, and the
// real wizard sheet with all nine pages opened on one of them.
#pragma once

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <string>

#include "config/run_paths.h"
#include "support/scripted_prompts.h"
#include "wizard/page_list.h"
#include "wizard/prop_sheet.h"

namespace kc::test {

// Sheet indexes of the pages under test.
inline constexpr int kCustomFilesPage = 5;
inline constexpr int kCustomMorePage = 6;
inline constexpr int kAdditionalInstallsPage = 7;
inline constexpr int kOutputPage = 8;

class PageTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Host path of a Windows path on drive c: ("C:\kit\x" -> <tmp>/kit/x).
  std::string Host(const std::string& windowsPath) const;
  // Creates a file (and its folders) at a Windows path on c:.
  void MakeFile(const std::string& windowsPath, const std::string& content = "x");
  void MakeFolder(const std::string& windowsPath);

  // The choices file's text, replaced whole.
  void SetChoices(const std::string& iniText);
  std::string Choice(const char* key, const char* section = "Choices-32") const;
  // True when the key is present in the section, even with an empty value.
  bool HasChoice(const char* key, const char* section = "Choices-32") const;

  // Opens the sheet on page `index` (its activation runs).
  void OpenOn(int index);
  fw::CPropertyPage* Page() const { return sheet->GetActivePage(); }
  int ActiveIndex() const { return sheet->GetActiveIndex(); }
  void Next();
  void Back();
  void Finish();

  std::string Text(int id) const;
  bool Checked(int id) const;
  bool Enabled(int id) const;

  QTemporaryDir drive;
  config::RunPaths paths;
  std::unique_ptr<ScriptedPrompts> prompts;
  wizard::PageList pages;
  std::unique_ptr<wizard::CPropSheet> sheet;
  std::string savedCwd;
};

}  // namespace kc::test
