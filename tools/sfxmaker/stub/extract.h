// Checking and extracting the payload.
#pragma once

#include <string>
#include <vector>

#include "sfxmaker/stub/payload.h"

namespace kc::sfx {

// Why an entry name must not be extracted ("absolute path", "\"..\" in the
// path"), or empty when it is safe.
std::string UnsafeNameReason(const std::string& name);

// Why a symbolic link's target must not be created: absolute, ".." after a
// name, or leading out of the extraction folder from the link's place
// (`linkName`). Empty when it stays inside.
std::string UnsafeLinkReason(const std::string& linkName, const std::string& target);

// Extracts every entry into `folder` (an existing host folder). Everything is
// checked before the first byte is written: names, kinds (files, folders and
// links inside the folder only; no devices, FIFOs or sockets), link targets,
// and the room the files need against the free space. Modes keep their
// permission bits only (no setuid, setgid or sticky bit); times are restored.
// Any failed write stops the extraction. false with `error` ("refusing to
// extract ...", "not enough room ...", "<name>: cannot be written: <reason>",
// or "corrupt: ..." when the archive's data is damaged).
bool ExtractInto(const Payload& payload, const std::vector<zip::ZipEntry>& entries, const std::string& folder,
                 std::string& error);

}  // namespace kc::sfx
