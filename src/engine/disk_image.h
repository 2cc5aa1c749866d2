// The disk image: one ISO 9660 file, with Joliet names for Windows and Rock
// Ridge names and modes for other systems, holding the files of one folder at
// its root under their own names, as a CD image directory holds them. Laid
// out first (engine/iso9660_layout.h), then each file is copied into its
// place in the kernel; the same files give the same bytes.
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace kc::engine {

struct DiskImageProblem {
  std::string file;    // Windows path of the file concerned
  std::string reason;  // in words
};

// The volume name of a disk image from a product setup title: letters and
// digits in upper case, every other run of characters one "_", at most 16
// characters (what Joliet holds); "LUMENARY_SETUP" when nothing is left.
std::string DiskVolumeName(const std::string& title);

// Writes the image of the plain files directly in `folder` to `imagePath`
// under `volumeName`, but for the file named `leaveOut` (letter case ignored;
// none when empty). Each file keeps its name, contents and modification time;
// the volume's dates are the newest of those times. Every name is checked
// before anything is written; the image appears under its name only when it
// is complete: on failure nothing is left behind, and the problem names the
// file that stopped it. `added` is called with each file's name once it is in.
std::optional<DiskImageProblem> WriteDiskImage(const std::string& folder, const std::string& imagePath,
                                               const std::string& volumeName, const std::string& leaveOut = "",
                                               const std::function<void(const std::string&)>& added = {});

}  // namespace kc::engine
