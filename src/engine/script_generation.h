// Finish: checks the output drive and turns the answers of the choices file into
// the generated installer's settings in the engine setup.ini.
#pragma once

#include <string>
#include <vector>

#include "config/run_paths.h"
#include "engine/component_catalogue.h"

namespace kc::engine {

struct FinishRequest {
  std::string outputPath;       // the output page's path text
  bool createCd = false;        // "Create CD image" checked
  bool createDownload = false;  // "Create Network downloadable file" checked
};

struct FinishOutcome {
  bool accepted = false;
  // When refused: the text for the message box (caption "Kit Composer"),
  // string 2 or 3 of the string table or another clear reason.
  std::string message;
};

// Writes "Create CD" and "Create Download", then checks, in this order: the
// output path as the choices file will give it back (its length, the drive's
// free space for the chosen images, a file can be created at its root, not in
// the kit's own folders), the installer settings written into a draft, the
// module names they give (plain file names), and every path the build will
// form (259 characters at most). When all pass it writes "Output Path" and the
// draft replaces the engine setup.ini. A refused Finish has written only the
// two image keys.
FinishOutcome FinishInstallerScript(const config::RunPaths& paths, const FinishRequest& request);

// The two drive checks, 1 when they pass and 0 when not, on the first three
// characters of the output path. CheckWritable creates a file of a unique name
// at the drive's root and removes it; CheckWritableWithoutWriting asks the
// root's permissions instead (for checks that must write nothing).
int CheckFreeSpace(const std::string& outputPath, bool createCd, bool createDownload);
int CheckWritable(const std::string& outputPath);
int CheckWritableWithoutWriting(const std::string& outputPath);

// Finish's checks one piece at a time, for `kitcomp check`, which makes them on
// private copies without writing where a build would.

enum class DriveProbe { kCreateFile, kPermissionsOnly };

struct OutputPathCheck {
  std::string stored;    // the path text as the choices file gives it back
  std::string fullPath;  // made full: where the images go
  std::string problem;   // Finish's refusal, or ""
};
// The output path's checks in Finish's order: its length, then the drive's
// free space for the chosen images and whether its root takes a file (string
// 2 or 3), then not inside the kit at `installRoot`.
OutputPathCheck CheckOutputPath(const std::string& installRoot, const FinishRequest& request, DriveProbe probe);

// Copies the answers of `choicesFile` into the settings file `settingsFile` (a
// copy of the engine setup.ini), row by row as Finish does; the first write
// that failed, naming `shownAs`, or "".
std::string WriteInstallerSettings(const std::string& choicesFile, const std::string& settingsFile,
                                   const std::string& shownAs);

// Every name the build would join into a path that is not a plain file name:
// the module names of the included additional installs, then the stems of
// `catalogue` (read from the settings the answers gave). Finish refuses the
// first.
std::vector<std::string> ModuleNameProblems(const std::string& choicesFile, const Catalogue& catalogue);

}  // namespace kc::engine
