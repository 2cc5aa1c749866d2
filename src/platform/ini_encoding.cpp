#include "platform/ini_encoding.h"

namespace win::ini {

using kc::platform::kUtf16LeBom;
using kc::platform::kUtf8Bom;

bool DecodeFileText(std::string_view bytes, FileText& out, std::string& problem) {
  out = {};
  if (bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom) {
    out.form = FileForm::kUtf8Bom;
    out.text = bytes.substr(kUtf8Bom.size());
    return true;
  }
  if (bytes.substr(0, kUtf16LeBom.size()) == kUtf16LeBom) {
    out.form = FileForm::kUtf16LeBom;
    std::size_t bad = 0;
    std::optional<std::string> text = kc::platform::Utf16LeToUtf8(bytes.substr(kUtf16LeBom.size()), &bad);
    if (!text) {
      problem = "the file is UTF-16 text that is not valid at byte " + std::to_string(bad + kUtf16LeBom.size()) +
                " (an unpaired surrogate or half a character), which the program cannot hold";
      return false;
    }
    out.text = std::move(*text);
    return true;
  }
  out.text = bytes;
  return true;
}

std::string EncodeFileText(FileForm form, std::string_view text) {
  switch (form) {
    case FileForm::kUtf8Bom: return std::string(kUtf8Bom) + std::string(text);
    case FileForm::kUtf16LeBom: return std::string(kUtf16LeBom) + kc::platform::NarrowToUtf16Le(text);
    case FileForm::kAnsi: break;
  }
  return std::string(text);
}

std::string ArgumentText(FileForm form, std::string_view argument) {
  return form == FileForm::kAnsi ? std::string(argument) : kc::platform::NarrowToUtf8(argument);
}

kc::platform::TextEncoding TypedTextEncoding(const FileText& file) {
  return file.form == FileForm::kAnsi && !kc::platform::IsUtf8(file.text) ? kc::platform::TextEncoding::kWindows1252
                                                                          : kc::platform::TextEncoding::kUtf8;
}

}  // namespace win::ini
