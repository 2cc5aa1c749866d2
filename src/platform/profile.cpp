// The Win32 profile functions on files: path mapping, reading and atomic
// replacement around the text layer of ini_text.
#include "platform/profile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/atomic_file.h"
#include "platform/drives.h"
#include "platform/ini_encoding.h"
#include "platform/ini_text.h"
#include "platform/names.h"

namespace win {

namespace {

enum class Loaded { kText, kMissing, kFailed };

// Reads and decodes the profile named by a Windows path. A file that is not
// there reads as empty text; the last error says why anything else failed.
Loaded LoadProfile(LPCSTR fileName, std::string& hostPath, ini::FileText& file) {
  file = {};
  if (fileName == nullptr) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return Loaded::kMissing;
  }
  std::optional<std::string> host = ToHostPath(fileName);
  if (!host) return Loaded::kFailed;
  hostPath = std::move(*host);
  std::string bytes;
  if (!kc::platform::ReadWholeFile(hostPath, bytes)) {
    int err = errno;
    SetLastErrorFromErrno(err);
    return (err == ENOENT || err == ENOTDIR) ? Loaded::kMissing : Loaded::kFailed;
  }
  std::string problem;
  if (!ini::DecodeFileText(std::move(bytes), file, problem)) {
    file = {};
    SetLastError(ERROR_NO_UNICODE_TRANSLATION, std::string(fileName) + ": " + problem);
    return Loaded::kFailed;
  }
  return Loaded::kText;
}

// A call's name or value in the text form of the file (null stays null).
struct Argument {
  Argument(ini::FileForm form, LPCSTR text) : given(text != nullptr) {
    if (given) value = ini::ArgumentText(form, text);
  }
  bool given;
  std::string value;
};

// Copies a value with the Windows cut: at most size-1 characters.
DWORD CopyValue(std::string_view value, LPSTR buffer, DWORD size) {
  DWORD n = static_cast<DWORD>(std::min<std::size_t>(value.size(), size - 1));
  std::memcpy(buffer, value.data(), n);
  buffer[n] = '\0';
  return n;
}

// Windows drops trailing blanks of the default, not leading ones.
std::string_view DefaultText(LPCSTR defaultValue) {
  std::string_view d = defaultValue ? defaultValue : "";
  while (!d.empty() && kc::platform::IsBlank(d.back())) d.remove_suffix(1);
  return d;
}

}  // namespace

DWORD GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR defaultValue, LPSTR buffer, DWORD size,
                               LPCSTR fileName) {
  if (buffer == nullptr || size == 0) return 0;
  std::string hostPath;
  ini::FileText file;
  Loaded loaded = LoadProfile(fileName, hostPath, file);
  const std::string& text = file.text;
  const Argument sectionName(file.form, section);
  const Argument keyName(file.form, key);

  if (!sectionName.given) {
    ini::NameListWriter list(buffer, size);
    ini::ListSections(text, list);
    return list.Finish();
  }
  if (!keyName.given) {
    ini::NameListWriter list(buffer, size);
    ini::ListKeys(text, sectionName.value, list);
    if (!list.Empty()) {
      SetLastError(ERROR_SUCCESS);
      return list.Finish();
    }
  } else if (std::optional<std::string_view> raw = ini::FindRawValue(text, sectionName.value, keyName.value)) {
    SetLastError(ERROR_SUCCESS);
    return CopyValue(ini::ReadableValue(*raw), buffer, size);
  }
  // Windows reports a missing file, section or key as a missing file.
  if (loaded == Loaded::kText) SetLastError(ERROR_FILE_NOT_FOUND);
  return CopyValue(DefaultText(defaultValue), buffer, size);
}

BOOL WritePrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR fileName) {
  if (!ProfileTextProblem(section, key, value).empty() || fileName == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  std::string hostPath;
  ini::FileText file;
  // A file that cannot be read whole is never rewritten: that would lose it.
  if (LoadProfile(fileName, hostPath, file) == Loaded::kFailed) return FALSE;
  const Argument sectionName(file.form, section);
  const Argument keyName(file.form, key);
  const Argument newValue(file.form, value);

  std::optional<std::string> updated;
  if (!keyName.given) {
    updated = ini::DeleteSection(file.text, sectionName.value);
  } else if (!newValue.given) {
    updated = ini::DeleteKey(file.text, sectionName.value, keyName.value);
  } else {
    updated = ini::SetValue(file.text, sectionName.value, keyName.value, newValue.value);
  }
  if (!updated) {  // nothing to change: the file is left as it is, not rewritten
    SetLastError(ERROR_SUCCESS);
    return TRUE;
  }
  if (!kc::platform::WriteFileAtomically(hostPath, ini::EncodeFileText(file.form, std::move(*updated)))) {
    SetLastErrorFromErrno(errno);
    return FALSE;
  }
  SetLastError(ERROR_SUCCESS);
  return TRUE;
}

kc::platform::TextEncoding ProfileTextEncoding(LPCSTR fileName) {
  std::string hostPath;
  ini::FileText file;
  LoadProfile(fileName, hostPath, file);
  return ini::TypedTextEncoding(file);
}

std::string ProfileTextProblem(LPCSTR section, LPCSTR key, LPCSTR value) {
  return ini::TextProblem(section, key, value);
}

}  // namespace win
