#include "sfxmaker/sfx_settings.h"

#include <vector>

#include "common/tool_failure.h"
#include "platform/files.h"
#include "platform/profile.h"

namespace kc::tools {
namespace {

std::string ReadValue(const std::string& iniPath, const char* key) {
  // Longer than any path the engine can write (MAX_PATH), so nothing is cut.
  std::vector<char> buffer(32768);
  win::GetPrivateProfileStringA(kSfxSection, key, "", buffer.data(), static_cast<win::DWORD>(buffer.size()),
                                iniPath.c_str());
  return buffer.data();
}

}  // namespace

SfxSettings ReadSfxSettings(const std::string& windowsIniPath) {
  const win::DWORD attributes = win::GetFileAttributesA(windowsIniPath.c_str());
  if (attributes == win::INVALID_FILE_ATTRIBUTES || (attributes & win::FILE_ATTRIBUTE_DIRECTORY))
    throw ToolFailure(kExitBadInput, windowsIniPath + ": file not found");
  SfxSettings settings;
  settings.srcDir = ReadValue(windowsIniPath, "SrcDir");
  settings.destDir = ReadValue(windowsIniPath, "DestDir");
  settings.cmdLine = ReadValue(windowsIniPath, "CmdLine");
  const std::string compress = ReadValue(windowsIniPath, "Compress");
  settings.compress = !compress.empty() && compress != "0";
  for (const auto& [key, value] : {std::pair{"SrcDir", &settings.srcDir}, std::pair{"DestDir", &settings.destDir}})
    if (value->empty())
      throw ToolFailure(kExitBadInput, windowsIniPath + ": no \"" + key + "\" in section [" + kSfxSection + "]");
  return settings;
}

}  // namespace kc::tools
