// CDialog: a dialog built from a template, with its controls addressed by ID.
//
// Templates are Qt Designer .ui files compiled by uic: template N lives in
// resources/dialogs/dlgN_<name>.ui, and every control the code touches carries
// its ID in its object name ("ctl1014"; IDOK is "ctl1", IDCANCEL "ctl2"). A
// dialog class includes the generated header and calls setupUi in its
// constructor:
//
//   class CWelcomeDlg : public kc::fw::CDialog {
//    public:
//     CWelcomeDlg() : CDialog(102) { ui.setupUi(this); OnCommand(1019, [this] { OnBrowse(); }); }
//    private:
//     Ui::dlg102_welcome ui;
//   };
//
// Templates carry no signal connections: button 1 runs OnOK, button 2 (and
// Escape and the close box) OnCancel, other controls reach code through
// OnCommand / OnNotify. OnInitDialog runs once, right before the window first
// shows (DoModal, or Create for a modeless window).
#pragma once

#include <QDialog>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "framework/controls.h"
#include "framework/win_defs.h"

namespace kc::fw {

class CDataExchange;

class CDialog : public QDialog {
  Q_OBJECT

 public:
  explicit CDialog(int templateId = 0, QWidget* parent = nullptr);
  ~CDialog() override;

  int GetTemplateId() const { return m_templateId; }

  // --- Running -------------------------------------------------------------
  // Runs the dialog modally through the current prompts (see prompts.h), so
  // that tests can script every modal dialog; returns the EndDialog code.
  virtual int DoModal();
  // The modal run itself: initialises the dialog (once), shows it and waits
  // for EndDialog. Prompt implementations call this.
  int RunModalLoop();
  // Modeless: initialises the dialog, shows it at once and paints it. The
  // window closes when the object is destroyed (or at EndDialog).
  bool Create(QWidget* parent = nullptr);
  bool Create(int templateId, QWidget* parent);
  void EndDialog(int result);
  // Runs OnInitDialog if it has not run yet (also used by the wizard sheet).
  void EnsureInitialized();
  bool IsInitialized() const { return m_initialized; }

  // --- Overridables --------------------------------------------------------
  // Default: UpdateData(false); returns true (the framework then gives the
  // focus to the first control that takes it).
  virtual bool OnInitDialog();
  // Default: UpdateData(true), and on success EndDialog(IDOK).
  virtual void OnOK();
  // Default: EndDialog(IDCANCEL).
  virtual void OnCancel();
  virtual void DoDataExchange(CDataExchange* pDX);
  // Runs DoDataExchange: true = controls into members (with validation),
  // false = members into controls. False when a validation failed.
  bool UpdateData(bool saveAndValidate = true);

  // --- Controls by ID ------------------------------------------------------
  // The control with this ID; asserts in debug builds (and warns otherwise)
  // when the template has no such control.
  QWidget* GetDlgItem(int id) const;
  // The same without the assertion: nullptr when there is none.
  QWidget* FindDlgItem(int id) const;
  // Texts are bytes (control_text.h). A text read back unchanged is the bytes
  // set; a changed one is in TypedTextEncoding(), or UTF-8 when a character
  // cannot be held there (DDX_Text refuses such text).
  void SetDlgItemText(int id, const std::string& text);
  std::string GetDlgItemText(int id) const;

  // The INI file the dialog's texts are stored in: text the user types is
  // stored in the encoding that file uses (win::ProfileTextEncoding). None
  // set: UTF-8.
  void SetTextFile(std::string windowsPath) { m_textFile = std::move(windowsPath); }
  const std::string& TextFile() const { return m_textFile; }
  platform::TextEncoding TypedTextEncoding() const;
  // The caption of the messages the framework shows for this dialog (a refused
  // data exchange): the application's name unless the dialog says otherwise.
  virtual std::string MessageCaption() const;
  void CheckDlgButton(int id, int state);  // only this button changes
  int IsDlgButtonChecked(int id) const;
  void EnableWindow(int id, bool enable);
  bool IsWindowEnabled(int id) const;
  void ShowWindow(int id, int cmd);
  void GotoDlgCtrl(QWidget* control);

  CWnd Item(int id) const { return CWnd(GetDlgItem(id)); }
  CButton Button(int id) const { return CButton(GetDlgItem(id)); }
  CEdit Edit(int id) const { return CEdit(GetDlgItem(id)); }
  CStatic Static(int id) const { return CStatic(GetDlgItem(id)); }
  CListBox ListBox(int id) const { return CListBox(GetDlgItem(id)); }
  CComboBox ComboBox(int id) const { return CComboBox(GetDlgItem(id)); }
  CTreeCtrl TreeCtrl(int id) const { return CTreeCtrl(GetDlgItem(id)); }
  CProgressCtrl ProgressCtrl(int id) const { return CProgressCtrl(GetDlgItem(id)); }

  // Progress-bar messages (PBM_*) to a control.
  LRESULT SendDlgItemMessage(int id, unsigned msg, WPARAM wParam = 0, LPARAM lParam = 0);

  // Fills combo box comboId with the drives of the drive table as "[-x-]"
  // entries (lower case, sorted); for a non-empty path it makes that folder
  // the current directory first. The static staticId (0: none) then shows the
  // current directory. Only DDL_DRIVES listings are supported. False when the
  // path is not a folder.
  bool DlgDirListComboBox(const std::string& path, int comboId, int staticId, unsigned type);
  // The selected "[-x-]" entry of comboId as "x:". False when none is selected.
  bool DlgDirSelectComboBoxEx(int comboId, std::string& drive);

  // Shows a message box owned by this dialog.
  int MessageBox(const std::string& text, const std::string& caption = {}, unsigned type = MB_OK);

  // --- Handlers ------------------------------------------------------------
  // A click on button id (BN_CLICKED). Registering IDOK or IDCANCEL replaces
  // the default OnOK / OnCancel wiring of that button.
  void OnCommand(int id, std::function<void()> handler);
  // A notification from control id: BN_CLICKED, CBN_SELCHANGE (the user chose
  // an entry), EN_CHANGE (the text changed), LBN_SELCHANGE, LBN_DBLCLK.
  void OnCommand(int id, int code, std::function<void()> handler);
  // NM_DBLCLK or NM_CLICK on a tree or list. For NM_DBLCLK on a tree the
  // double-clicked item is selected before the handler runs; a handler that
  // returns 0 lets the default follow (the item opens or closes).
  void OnNotify(int id, int code, std::function<LRESULT()> handler);

 protected:
  void accept() override;  // Return on the default button ends here: OnOK
  void reject() override;  // Escape and the close box: OnCancel
  bool eventFilter(QObject* watched, QEvent* event) override;

  // Where the window's focus goes when it first shows: the first control that
  // takes the keyboard focus.
  QWidget* FirstTabStop(QWidget* within) const;

 private:
  void PrepareTemplate();
  void ConnectCommand(int id, int code, std::function<void()> handler);

  int m_templateId = 0;
  std::string m_textFile;
  bool m_initialized = false;
  bool m_prepared = false;
  bool m_ended = false;
  int m_result = IDCANCEL;
  std::vector<int> m_commandIds;  // buttons wired by OnCommand
  std::map<QObject*, std::function<LRESULT()>> m_doubleClickHandlers;
};

}  // namespace kc::fw
