// The wizard's pages in the order the run driver adds them to the sheet.
#pragma once

#include <memory>
#include <vector>

#include "config/run_paths.h"
#include "framework/property_page.h"

namespace kc::wizard {

using PageList = std::vector<std::unique_ptr<fw::CPropertyPage>>;

// Fresh page objects for one run of the wizard, reading and writing the
// choices file (and, on the components page, the program INI file) of `paths`.
PageList MakeWizardPages(const config::RunPaths& paths);

}  // namespace kc::wizard
