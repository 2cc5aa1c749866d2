// The kit's work areas below the install root, as the staging lays them out:
// the staging tree that is merged into the client's archive, the folder of the
// private archives, and the private folders where files are copied under the
// names a tool must store them by. Every build starts them afresh.
#pragma once

#include <string>

#include "config/keys.h"
#include "config/run_paths.h"

namespace kc::engine {

using config::kTempmodPart;
using config::kTemptreePart;

inline const std::string kAnimationFolderPart = std::string(kTemptreePart) + "\\program";
inline const std::string kInboxTargetPart = kAnimationFolderPart + "\\defaults\\mail\\inbox";
inline constexpr const char* kStagedCfgPart = "\\config\\velomark.cfg";  // below the staging tree

// The top-level files of the account setup package, merged into "as.z" from
// here: the package's own folder may hold subfolders nobody asked to ship.
inline const std::string kAccountPackagePart = std::string(kTempmodPart) + "\\account";

// An additional installer copied under the name its settings file gives
// ("<filename>.exe"): squash stores a single file under its own name. Slot 1
// or 2.
inline std::string AdditionalInstallCopyPart(int slot) {
  return kTempmodPart + ("\\install" + std::to_string(slot));
}

// The work areas, emptied at the start of every staging, and the staging
// directories made below them, parents first.
inline constexpr const char* kWorkAreaParts[] = {kTempmodPart, kTemptreePart};
inline const std::string kStagingDirectories[] = {
    kTempmodPart,
    kTemptreePart,
    kAnimationFolderPart,
    kAnimationFolderPart + "\\defaults",
    kAnimationFolderPart + "\\defaults\\mail",
    std::string(kTemptreePart) + "\\config",
};

// The disk image's files are gathered here as a CD image holds them, listed in
// the file list beside the folder, and written from here into the ISO file.
inline const std::string kDiskGatheringPart = std::string(kTempmodPart) + "\\disk";
inline const std::string kDiskFileListPart = std::string(kTempmodPart) + "\\disk.lst";

// Finish's drafts beside the engine setup.ini: the settings are written and
// checked in a copy, which replaces the engine setup.ini only when every check
// passed; the choices file is kept as it was until then.
inline constexpr const char* kFinishDraftPart = "\\custom\\engine\\finish.ini";
inline constexpr const char* kFinishChoicesPart = "\\custom\\engine\\choices.bak";

struct PlacedFile {
  const char* key;     // of the choices file
  std::string target;  // below the install root
};

// Copied when the key names a file, else the target is deleted (a readme or
// licence of an earlier build must not stay in custom\engine).
inline const PlacedFile kReplacedFiles[] = {
    {config::kCustomReadmePath, "\\custom\\engine\\readme.txt"},
    {config::kCustomLicensePath, "\\custom\\engine\\license.txt"},
    {config::kCustomCfgPath, kTemptreePart + std::string(kStagedCfgPart)},
    {config::kCustomBookmarkPath, kAnimationFolderPart + "\\defaults\\bookmark.htm"},
    {config::kCustomAddressbookPath, kAnimationFolderPart + "\\defaults\\pab.ab2"},
    {config::kCustomSecurityFilesPath, kAnimationFolderPart + "\\defaults\\signed0.db"},
};

}  // namespace kc::engine
