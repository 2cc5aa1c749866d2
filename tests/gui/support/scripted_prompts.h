// Scripted prompts for GUI tests. While an object lives it is the current
// prompts: every message box, file dialog and modal dialog run is recorded
// and answered from the script, in order. A prompt that the script does not
// expect (none left, or of another kind) fails the test with a description of
// the prompt; an answer never asked for fails it when the object goes.
//
//   ScriptedPrompts prompts;
//   prompts.AnswerMessageBox(IDOK);
//   prompts.AnswerDialog([](CDialog& d) { d.SetDlgItemText(1035, "C:\\out"); return IDOK; });
//   ... drive the code ...
//   EXPECT_EQ(prompts.Requests()[0].text, "The base path is invalid.");
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "framework/dialog.h"
#include "framework/prompts.h"

namespace kc::test {

struct PromptRecord {
  enum class Kind { MessageBox, FileDialog, Dialog };
  Kind kind = Kind::MessageBox;
  // Message box: text, caption, type (buttons | icon).
  std::string text;
  std::string caption;
  unsigned type = 0;
  // File dialog.
  bool open = false;
  std::string filter;
  std::string initialName;
  std::string defaultExt;
  unsigned flags = 0;
  std::string initialFolder;
  // Modal dialog: its template and window title (caption).
  int templateId = 0;

  std::string Describe() const;
};

class ScriptedPrompts : public fw::Prompts {
 public:
  // A dialog script runs inside the dialog's real modal loop, after
  // OnInitDialog. It may read and change controls and press buttons; if the
  // dialog is still open afterwards, its result decides: IDOK runs OnOK,
  // IDCANCEL OnCancel, anything else ends the dialog with that code.
  using DialogScript = std::function<int(fw::CDialog&)>;

  ScriptedPrompts();
  ~ScriptedPrompts() override;
  ScriptedPrompts(const ScriptedPrompts&) = delete;
  ScriptedPrompts& operator=(const ScriptedPrompts&) = delete;

  void AnswerMessageBox(int result = fw::IDOK);
  void AnswerFile(const std::string& windowsPath);
  void CancelFile();
  void AnswerDialog(DialogScript script);
  void AnswerDialog(int result);

  const std::vector<PromptRecord>& Requests() const { return m_requests; }
  std::size_t Pending() const { return m_answers.size(); }

  int MessageBox(const fw::MessageBoxRequest& request) override;
  std::optional<std::string> FileDialog(const fw::FileDialogRequest& request) override;
  int RunModal(fw::CDialog& dialog) override;

 private:
  struct Answer {
    PromptRecord::Kind kind;
    int result = 0;
    std::optional<std::string> file;
    DialogScript script;
  };
  std::optional<Answer> Take(const PromptRecord& record);

  std::deque<Answer> m_answers;
  std::vector<PromptRecord> m_requests;
  fw::Prompts* m_previous = nullptr;
};

}  // namespace kc::test
