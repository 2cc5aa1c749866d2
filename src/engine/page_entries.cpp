#include "engine/page_entries.h"

#include <cstdio>

#include "engine/directory_utils.h"
#include "platform/files.h"

namespace kc::engine {
namespace {

constexpr const char* kDialupMainFile = "main.htm";

bool EndsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

bool OpensForReading(const std::string& path) {
  std::FILE* file = win::fopen(path.c_str(), "r");
  if (file == nullptr) return false;
  std::fclose(file);
  return true;
}

std::string UnreadableFileProblem(const std::string& path) {
  if (IsDirectory(path)) return path + " is a folder, not a file";
  if (!IsFile(path)) return path + " does not exist";
  if (!OpensForReading(path)) return path + " cannot be read: " + win::LastErrorText();
  return "";
}

// A slash separates as a backslash does (Mended: a folder typed as "C:/pkg/"
// became "C:/pkg/\main.htm").
std::string CompleteDialupEntry(const std::string& entry) {
  if (!entry.empty() && (entry.back() == '\\' || entry.back() == '/')) return entry + kDialupMainFile;
  if (!EndsWith(FileNamePart(entry), kDialupMainFile)) return entry + "\\" + kDialupMainFile;
  return entry;
}

}  // namespace kc::engine
