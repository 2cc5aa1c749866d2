// What `kitcomp verify` says of one image: its kind, every problem found with
// the file it concerns, and what was found in it.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "verify/image_contents.h"

namespace kc::verify {

// Something the configuration placed into the image.
struct Finding {
  std::string what;    // the choices key that places it ("Custom CFG Path"), or what it is
  std::string file;    // the image's file ("lume.z", "readme.txt")
  std::string detail;  // the archive entry, or the size
};

struct Verdict {
  std::string path;       // as given
  std::string kind;       // "CD", "administrator CD", "end-user CD", "disk", "end-user disk", "network", ...
  std::string container;  // the file the image was read from (setup.iso, netsetup.exe), "" for a folder
  std::size_t filesChecked = 0;
  std::vector<Problem> problems;
  // Found:
  std::string mode;                  // "Network Install" "Mode" of setup.ini
  std::vector<std::string> modules;  // the catalogue's stems, in its order
  std::vector<Finding> customizations;
  std::string commandLine;  // a network image's
  // Why the path could not be verified at all (bad usage, unreadable): "" when it was.
  std::string unusable;

  bool sound() const { return unusable.empty() && problems.empty(); }
};

}  // namespace kc::verify
