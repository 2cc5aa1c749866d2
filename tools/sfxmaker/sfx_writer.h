// Writes the self-extracting file: extractor, zip payload of SrcDir, command
// line and trailer (see common/sfx_trailer.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "sfxmaker/sfx_settings.h"

namespace kc::tools {

struct SfxWritten {
  std::string path;  // Windows path of the written file
  std::size_t entries = 0;
  std::uint64_t payloadBytes = 0;
};

// The output replaces DestDir\netsetup.exe atomically and is executable.
SfxWritten WriteSelfExtractor(const SfxSettings& settings, const unsigned char* stub, std::size_t stubSize);

}  // namespace kc::tools
