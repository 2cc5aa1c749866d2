#include "common/host_path.h"

#include "common/tool_failure.h"
#include "platform/drives.h"
#include "platform/win_types.h"

namespace kc::tools {

std::string HostPathOf(const std::string& windowsPath) {
  std::optional<std::string> host = win::ToHostPath(windowsPath);
  if (!host) throw ToolFailure(kExitBadInput, windowsPath + ": " + win::LastErrorText());
  return *host;
}

}  // namespace kc::tools
