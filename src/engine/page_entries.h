// Rules by which wizard pages turn what was typed into what they store, kept
// apart from the pages so that `kitcomp check` and `--set` apply them too.
#pragma once

#include <string>

namespace kc::engine {

// The existence check of the pages that name files: the file opens for
// reading (the runtime library's fopen, mode "r") and is closed at once.
bool OpensForReading(const std::string& path);

// Why a customization file named by a configuration cannot be shipped: it is
// not there, it is a folder, or it does not open for reading ("" when it
// opens). Windows path.
std::string UnreadableFileProblem(const std::string& path);

// The path of the dial-up package's main file for what the user typed: a
// folder gets "main.htm" (after a trailing backslash or slash) or "\main.htm"
// appended; a last component that ends with "main.htm" (case-sensitive, so
// xmain.htm too) is taken as the file itself. An entry without any separator is
// one component and follows the same rule ("pkg" gives "pkg\main.htm").
std::string CompleteDialupEntry(const std::string& entry);

}  // namespace kc::engine
