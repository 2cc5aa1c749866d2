#include "wizard/page_list.h"

#include "wizard/additional_installs_page.h"
#include "wizard/components_page.h"
#include "wizard/customization_files_page.h"
#include "wizard/customization_more_page.h"
#include "wizard/dialog_control_page.h"
#include "wizard/installer_settings_page.h"
#include "wizard/net_or_not_page.h"
#include "wizard/output_page.h"
#include "wizard/path_options_page.h"

namespace kc::wizard {

PageList MakeWizardPages(const config::RunPaths& paths) {
  PageList pages;
  pages.push_back(std::make_unique<CNetOrNot>(paths.choicesFile));
  pages.push_back(std::make_unique<CPathOptions>(paths.choicesFile));
  pages.push_back(std::make_unique<CPage1>(paths.choicesFile, paths.programIni));
  pages.push_back(std::make_unique<CPage3>(paths.choicesFile));
  pages.push_back(std::make_unique<CPage2>(paths.choicesFile));
  pages.push_back(std::make_unique<CPage4>(paths));
  pages.push_back(std::make_unique<CCustomDlg2>(paths));
  pages.push_back(std::make_unique<CAdditionalInstalls>(paths));
  pages.push_back(std::make_unique<CPage5>(paths));
  return pages;
}

}  // namespace kc::wizard
