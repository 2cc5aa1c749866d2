// The input files of an archive: one named file, or the files of a folder tree,
// each with the entry name it gets, its size, modification time and mode.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kc::tools {

struct SourceFile {
  std::string entryName;    // relative name with "/" separators
  std::string windowsPath;  // where the data is read from
  std::uint64_t size = 0;
  std::int64_t mtime = 0;     // seconds since the Unix epoch, from the file itself
  std::uint32_t mode = 0644;  // 0644, or 0755 when the file has any executable bit
};

struct FolderScan {
  std::vector<SourceFile> files;          // sorted by NameLess of entryName
  std::vector<std::string> skippedLinks;  // linked folders, not followed (loops)
};

// The files below `windowsFolder` whose names match `pattern` (Windows wildcard
// rules), in every subfolder as well, named relative to the folder. Names
// starting with "." (files and folders) are left out unless includeHidden.
// A missing folder is a ToolFailure (kExitBadInput, "folder not found").
FolderScan ScanFolder(const std::string& windowsFolder, const std::string& pattern, bool includeHidden);

// One file under the given entry name. A missing file or a folder is a
// ToolFailure (kExitBadInput).
SourceFile DescribeFile(const std::string& windowsPath, const std::string& entryName);

// Whether a Windows path's last part holds a wildcard ("*" or "?").
bool IsPattern(const std::string& windowsPath);

}  // namespace kc::tools
