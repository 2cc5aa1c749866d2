#include "scripted_prompts.h"

#include <gtest/gtest.h>

#include <QTimer>

namespace kc::test {
namespace {

const char* KindName(PromptRecord::Kind k) {
  switch (k) {
    case PromptRecord::Kind::MessageBox:
      return "message box";
    case PromptRecord::Kind::FileDialog:
      return "file dialog";
    case PromptRecord::Kind::Dialog:
      return "modal dialog";
  }
  return "?";
}

}  // namespace

std::string PromptRecord::Describe() const {
  switch (kind) {
    case Kind::MessageBox:
      return "message box \"" + text + "\" captioned \"" + caption + "\" type " + std::to_string(type);
    case Kind::FileDialog:
      return std::string(open ? "open" : "save") + " file dialog, filter \"" + filter + "\", initial name \"" +
             initialName + "\", default extension \"" + defaultExt + "\", flags " + std::to_string(flags);
    case Kind::Dialog:
      return "modal dialog " + std::to_string(templateId) + " \"" + caption + "\"";
  }
  return "?";
}

ScriptedPrompts::ScriptedPrompts() : m_previous(fw::Prompts::Install(this)) {}

ScriptedPrompts::~ScriptedPrompts() {
  fw::Prompts::Install(m_previous);
  for (const Answer& a : m_answers)
    ADD_FAILURE() << "A scripted answer for a " << KindName(a.kind) << " was never asked for";
}

void ScriptedPrompts::AnswerMessageBox(int result) {
  m_answers.push_back(Answer{PromptRecord::Kind::MessageBox, result, std::nullopt, {}});
}

void ScriptedPrompts::AnswerFile(const std::string& windowsPath) {
  m_answers.push_back(Answer{PromptRecord::Kind::FileDialog, fw::IDOK, windowsPath, {}});
}

void ScriptedPrompts::CancelFile() {
  m_answers.push_back(Answer{PromptRecord::Kind::FileDialog, fw::IDCANCEL, std::nullopt, {}});
}

void ScriptedPrompts::AnswerDialog(DialogScript script) {
  m_answers.push_back(Answer{PromptRecord::Kind::Dialog, 0, std::nullopt, std::move(script)});
}

void ScriptedPrompts::AnswerDialog(int result) {
  AnswerDialog([result](fw::CDialog&) { return result; });
}

std::optional<ScriptedPrompts::Answer> ScriptedPrompts::Take(const PromptRecord& record) {
  m_requests.push_back(record);
  if (m_answers.empty()) {
    ADD_FAILURE() << "Unexpected prompt: " << record.Describe();
    return std::nullopt;
  }
  if (m_answers.front().kind != record.kind) {
    ADD_FAILURE() << "Expected a " << KindName(m_answers.front().kind) << " but got: " << record.Describe();
    return std::nullopt;
  }
  Answer a = std::move(m_answers.front());
  m_answers.pop_front();
  return a;
}

int ScriptedPrompts::MessageBox(const fw::MessageBoxRequest& r) {
  PromptRecord rec;
  rec.kind = PromptRecord::Kind::MessageBox;
  rec.text = r.text;
  rec.caption = r.caption;
  rec.type = r.type;
  const auto a = Take(rec);
  return a ? a->result : fw::IDCANCEL;
}

std::optional<std::string> ScriptedPrompts::FileDialog(const fw::FileDialogRequest& r) {
  PromptRecord rec;
  rec.kind = PromptRecord::Kind::FileDialog;
  rec.open = r.open;
  rec.filter = r.filter;
  rec.initialName = r.initialName;
  rec.defaultExt = r.defaultExt;
  rec.initialFolder = r.initialFolder;
  rec.flags = r.flags;
  const auto a = Take(rec);
  return a ? a->file : std::nullopt;
}

int ScriptedPrompts::RunModal(fw::CDialog& dialog) {
  PromptRecord rec;
  rec.kind = PromptRecord::Kind::Dialog;
  rec.templateId = dialog.GetTemplateId();
  rec.caption = dialog.windowTitle().toStdString();
  auto a = Take(rec);
  if (!a) return fw::IDCANCEL;
  DialogScript script = std::move(a->script);
  QTimer::singleShot(0, &dialog, [&dialog, script] {
    const int result = script(dialog);
    if (dialog.isVisible()) {
      if (result == fw::IDOK)
        dialog.OnOK();
      else if (result == fw::IDCANCEL)
        dialog.OnCancel();
      else
        dialog.EndDialog(result);
    }
    if (dialog.isVisible()) {
      ADD_FAILURE() << "Dialog " << dialog.GetTemplateId() << " refused to close with " << result;
      dialog.EndDialog(fw::IDCANCEL);
    }
  });
  return dialog.RunModalLoop();
}

}  // namespace kc::test
