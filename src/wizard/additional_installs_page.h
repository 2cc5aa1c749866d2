// The additional installs page: up to two further installers, each one
// executable, that the generated installer runs after the main installation.
// An included slot needs an executable that opens, a descriptive module name
// and a size; its module file name is derived from the executable's path.
#pragma once

#include <string>

#include "config/run_paths.h"
#include "dialogs/dlg147_addinstalls_ids.h"
#include "framework/property_page.h"
#include "ui_dlg147_addinstalls.h"

namespace kc::wizard {

class CAdditionalInstalls : public fw::CPropertyPage {
  Q_OBJECT

 public:
  explicit CAdditionalInstalls(const config::RunPaths& paths);

  bool OnSetActive() override;
  bool OnKillActive() override;

 protected:
  void DoDataExchange(fw::CDataExchange* pDX) override;

 private:
  // A slot's controls: its include box and the five controls it enables.
  struct SlotControls {
    int includeBox, pathEdit, browseButton, clearButton, descriptionEdit, sizeEdit;
  };
  static constexpr SlotControls kSlots[2] = {
      {dlg147_addinstalls::IDC_INCLUDE_1, dlg147_addinstalls::IDC_PATH_1, dlg147_addinstalls::IDC_BROWSE_1,
       dlg147_addinstalls::IDC_CLEAR_1, dlg147_addinstalls::IDC_DESCRIPTION_1, dlg147_addinstalls::IDC_SIZE_1},
      {dlg147_addinstalls::IDC_INCLUDE_2, dlg147_addinstalls::IDC_PATH_2, dlg147_addinstalls::IDC_BROWSE_2,
       dlg147_addinstalls::IDC_CLEAR_2, dlg147_addinstalls::IDC_DESCRIPTION_2, dlg147_addinstalls::IDC_SIZE_2}};
  // A slot's values, as typed.
  struct SlotValues {
    std::string path, description, size;
    int include = 0;
  };

  void EnableSlot(const SlotControls& slot, bool enable);
  void OnToggleInclude(const SlotControls& slot);
  // Checks and stores one slot (index 0 or 1); false after a refusal.
  bool StoreSlot(int index, const char* section);
  bool Refuse(const std::string& message);

  config::RunPaths m_paths;
  SlotValues m_values[2];
  Ui::dlg147_addinstalls ui;
};

}  // namespace kc::wizard
