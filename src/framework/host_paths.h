// Host paths where they enter through the user interface: a path of this
// computer typed into a path field or chosen in a file dialog becomes the
// Windows path that names it through the drive table, as a command-line
// argument does, or is refused with a message that names the drive table.
#pragma once

#include <optional>
#include <string>

namespace kc::fw {

// True for a field's text that is a host path: it begins with one "/"
// ("/srv/kits/out"). "//server/share" stays a network path, and a Windows path
// with forward slashes ("C:/kits") stays a Windows path.
bool IsHostPathText(const std::string& text);

// The drive table as the user reads it: "C: = /home/ann, Z: = /".
std::string DriveTableText();

// The Windows path of an absolute host path; nullopt with the message for the
// user when no drive holds it or its Windows path would be too long. `what`
// names it in the message ("path", "file").
std::optional<std::string> DrivePathOfHostPath(const std::string& hostPath, const std::string& what,
                                               std::string& message);

}  // namespace kc::fw
