// Start-up and the refresh of the working files.
#pragma once

#include <string>

#include "config/run_paths.h"
#include "platform/result.h"

namespace kc::app {

// The start-up INI file, read from the current directory.
inline constexpr const char* kStartupIni = ".\\kitcomp.ini";

// The kit's own drive table, beside the start-up INI file: [Drives] with
// letters for the kit's folders, so that its paths hold wherever it lies.
inline constexpr const char* kKitDrivesIni = "drives.ini";

// Adds the drives of the kit's table beside `startupIni` to the drive table in
// force (see win::DriveTable::AddKitDrives). Returns "" or why it could not.
std::string UseKitDrives(const std::string& startupIni = kStartupIni);

// Takes in the kit's drive table (UseKitDrives), reads "INSTALLED PATH" of [Kit Composer] from the start-up INI file,
// makes it absolute once (a relative root would otherwise move with the current directory), creates "\custom" and
// "\custom\engine" below it (failures not reported) and fixes the run-wide paths. An empty root is kept as the system
// always did: every path then starts at the root of the current drive. Refused
// with a message naming it when a path of the run, or one that a build would
// form below the install root, would not fit 259 characters.
// `makeWorkFolders` false leaves the kit as it is (`kitcomp check`).
Result<config::RunPaths> StartUp(const std::string& startupIni = kStartupIni, bool makeWorkFolders = true);

// Copies the starting configuration (a saved configuration, or the default one)
// over the choices file, then the source setup.ini over the engine setup.ini.
// Failures are not reported, as before: the wizard then shows what the choices
// file held. Returns false when a copy failed, for callers that want to say so.
bool RefreshWorkingFiles(const config::RunPaths& paths, const std::string& startingConfig);

}  // namespace kc::app
