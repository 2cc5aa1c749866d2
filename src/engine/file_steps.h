// Copies and deletions of the build steps, with their failures recorded.
#pragma once

#include <string>

#include "engine/build_report.h"

namespace kc::engine {

// CopyFileA with overwriting; a failure goes into the report with its reason.
bool CopyRecorded(const std::string& from, const std::string& to, const std::string& step, BuildReport& report);

// Deletes a file that should not be there; only a file that is still there
// afterwards is a failure (an absent target is what was wanted).
void DeleteRecorded(const std::string& path, const std::string& step, BuildReport& report);

// WritePrivateProfileStringA; a refused or failed write goes into the report.
bool WriteRecorded(const std::string& file, const char* section, const char* key, const std::string& value,
                   const std::string& step, BuildReport& report);

// Makes one directory level; a failure counts only when no directory is there
// afterwards.
void MakeDirectoryRecorded(const std::string& path, const std::string& step, BuildReport& report);

// Gives `target` the modification time of `source`, the delivered file it was
// made from, so that a file the build generated carries a time of its inputs
// rather than of the run: two builds from the same inputs give the same bytes,
// also where an archive records file times. Best effort: a failure only costs
// that sameness.
void CarryWriteTime(const std::string& source, const std::string& target);

}  // namespace kc::engine
