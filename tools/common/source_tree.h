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
  std::string linkTarget;     // a symbolic link stored as a link: its relative target
};

// What becomes of symbolic links below a scanned folder.
enum class LinkPolicy {
  Follow,      // a linked file is read through the link; linked folders are skipped
  KeepInside,  // links are stored as links when their target stays inside the
               // folder, and refused (ToolFailure) when it leads outside
};

struct FolderScan {
  std::vector<SourceFile> files;              // sorted by NameLess of entryName
  std::vector<std::string> skippedLinks;      // linked folders, not followed (loops)
  std::vector<std::string> skippedLeftovers;  // temporaries of interrupted writes
};

// The files below `windowsFolder` whose names match `pattern` (Windows wildcard
// rules), in every subfolder as well, named relative to the folder. Names
// starting with "." (files and folders) are left out unless includeHidden.
// Temporary files that an interrupted copy or write left behind
// (platform::IsTemporaryFileName) are always left out. A missing folder is a ToolFailure
// (kExitBadInput, "folder not found"); so is a FIFO, socket or device node,
// which is no file to archive (reading a FIFO would wait forever).
FolderScan ScanFolder(const std::string& windowsFolder, const std::string& pattern, bool includeHidden,
                      LinkPolicy links = LinkPolicy::Follow);

// One file under the given entry name. A missing file, a folder or a special
// file (FIFO, socket, device) is a ToolFailure (kExitBadInput).
SourceFile DescribeFile(const std::string& windowsPath, const std::string& entryName);

// Whether a Windows path's last part holds a wildcard ("*" or "?").
bool IsPattern(const std::string& windowsPath);

}  // namespace kc::tools
