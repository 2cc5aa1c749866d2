// The additional installs page's rules: the module file name an additional
// installer takes on, derived from its executable's path; the checks that keep
// that name and its descriptive module name from clashing with the installer;
// and the page's checks of a whole slot, in its order. Kept apart from the page
// so that `kitcomp check` and `--set` apply them too.
#pragma once

#include <string>
#include <vector>

#include "config/run_paths.h"

namespace kc::engine {

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
// source\install (setup, readme, ...; its folders reach no image, so they take
// no name) and the delivered modules (the values of
// the program INI file's module lists and the modules every kit carries); and
// the names its [Components] section already gives to components (the keys of
// the source installer's section and of the program INI file's main and
// optional module lists), which a description would replace.
struct ReservedModuleNames {
  std::vector<std::string> installerFiles;    // stems of the files of source\install
  std::vector<std::string> deliveredModules;  // module stems, as listed
  std::vector<std::string> componentNames;    // key names of [Components], as listed
};
ReservedModuleNames LoadReservedModuleNames(const std::string& installRoot);

// The names an additional installer's module file may not take, one rule for
// the page and the build: why `name` cannot be the module file name of an
// included slot, in this order: it is empty; it is not a plain file name
// (FileNameProblem); the other included slot has it (null when that slot is
// not included); it is the stem of an installer's own file; it is a delivered
// module. Names compare without regard to case, as Windows file names do.
struct ModuleNameClash {
  enum class Kind { kNone, kEmpty, kNotPlainFileName, kOtherSlot, kInstallerFile, kDeliveredModule };
  Kind kind = Kind::kNone;
  std::string taker;  // the rule's detail: the FileNameProblem, the installer's file, or the module
};
ModuleNameClash ModuleFileNameClash(const std::string& name, const std::string* otherIncludedName,
                                    const ReservedModuleNames& reserved);

// One included slot as the page checks it.
struct AdditionalInstallNames {
  std::string description;  // trimmed
  std::string fileName;     // derived from the trimmed path
};

// Why this slot's names would break the generated installer, or "" when they
// are fine. In this order: a description that cannot be a key of the
// installer's setup.ini; a description used by the other included slot (null
// when that slot is not included); a description that is already a component
// name; then the file name's clash (ModuleFileNameClash). Descriptions compare
// without regard to case, as INI key names do.
std::string AdditionalInstallNameProblem(const AdditionalInstallNames& slot,
                                         const AdditionalInstallNames* otherIncludedSlot,
                                         const ReservedModuleNames& reserved);

// One slot's entries as typed, and its include box.
struct AdditionalInstallEntry {
  bool include = false;
  std::string path, description, size;
};

// How far an included slot got through the page's checks, in the page's order:
// the path is not empty after trimming and opens for reading, the description
// is not empty, the size is not empty, then the names
// (AdditionalInstallNameProblem, against the other slot when it is included).
// The page stores each entry that passed before it refuses, so a refusal says
// which ones did.
struct AdditionalInstallVerdict {
  enum class Passed { kNothing, kPath, kDescription, kSize, kAll };
  Passed passed = Passed::kNothing;
  std::string problem;                  // the page's message; "" when every check passed
  std::string path, description, size;  // trimmed, as stored
  std::string fileName;                 // derived from the trimmed path
};
AdditionalInstallVerdict CheckAdditionalInstall(const AdditionalInstallEntry (&slots)[2], int index,
                                                const ReservedModuleNames& reserved);

// Both slots as the platform section of a choices file holds them.
void ReadAdditionalInstallEntries(const std::string& choicesFile, AdditionalInstallEntry (&slots)[2]);

}  // namespace kc::engine
