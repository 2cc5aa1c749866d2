// The file list the engine writes for pkgindex: first line "1;", then one path
// per line followed by a space. Lines may end in CRLF, LF or CR.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kc::tools {

// The listed paths, trailing blanks removed, empty lines skipped. Text whose
// first line is not "1;" is a ToolFailure (kExitBadInput) naming `shownName`.
std::vector<std::string> ParseFileList(std::string_view text, const std::string& shownName);

// Reads and parses the list at a Windows path.
std::vector<std::string> ReadFileList(const std::string& windowsPath);

}  // namespace kc::tools
