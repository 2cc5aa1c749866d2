// The run-wide paths: every file of the system is found from the install root
// by appending fixed parts that begin with a backslash.
#pragma once

#include <string>

#include "platform/result.h"

namespace kc::config {

// Fixed parts appended to the install root.
inline constexpr const char* kChoicesFilePart = "\\kitcomp\\choices.tmp";
inline constexpr const char* kProgramIniPart = "\\kitcomp\\kitcomp.ini";
inline constexpr const char* kDefaultConfigPart = "\\kitcomp\\default.dkb";
inline constexpr const char* kEngineSetupIniPart = "\\custom\\engine\\setup.ini";
inline constexpr const char* kSourceSetupIniPart = "\\source\\install\\setup.ini";
inline constexpr const char* kCustomPart = "\\custom";
inline constexpr const char* kCustomEnginePart = "\\custom\\engine";
inline constexpr const char* kKitcompPart = "\\kitcomp";
// The install tree's fixed folders: the installer's own files and the delivered
// modules, and the build's two work areas, the staging tree merged into the
// client's archive and the folder of the private archives.
inline constexpr const char* kSourceInstallPart = "\\source\\install";
inline constexpr const char* kSourceModulesPart = "\\source\\modules";
inline constexpr const char* kTemptreePart = "\\custom\\temptree";
inline constexpr const char* kTempmodPart = "\\custom\\tempmod";

// A path or command line must fit a 260-character buffer: at most 259 characters.
inline constexpr std::size_t kMaxPathLength = 259;

// base + part, as the system builds every path: no separator added or removed,
// so a base ending in a backslash gives a doubled one and an empty base a path
// at the root of the current drive. Refused, with a message naming it, when the
// result would not fit a 260-character buffer.
Result<std::string> AppendPath(const std::string& base, const std::string& part);

// The same check for a whole text (a path or a tool's command line); `what`
// names it in the message ("The output path", "The command line of squash.exe").
Result<std::string> CheckPathLength(const std::string& text, const std::string& what);

struct RunPaths {
  std::string installRoot;     // absolute Windows path, as kitcomp.ini names it
  std::string choicesFile;     // install root + "\kitcomp\choices.tmp"
  std::string programIni;      // install root + "\kitcomp\kitcomp.ini"
  std::string defaultConfig;   // install root + "\kitcomp\default.dkb"
  std::string engineSetupIni;  // install root + "\custom\engine\setup.ini"
  std::string sourceSetupIni;  // install root + "\source\install\setup.ini"
};

// All run-wide paths of an install root, or the message naming the one that
// is too long.
Result<RunPaths> MakeRunPaths(const std::string& installRoot);

}  // namespace kc::config
