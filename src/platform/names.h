// The small rules names follow throughout the system: letter case as Windows
// ignores it in file and key names, blanks as INI lines and command lines skip
// them, and the parts of file names and host paths. Letter case is ASCII only,
// whatever the host's locale: a locale must not change which names are equal
// or how they sort.
#pragma once

#include <string>
#include <string_view>

namespace kc::platform {

char Upper(char c);
char Lower(char c);
bool EqualNoCase(std::string_view a, std::string_view b);

// A blank or a tab.
bool IsBlank(char c);

// A file name up to its first "." (the whole name when it has none).
std::string Stem(const std::string& fileName);

// A host path's folder ("." when it has no slash, "/" at the root) and the
// name after its last slash.
std::string FolderOf(const std::string& hostPath);
std::string NameOf(const std::string& hostPath);

// A Windows path's parts, split at its last backslash or slash: the characters
// after it (the whole path when it has none) and those before it ("" then).
std::string FileNamePart(std::string_view path);
std::string DirectoryPart(std::string_view path);

}  // namespace kc::platform
