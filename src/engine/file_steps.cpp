#include "engine/file_steps.h"

#include <algorithm>
#include <cctype>

#include "config/profile_access.h"
#include "engine/directory_utils.h"
#include "platform/files.h"

namespace kc::engine {

bool CopyRecorded(const std::string& from, const std::string& to, const std::string& step, BuildReport& report) {
  if (win::CopyFileA(from.c_str(), to.c_str(), win::FALSE) == win::TRUE) return true;
  report.AddFailure(step, from, "Could not copy to " + to + ": " + win::LastErrorText());
  return false;
}

void CarryWriteTime(const std::string& source, const std::string& target) {
  std::int64_t seconds = 0;
  if (win::GetFileWriteTime(source.c_str(), &seconds) == win::TRUE) {
    win::SetFileWriteTime(target.c_str(), seconds);
  }
}

void DeleteRecorded(const std::string& path, const std::string& step, BuildReport& report) {
  if (win::DeleteFileA(path.c_str()) == win::TRUE) return;
  const std::string reason = win::LastErrorText();
  if (IsFile(path)) report.AddFailure(step, path, "Could not delete it: " + reason);
}

bool WriteRecorded(const std::string& file, const char* section, const char* key, const std::string& value,
                   const std::string& step, BuildReport& report) {
  if (config::WriteValue(file, section, key, value)) return true;
  report.AddFailure(step, file,
                    std::string("Could not write \"") + key + "\" in [" + section + "]: " + win::LastErrorText());
  return false;
}

void MakeDirectoryRecorded(const std::string& path, const std::string& step, BuildReport& report) {
  if (MakeDirectory(path) == 0) return;
  const std::string reason = win::LastErrorText();
  if (!IsDirectory(path)) report.AddFailure(step, path, "Could not create the directory: " + reason);
}

}  // namespace kc::engine
