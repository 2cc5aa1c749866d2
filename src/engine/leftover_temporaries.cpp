#include "engine/leftover_temporaries.h"

#include <functional>
#include <vector>

#include "config/run_paths.h"
#include "engine/directory_utils.h"
#include "platform/atomic_file.h"
#include "platform/files.h"

namespace kc::engine {
namespace {

// Deeper than any work area goes; a bound all the same.
constexpr int kDeepest = 16;

bool IsDotName(const std::string& name) {
  return name == "." || name == "..";
}

// Removes the entries of `folder` that `remove` picks, and goes into its
// subfolders (never through a link) while `depth` allows. Returns the count.
int Sweep(const std::string& folder, int depth, const std::function<bool(const std::string&)>& remove) {
  std::vector<std::string> files;
  std::vector<std::string> folders;
  win::WIN32_FIND_DATAA entry;
  win::HANDLE find = win::FindFirstFileA((folder + "\\*.*").c_str(), &entry);
  if (find == win::INVALID_HANDLE_VALUE) return 0;
  do {
    const std::string name = entry.cFileName;
    if (IsDotName(name)) continue;
    const bool isFolder = (entry.dwFileAttributes & win::FILE_ATTRIBUTE_DIRECTORY) != 0;
    const bool isLink = (entry.dwFileAttributes & win::FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    if (!isFolder && remove(name)) {
      files.push_back(name);
    } else if (isFolder && !isLink) {
      folders.push_back(name);
    }
  } while (win::FindNextFileA(find, &entry) == win::TRUE);
  win::FindClose(find);

  int removed = 0;
  for (const std::string& name : files) removed += win::DeleteFileA((folder + "\\" + name).c_str()) == win::TRUE;
  if (depth > 0) {
    for (const std::string& name : folders) removed += Sweep(folder + "\\" + name, depth - 1, remove);
  }
  return removed;
}

bool AnyTemporary(const std::string& name) {
  return platform::IsTemporaryFileName(name);
}

}  // namespace

int RemoveLeftoverTemporaries(const std::string& installRoot) {
  int removed = Sweep(installRoot + config::kCustomPart, kDeepest, AnyTemporary);
  removed += Sweep(installRoot + config::kSourceModulesPart, 0, AnyTemporary);
  removed += Sweep(installRoot + config::kKitcompPart, 0, AnyTemporary);
  return removed;
}

void RemoveTemporariesOf(const std::string& file) {
  const std::string name = FileNamePart(file);
  if (DirectoryPart(file).empty()) return;  // outputs are full paths
  Sweep(DirectoryPart(file), 0, [&](const std::string& entry) { return platform::IsTemporaryFileName(entry, name); });
}

}  // namespace kc::engine
