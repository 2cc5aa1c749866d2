// `kitcomp build --json`: the outcome of a build as one JSON document, for
// build servers.
#pragma once

#include <string>
#include <string_view>

#include "engine/build_report.h"

namespace kc::app {

// `bytes` as a JSON string, quotes included. Valid UTF-8 is kept as it is
// (control characters, quotes and backslashes escaped); a byte that is not
// part of valid UTF-8 (a path or name in a Windows code page, say) becomes
// \u00XX, the character of the same number, so that the document stays valid
// and no byte is lost.
std::string JsonString(std::string_view bytes);

// {"status": "succeeded" | "failed" | "refused", "exit_status": N,
//  "images": [{"kind", "drive_path", "host_path" (null when no drive holds it),
//              "files", "bytes"}...],
//  "failures": [{"step", "file", "reason"}...],
//  "refusal": the message (only when refused)}
// `report` is null when the build was refused before it started.
std::string FormatBuildJson(int exitStatus, const engine::BuildReport* report, const std::string& refusal);

}  // namespace kc::app
