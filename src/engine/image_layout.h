// Where the images of a build go below the output path and the names of the
// files the image assembly and the tools make in them.
#pragma once

#include "config/keys.h"

namespace kc::engine {

// A network installer's two image sets below the output path.
inline constexpr const char* kAdministratorPart = "\\administrator";
inline constexpr const char* kEndUserPart = "\\end_user";

// Set to "YES" in the administrator's CD image, in this order, after "Mode"
// is set to "Admin" in "Network Install".
inline constexpr const char* kAdministratorDialogs[] = {
    config::kShowDialogs,
    config::kShowSetupTypeDialog,
    config::kShowReadmeDialog,
    config::kShowLicenseDialog,
    config::kShowPathDialog,
    config::kShowOptionsDialog,
    config::kShowAssociationsDialog,
    config::kShowSelectFolderDialog,
    config::kShowStartCopyDialog,
    config::kShowFinishDialog,
};

// In an image directory (with its trailing backslash).
inline constexpr const char* kFileListName = "setup.lst";
inline constexpr const char* kPackageListName = "setup.pkg";
inline constexpr const char* kSplashName = "setup.bmp";
inline constexpr const char* kGatheringFolder = "temp\\";           // of the network image
inline constexpr const char* kSelfExtractingName = "netsetup.exe";  // what sfxmaker.exe writes
inline constexpr const char* kDiskImageName = "setup.iso";          // the disk image's one file

// Placed in every image under fixed names, apart from the installer's own files.
inline constexpr const char* kFixedImageNames[] = {"setup.ini", "readme.txt",  "license.txt",   kSplashName,
                                                   "lume.ini",  kFileListName, kPackageListName};

// The module files of a catalogue stem; the script is optional.
inline constexpr const char* kModuleExtensions[] = {".z", ".ins", ".ini"};

}  // namespace kc::engine
