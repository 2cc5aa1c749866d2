// Window texts, enabling and showing, buttons and static pictures.
#include "framework/controls.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QTextEdit>

#include "framework/control_text.h"

namespace kc::fw {

namespace {

QString CurrentText(const QWidget* w) {
  if (auto* e = qobject_cast<const QLineEdit*>(w)) return e->text();
  if (auto* l = qobject_cast<const QLabel*>(w)) return l->text();
  if (auto* b = qobject_cast<const QAbstractButton*>(w)) return b->text();
  if (auto* c = qobject_cast<const QComboBox*>(w)) return c->currentText();
  if (auto* p = qobject_cast<const QPlainTextEdit*>(w)) return p->toPlainText();
  if (auto* t = qobject_cast<const QTextEdit*>(w)) return t->toPlainText();
  if (auto* g = qobject_cast<const QGroupBox*>(w)) return g->title();
  return w->windowTitle();
}

}  // namespace

std::optional<std::string> GetWindowTextIn(const QWidget* w, platform::TextEncoding encoding, std::string* refused) {
  if (!w) return std::string();
  const QString current = CurrentText(w);
  // A combo box's entry keeps the bytes it was added with.
  if (auto* c = qobject_cast<const QComboBox*>(w);
      c && c->currentIndex() >= 0 && c->itemText(c->currentIndex()) == current) {
    return BytesOfItem(c->itemData(c->currentIndex(), kItemBytesRole), current);
  }
  return StoredControlText(w, current, encoding, refused);
}

std::string GetWindowTextOf(const QWidget* w) {
  // UTF-8 holds any valid text; an unpaired surrogate comes back replaced.
  return GetWindowTextIn(w, platform::TextEncoding::kUtf8).value_or(w ? CurrentText(w).toStdString() : std::string());
}

void SetWindowTextOf(QWidget* w, const std::string& text) {
  if (!w) return;
  const QString s = ShownText(text);
  if (auto* e = qobject_cast<QLineEdit*>(w)) {
    e->setText(s);
    e->setCursorPosition(0);  // show the start of a long path, as an edit control does
  } else if (auto* l = qobject_cast<QLabel*>(w)) {
    l->setText(s);
  } else if (auto* b = qobject_cast<QAbstractButton*>(w)) {
    b->setText(s);
  } else if (auto* c = qobject_cast<QComboBox*>(w)) {
    if (c->isEditable())
      c->setEditText(s);
    else
      c->setCurrentIndex(c->findText(s, Qt::MatchFixedString));
  } else if (auto* p = qobject_cast<QPlainTextEdit*>(w)) {
    p->setPlainText(s);
  } else if (auto* t = qobject_cast<QTextEdit*>(w)) {
    t->setPlainText(s);
  } else if (auto* g = qobject_cast<QGroupBox*>(w)) {
    g->setTitle(s);
  } else {
    w->setWindowTitle(s);
  }
  // What the control shows now (it may hold less, a maximum length say).
  RememberControlText(w, text, CurrentText(w));
}

void SetButtonCheck(QAbstractButton* b, int state) {
  if (!b) return;
  // Lift the exclusivity for this one change so that the partners keep their
  // state, then put it back.
  const bool autoExclusive = b->autoExclusive();
  QButtonGroup* group = b->group();
  const bool groupExclusive = group && group->exclusive();
  b->setAutoExclusive(false);
  if (groupExclusive) group->setExclusive(false);
  b->setChecked(state == BST_CHECKED);
  if (groupExclusive) group->setExclusive(true);
  b->setAutoExclusive(autoExclusive);
}

int GetButtonCheck(const QAbstractButton* b) {
  return b && b->isCheckable() && b->isChecked() ? BST_CHECKED : BST_UNCHECKED;
}

void CWnd::EnableWindow(bool enable) {
  if (m_hWnd) m_hWnd->setEnabled(enable);
}

bool CWnd::IsWindowEnabled() const {
  return m_hWnd && m_hWnd->isEnabled();
}

void CWnd::ShowWindow(int cmd) {
  if (m_hWnd) m_hWnd->setVisible(cmd != SW_HIDE);
}

bool CWnd::IsWindowVisible() const {
  return m_hWnd && m_hWnd->isVisible();
}

void CWnd::SetWindowText(const std::string& text) {
  SetWindowTextOf(m_hWnd, text);
}

std::string CWnd::GetWindowText() const {
  return GetWindowTextOf(m_hWnd);
}

void CWnd::SetFocus() {
  if (m_hWnd) m_hWnd->setFocus(Qt::OtherFocusReason);
}

void CStatic::SetBitmap(const QPixmap& bitmap) {
  if (auto* l = qobject_cast<QLabel*>(m_hWnd)) l->setPixmap(bitmap);
}

QAbstractButton* CButton::button() const {
  return qobject_cast<QAbstractButton*>(m_hWnd);
}

int CButton::GetCheck() const {
  return GetButtonCheck(button());
}

void CButton::SetCheck(int state) {
  SetButtonCheck(button(), state);
}

void CButton::Click() {
  if (auto* b = button()) b->click();
}

}  // namespace kc::fw
