// The additional installs page: up to two further installers, each one
// executable, that the generated installer runs after the main installation.
// An included slot needs an executable that opens, a descriptive module name
// and a size; its module file name is derived from the executable's path.
#pragma once

#include <string>

#include "config/run_paths.h"
#include "framework/property_page.h"
#include "ui_dlg147_addinstalls.h"

namespace kc::wizard {

class CAdditionalInstalls : public fw::CPropertyPage {
  Q_OBJECT

 public:
  static constexpr int kTemplateId = 147;
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
  static constexpr SlotControls kSlots[2] = {{1039, 1014, 1019, 1066, 1016, 1018},
                                             {1040, 1015, 1020, 1067, 1017, 1021}};
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
