// The Win32 profile functions on files: path mapping, reading and atomic
// replacement around the text layer of ini_text.
#include "platform/profile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/atomic_file.h"
#include "platform/drives.h"
#include "platform/ini_text.h"

namespace win {

namespace {

enum class Loaded { kText, kMissing, kFailed };

// Reads the profile named by a Windows path. A file that is not there reads
// as empty text; the last error says why anything else failed.
Loaded LoadProfile(LPCSTR fileName, std::string& hostPath, std::string& text) {
  text.clear();
  if (fileName == nullptr) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return Loaded::kMissing;
  }
  std::optional<std::string> host = ToHostPath(fileName);
  if (!host) return Loaded::kFailed;
  hostPath = std::move(*host);
  if (kc::platform::ReadWholeFile(hostPath, text)) return Loaded::kText;
  int err = errno;
  text.clear();
  SetLastErrorFromErrno(err);
  return (err == ENOENT || err == ENOTDIR) ? Loaded::kMissing : Loaded::kFailed;
}

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
  while (!d.empty() && ini::IsBlank(d.back())) d.remove_suffix(1);
  return d;
}

}  // namespace

DWORD GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR defaultValue, LPSTR buffer, DWORD size,
                               LPCSTR fileName) {
  if (buffer == nullptr || size == 0) return 0;
  std::string hostPath;
  std::string text;
  Loaded loaded = LoadProfile(fileName, hostPath, text);
  if (loaded != Loaded::kText) text.clear();

  if (section == nullptr) {
    ini::NameListWriter list(buffer, size);
    ini::ListSections(text, list);
    return list.Finish();
  }
  if (key == nullptr) {
    ini::NameListWriter list(buffer, size);
    ini::ListKeys(text, section, list);
    if (!list.Empty()) {
      SetLastError(ERROR_SUCCESS);
      return list.Finish();
    }
  } else if (std::optional<std::string_view> raw = ini::FindRawValue(text, section, key)) {
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
  std::string text;
  if (LoadProfile(fileName, hostPath, text) == Loaded::kFailed) return FALSE;

  std::optional<std::string> updated;
  if (key == nullptr) {
    updated = ini::DeleteSection(text, section);
  } else if (value == nullptr) {
    updated = ini::DeleteKey(text, section, key);
  } else {
    updated = ini::SetValue(text, section, key, value);
  }
  if (!updated) {  // nothing to change: the file is left as it is, not rewritten
    SetLastError(ERROR_SUCCESS);
    return TRUE;
  }
  if (!kc::platform::WriteFileAtomically(hostPath, *updated)) {
    SetLastErrorFromErrno(errno);
    return FALSE;
  }
  SetLastError(ERROR_SUCCESS);
  return TRUE;
}

std::string ProfileTextProblem(LPCSTR section, LPCSTR key, LPCSTR value) {
  return ini::TextProblem(section, key, value);
}

}  // namespace win
