// The first start of an installed kitcomp from the desktop menu: the kit under
// the prefix is read-only, so it is copied once to the user's data folder and
// every start works there.
#pragma once

#include <string>

#include "platform/result.h"

namespace kc::app {

struct FirstStartPlaces {
  std::string deliveredKit;  // host path: <prefix>/share/kitcomp/kit
  std::string userKit;       // host path: $XDG_DATA_HOME/kitcomp/kit
};

// Where the delivered kit and the user's copy are, from the program's own path
// (../share/kitcomp/kit beside bin/) and XDG_DATA_HOME (default
// ~/.local/share).
Result<FirstStartPlaces> FindFirstStartPlaces();

// Copies the delivered kit to the user's folder when there is no copy yet, and
// points the copy at itself: "INSTALLED PATH" of its kitcomp.ini, and the paths
// of its default configuration that named the delivered kit's folder. Returns
// the Windows path of the copy's kitcomp folder, the one to start in.
Result<std::string> PrepareUserKit(const FirstStartPlaces& places);

}  // namespace kc::app
