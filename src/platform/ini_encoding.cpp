#include "platform/ini_encoding.h"

namespace win::ini {

using kc::platform::kUtf16LeBom;
using kc::platform::kUtf8Bom;

bool DecodeFileText(std::string bytes, FileText& out, std::string& problem) {
  out = {};
  const std::string_view view = bytes;
  if (view.substr(0, kUtf8Bom.size()) == kUtf8Bom) {
    out.form = FileForm::kUtf8Bom;
    bytes.erase(0, kUtf8Bom.size());
    out.text = std::move(bytes);
    return true;
  }
  if (view.substr(0, kUtf16LeBom.size()) == kUtf16LeBom) {
    out.form = FileForm::kUtf16LeBom;
    std::size_t bad = 0;
    std::optional<std::string> text = kc::platform::Utf16LeToUtf8(view.substr(kUtf16LeBom.size()), &bad);
    if (!text) {
      problem = "the file is UTF-16 text that is not valid at byte " + std::to_string(bad + kUtf16LeBom.size()) +
                " (an unpaired surrogate or half a character), which the program cannot hold";
      return false;
    }
    out.text = std::move(*text);
    return true;
  }
  out.text = std::move(bytes);
  return true;
}

std::string EncodeFileText(FileForm form, std::string text) {
  switch (form) {
    case FileForm::kUtf8Bom:
      return text.insert(0, kUtf8Bom);
    case FileForm::kUtf16LeBom:
      return std::string(kUtf16LeBom) + kc::platform::NarrowToUtf16Le(text);
    case FileForm::kAnsi:
      break;
  }
  return text;
}

std::string ArgumentText(FileForm form, std::string_view argument) {
  return form == FileForm::kAnsi ? std::string(argument) : kc::platform::NarrowToUtf8(argument);
}

kc::platform::TextEncoding TypedTextEncoding(const FileText& file) {
  return file.form == FileForm::kAnsi && !kc::platform::IsUtf8(file.text) ? kc::platform::TextEncoding::kWindows1252
                                                                          : kc::platform::TextEncoding::kUtf8;
}

}  // namespace win::ini
