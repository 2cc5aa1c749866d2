// Control objects: thin handles onto the Qt widgets of a dialog template, with
// the operations (and the quirks) of the Windows standard controls. A handle
// owns nothing; it is bound to a widget with Attach (or DDX_Control, or one of
// CDialog's ListBox(id) / ComboBox(id) / ... accessors) and stays valid while
// the dialog lives. Texts are the program's narrow bytes: a control shows them
// and gives them back unchanged (control_text.h).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "framework/win_defs.h"
#include "platform/text_encoding.h"

class QAbstractButton;
class QComboBox;
class QIcon;
class QListWidget;
class QPixmap;
class QProgressBar;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;

namespace kc::fw {

// The text a window shows: an edit's or a label's text, a button's caption, an
// editable combo box's edit text, a top-level window's title. Texts are bytes
// (see control_text.h): set, they are shown as UTF-8 or else Windows-1252;
// read back unchanged, they are the very bytes set. GetWindowTextOf gives
// changed text as UTF-8; GetWindowTextIn in `encoding`, or nullopt (the
// character in `refused`) when a character cannot be held there.
std::string GetWindowTextOf(const QWidget* w);
std::optional<std::string> GetWindowTextIn(const QWidget* w, platform::TextEncoding encoding,
                                           std::string* refused = nullptr);
void SetWindowTextOf(QWidget* w, const std::string& text);

// Sets a button's check state as BM_SETCHECK does: only this button changes.
// A radio button's group partners are NOT cleared (Qt's auto-exclusive radio
// buttons would clear them; Windows does not). A user click still checks the
// clicked radio button and clears all its partners (see CDialog).
void SetButtonCheck(QAbstractButton* b, int state);
int GetButtonCheck(const QAbstractButton* b);

class CWnd {
 public:
  CWnd() = default;
  explicit CWnd(QWidget* w) : m_hWnd(w) {}
  virtual ~CWnd() = default;

  void Attach(QWidget* w) { m_hWnd = w; }
  QWidget* GetSafeHwnd() const { return m_hWnd; }
  explicit operator bool() const { return m_hWnd != nullptr; }

  void EnableWindow(bool enable = true);
  bool IsWindowEnabled() const;
  void ShowWindow(int cmd);  // SW_SHOW / SW_HIDE
  bool IsWindowVisible() const;
  void SetWindowText(const std::string& text);
  std::string GetWindowText() const;
  void SetFocus();

 protected:
  QWidget* m_hWnd = nullptr;
};

class CEdit : public CWnd {
 public:
  using CWnd::CWnd;
};

class CStatic : public CWnd {
 public:
  using CWnd::CWnd;
  void SetBitmap(const QPixmap& bitmap);
};

class CButton : public CWnd {
 public:
  using CWnd::CWnd;
  int GetCheck() const;
  void SetCheck(int state);
  // Presses the button as a user click does (handlers run).
  void Click();

 private:
  QAbstractButton* button() const;
};

// List box on a QListWidget. A list whose template enables sorting is sorted
// like LBS_SORT: alphabetically without regard to case (Qt's own sorting is
// case-sensitive and is switched off). Multiple selection where a click toggles
// an item is the template's selectionMode MultiSelection.
class CListBox : public CWnd {
 public:
  using CWnd::CWnd;
  int AddString(const std::string& text);                // index of the new item
  int InsertString(int index, const std::string& text);  // -1 appends
  int DeleteString(int index);                           // items left, or LB_ERR
  void ResetContent();
  int GetCount() const;
  int GetText(int index, std::string& text) const;  // length, or LB_ERR
  std::string GetText(int index) const;
  // Whole-string search without regard to case, starting after startAfter
  // (-1: from the top) and wrapping round; LB_ERR when nothing matches.
  int FindStringExact(int startAfter, const std::string& text) const;
  // Prefix search without regard to case, same order.
  int FindString(int startAfter, const std::string& prefix) const;
  int GetCurSel() const;
  int SetCurSel(int index);
  int GetSel(int index) const;                // > 0 when selected
  int SetSel(int index, bool select = true);  // index -1: every item
  int GetSelCount() const;
  // Indexes of the selected items in ascending order, at most maxItems.
  int GetSelItems(int maxItems, int* indexes) const;
  std::vector<int> GetSelItems(int maxItems) const;

 private:
  QListWidget* list() const;
};

// Combo box on a QComboBox. A template whose combo box has insertPolicy
// InsertAlphabetically is sorted like CBS_SORT (without regard to case).
class CComboBox : public CWnd {
 public:
  using CWnd::CWnd;
  int AddString(const std::string& text);
  int DeleteString(int index);
  void ResetContent();
  int GetCount() const;
  int GetCurSel() const;
  int SetCurSel(int index);  // -1 clears the selection
  int GetLBText(int index, std::string& text) const;
  std::string GetLBText(int index) const;
  int FindStringExact(int startAfter, const std::string& text) const;
  // Selects the first entry that begins with prefix (without regard to case),
  // searching after startAfter; returns its index or CB_ERR (selection kept).
  int SelectString(int startAfter, const std::string& prefix);

 private:
  QComboBox* combo() const;
};

using HTREEITEM = QTreeWidgetItem*;
inline HTREEITEM const TVI_ROOT = nullptr;
// Insert positions for CTreeCtrl::InsertItem.
inline HTREEITEM const TVI_FIRST = reinterpret_cast<HTREEITEM>(static_cast<std::intptr_t>(-0x0FFFF));
inline HTREEITEM const TVI_LAST = reinterpret_cast<HTREEITEM>(static_cast<std::intptr_t>(-0x0FFFE));
inline HTREEITEM const TVI_SORT = reinterpret_cast<HTREEITEM>(static_cast<std::intptr_t>(-0x0FFFD));

// A strip of equally wide images cut from one bitmap (ImageList_LoadBitmap).
class CImageList {
 public:
  // Cuts bitmap resource id into images cx pixels wide; pixels of the colour
  // mask (0xRRGGBB) become transparent. False when the bitmap is missing.
  bool Create(int bitmapId, int cx, int grow, unsigned maskRgb);
  void DeleteImageList();
  int GetImageCount() const { return static_cast<int>(m_images.size()); }
  const QPixmap& GetImage(int index) const;

 private:
  std::vector<QPixmap> m_images;
};

// Tree view on a QTreeWidget (one column). Items show image `image` normally
// and `selectedImage` while selected.
class CTreeCtrl : public CWnd {
 public:
  using CWnd::CWnd;
  // The image list is copied; TVSIL_NORMAL only.
  void SetImageList(const CImageList* images, int which = TVSIL_NORMAL);
  // parent TVI_ROOT inserts a root item; after is TVI_LAST, TVI_FIRST, TVI_SORT
  // (sorted among its siblings without regard to case) or a sibling item.
  HTREEITEM InsertItem(const std::string& text, int image, int selectedImage, HTREEITEM parent = TVI_ROOT,
                       HTREEITEM after = TVI_LAST);
  bool DeleteItem(HTREEITEM item);  // with its children
  bool DeleteAllItems();
  HTREEITEM GetRootItem() const;
  HTREEITEM GetChildItem(HTREEITEM item) const;
  HTREEITEM GetNextSiblingItem(HTREEITEM item) const;
  HTREEITEM GetPrevSiblingItem(HTREEITEM item) const;
  HTREEITEM GetParentItem(HTREEITEM item) const;
  bool ItemHasChildren(HTREEITEM item) const;
  std::string GetItemText(HTREEITEM item) const;
  bool Expand(HTREEITEM item, unsigned code);  // TVE_EXPAND / COLLAPSE / TOGGLE
  bool SelectItem(HTREEITEM item);
  HTREEITEM GetSelectedItem() const;
  int GetCount() const;

 private:
  QTreeWidget* tree() const;
  QIcon iconFor(int image, int selectedImage) const;
};

// Progress bar on a QProgressBar, with the Windows behaviour: positions are
// clamped to the range, StepIt wraps round past the upper bound, and an empty
// range (0 to 0) shows an empty bar rather than Qt's busy indicator.
class CProgressCtrl : public CWnd {
 public:
  using CWnd::CWnd;
  void SetRange(int lower, int upper);
  void GetRange(int& lower, int& upper) const;
  int SetPos(int pos);  // previous position
  int GetPos() const;
  int SetStep(int step);  // previous step
  int StepIt();           // previous position
  int OffsetPos(int delta);
  // PBM_SETRANGE, PBM_SETPOS, PBM_DELTAPOS, PBM_SETSTEP, PBM_STEPIT, PBM_GETPOS.
  LRESULT SendMessage(unsigned msg, WPARAM wParam = 0, LPARAM lParam = 0);

 private:
  QProgressBar* bar() const;
};

}  // namespace kc::fw
