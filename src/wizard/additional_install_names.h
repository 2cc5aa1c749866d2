// The names an additional installer takes on in the generated installer: the
// module file name derived from its executable's path, and the checks that keep
// that name and its descriptive module name from clashing with the installer.
#pragma once

#include <string>
#include <vector>

#include "config/run_paths.h"

namespace kc::wizard {

// Removes trailing blanks, tabs and line ends; leading white space stays.
std::string TrimTrailingWhiteSpace(const std::string& text);

// The module file name of an additional installer: the characters after the
// last backslash or slash of the path (FileNamePart; the whole path when it
// has none) up to the first "." (to the end when there is none). Slot 1 gives
// "" for a name beginning with "."; slot 2 always takes the first character and
// looks for the "." from the second on, as the stored configurations of
// earlier versions expect.
std::string DeriveModuleFileName(const std::string& path, int slot);

// Module file stems the installer already uses: every file stem of
// source\install (setup, readme, ...) and the delivered modules (the values of
// the program INI file's module lists and the modules every kit carries); and
// the names its [Components] section already gives to components (the keys of
// the source installer's section and of the program INI file's main and
// optional module lists), which a description would replace.
struct ReservedModuleNames {
  std::vector<std::string> installerFiles;    // stems of the files of source\install
  std::vector<std::string> deliveredModules;  // module stems, as listed
  std::vector<std::string> componentNames;    // key names of [Components], as listed
};
ReservedModuleNames LoadReservedModuleNames(const config::RunPaths& paths);

// One included slot as the page checks it.
struct AdditionalInstallNames {
  std::string description;  // trimmed
  std::string fileName;     // derived from the trimmed path
};

// Why this slot's names would break the generated installer, or "" when they
// are fine. In this order: a description that cannot be a key of the
// installer's setup.ini; a description used by the other included slot (null
// when that slot is not included); a description that is already a component
// name; an empty file name, or one that is not a plain file name
// (engine::FileNameProblem); a file name used by the other included slot; a
// file name of the installer's own files; a file name of a delivered module. Names compare
// without regard to case, as INI key names and Windows file names do.
std::string AdditionalInstallNameProblem(const AdditionalInstallNames& slot,
                                         const AdditionalInstallNames* otherIncludedSlot,
                                         const ReservedModuleNames& reserved);

}  // namespace kc::wizard
