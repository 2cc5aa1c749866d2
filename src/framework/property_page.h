// CPropertyPage: one page of the wizard sheet, built from a template like any
// dialog (its window title in the template is the page's caption, which the
// sheet shows in its title bar while the page is current).
//
// The sheet calls, in this order:
//   first activation:  OnInitDialog, then OnSetActive
//   Next:              OnWizardNext (non-zero refuses), OnKillActive (false
//                      refuses), then the next page's activation
//   Back:              OnWizardBack (non-zero refuses), OnKillActive (false
//                      refuses), then the previous page's activation
//   Finish:            OnWizardFinish only (false refuses)
//   Cancel:            nothing; the sheet ends at once
#pragma once

#include "framework/dialog.h"

namespace kc::fw {

class CPropertySheet;

class CPropertyPage : public CDialog {
  Q_OBJECT

 public:
  explicit CPropertyPage(int templateId, QWidget* parent = nullptr);
  ~CPropertyPage() override;

  // Default: nothing on the first activation, UpdateData(false) on every
  // later one; returns true.
  virtual bool OnSetActive();
  // Default: UpdateData(true); returns its success.
  virtual bool OnKillActive();
  // 0 goes on; any other value (-1) keeps the page.
  virtual LRESULT OnWizardNext();
  virtual LRESULT OnWizardBack();
  // True ends the wizard with ID_WIZFINISH.
  virtual bool OnWizardFinish();

  // Sends PSM_SETWIZBUTTONS with these flags (PSWIZB_*) to the sheet.
  void SetWizardButtons(unsigned flags);

  CPropertySheet* GetParentSheet() const { return m_sheet; }
  // The caption: the template's window title.
  std::string GetCaption() const;

 protected:
  // Return and Escape belong to the sheet.
  void keyPressEvent(QKeyEvent* event) override;

 private:
  friend class CPropertySheet;
  CPropertySheet* m_sheet = nullptr;
  bool m_firstSetActive = true;
};

}  // namespace kc::fw
