// CPropertySheet: the wizard frame. A stack of pages above a separator line
// and the buttons "< Back", "Next >" (or "Finish" in its place), "Cancel" and
// "Help". The pages are not owned: the caller keeps them alive until the
// sheet is gone.
//
//   CPropSheet sheet;            // derived, hides Help in OnInitDialog
//   sheet.AddPage(&page1); ...
//   sheet.SetWizardMode();
//   if (sheet.DoModal() == ID_WIZFINISH) ...
//
// Keyboard: Return presses Next (Finish where it stands), Escape cancels,
// Alt+B and Alt+N are Back and Next, Tab runs through the page's controls and
// then the buttons; each page opens with its first control focused, the last
// page (Finish showing) with Finish focused. Page templates leave Alt+B and
// Alt+N to the frame (a second "&N..." makes the mnemonic ambiguous in Qt).
#pragma once

#include <QPointer>
#include <string>
#include <vector>

#include "framework/dialog.h"
#include "framework/property_page.h"

class QPushButton;
class QStackedWidget;

namespace kc::fw {

class CPropertySheet : public CDialog {
  Q_OBJECT

 public:
  explicit CPropertySheet(const std::string& caption = {}, QWidget* parent = nullptr, int selectPage = 0);
  ~CPropertySheet() override;

  void AddPage(CPropertyPage* page);
  void SetWizardMode() { m_wizardMode = true; }
  bool IsWizardMode() const { return m_wizardMode; }

  // The framework's initialisation: sizes the frame for the largest page. The
  // first page is activated right after OnInitDialog.
  bool OnInitDialog() override;

  // PSM_SETWIZBUTTONS: lParam = PSWIZB_BACK | PSWIZB_NEXT | PSWIZB_FINISH.
  LRESULT SendMessage(unsigned msg, WPARAM wParam, LPARAM lParam);
  void SetWizardButtons(unsigned flags);

  int GetPageCount() const { return static_cast<int>(m_pages.size()); }
  CPropertyPage* GetPage(int index) const;
  int GetActiveIndex() const { return m_active; }
  CPropertyPage* GetActivePage() const { return GetPage(m_active); }

  // The buttons, also reachable by ID: ID_WIZBACK, ID_WIZNEXT, ID_WIZFINISH,
  // IDCANCEL, IDHELP.
  QPushButton* BackButton() const { return m_back; }
  QPushButton* NextButton() const { return m_next; }
  QPushButton* FinishButton() const { return m_finish; }
  QPushButton* CancelButton() const { return m_cancel; }

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void PressNext();
  void PressBack();
  void PressFinish();
  bool Activate(int index);
  void FocusPageStart();
  void ShowCaption();

  std::vector<QPointer<CPropertyPage>> m_pages;
  std::string m_caption;
  int m_startPage = 0;
  int m_active = -1;
  bool m_wizardMode = false;
  QStackedWidget* m_stack = nullptr;
  QPushButton* m_back = nullptr;
  QPushButton* m_next = nullptr;
  QPushButton* m_finish = nullptr;
  QPushButton* m_cancel = nullptr;
  QPushButton* m_help = nullptr;
};

}  // namespace kc::fw
