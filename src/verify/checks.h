// The checks of an image, each over what the image's reader gathered. Each
// adds its problems (and what it found) to the verdict.
#pragma once

#include "verify/image_contents.h"
#include "verify/verdict.h"

namespace kc::verify {

// setup.pkg present and well formed; every entry's size and SHA-256 those of
// the file; every file listed but the fixed names; no listed file missing.
void CheckPackageList(const ImageContents& image, Verdict& verdict);

// setup.ini: the catalogue's module files present, "Mode" (and the
// administrator's rewrite), no module file that nothing names.
void CheckInstallerSettings(const ImageContents& image, Verdict& verdict);

// Each module's settings: every CompressGet section's Source in the image,
// every literal TargetFiles an entry of it. Runs after CheckInstallerSettings,
// whose modules it takes from the verdict.
void CheckModuleSettings(const ImageContents& image, Verdict& verdict);

// Every archive opens and its entries are intact; entries that look like
// leftovers are flagged.
void CheckArchives(const ImageContents& image, Verdict& verdict);

// What the configuration staged, as a list (no problems of its own).
void ListCustomizations(const ImageContents& image, Verdict& verdict);

// A network image's command line names a file the payload holds.
void CheckCommandLine(const ImageContents& image, Verdict& verdict);

}  // namespace kc::verify
