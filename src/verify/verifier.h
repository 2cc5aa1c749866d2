// `kitcomp verify`'s work on one image: what kind of image the path names, the
// image read once, then every check over what was read. Nothing is written
// into the image or beside it.
#pragma once

#include <string>

#include "verify/verdict.h"

namespace kc::verify {

// `windowsPath` names a CD image folder (also an administrator's or an end
// user's), a disk image (its folder or setup.iso) or a network image (its
// folder or netsetup.exe); `given` is how the user named it, for the report.
// A path that cannot be read, or names no image at all, gives a verdict with
// `unusable` set.
Verdict VerifyImage(const std::string& given, const std::string& windowsPath);

}  // namespace kc::verify
