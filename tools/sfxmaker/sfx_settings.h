// sfxmaker's input: section "SFX Maker" of its INI file.
#pragma once

#include <string>

namespace kc::tools {

struct SfxSettings {
  std::string srcDir;     // "SrcDir": the folder to pack (trailing backslash allowed)
  std::string destDir;    // "DestDir": where netsetup.exe is written
  std::string cmdLine;    // "CmdLine": run in the extraction folder
  bool compress = false;  // "Compress": "0" stores, anything else deflates
};

inline constexpr const char* kSfxSection = "SFX Maker";
inline constexpr const char* kSfxFileName = "netsetup.exe";

// A missing file or a missing SrcDir or DestDir is a ToolFailure
// (kExitBadInput) naming the file and the key.
SfxSettings ReadSfxSettings(const std::string& windowsIniPath);

}  // namespace kc::tools
