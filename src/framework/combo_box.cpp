// Combo box operations on a QComboBox, sorted as CBS_SORT combo boxes are.
#include <QComboBox>

#include "framework/control_text.h"
#include "framework/controls.h"

namespace kc::fw {
namespace {

int SortedPosition(const QComboBox* c, const QString& text) {
  int lo = 0, hi = c->count();
  while (lo < hi) {
    const int mid = (lo + hi) / 2;
    if (QString::compare(c->itemText(mid), text, Qt::CaseInsensitive) <= 0)
      lo = mid + 1;
    else
      hi = mid;
  }
  return lo;
}

template <typename Match>
int Search(const QComboBox* c, int startAfter, Match match) {
  const int n = c ? c->count() : 0;
  if (n == 0) return CB_ERR;
  const int first = (startAfter < 0 || startAfter >= n) ? 0 : startAfter + 1;
  for (int k = 0; k < n; ++k) {
    const int i = (first + k) % n;
    if (match(c->itemText(i))) return i;
  }
  return CB_ERR;
}

}  // namespace

QComboBox* CComboBox::combo() const {
  return qobject_cast<QComboBox*>(m_hWnd);
}

int CComboBox::AddString(const std::string& text) {
  QComboBox* c = combo();
  if (!c) return CB_ERR;
  const QString s = ShownText(text);
  const bool sorted = c->insertPolicy() == QComboBox::InsertAlphabetically;
  const int at = sorted ? SortedPosition(c, s) : c->count();
  // Adding an entry must not select it (Qt selects the first item added).
  const int current = c->currentIndex();
  c->insertItem(at, s);
  c->setItemData(at, ItemBytes(text), kItemBytesRole);
  c->setCurrentIndex(current < 0 ? -1 : (current >= at ? current + 1 : current));
  return at;
}

int CComboBox::DeleteString(int index) {
  QComboBox* c = combo();
  if (!c || index < 0 || index >= c->count()) return CB_ERR;
  c->removeItem(index);
  return c->count();
}

void CComboBox::ResetContent() {
  if (QComboBox* c = combo()) c->clear();
}

int CComboBox::GetCount() const {
  const QComboBox* c = combo();
  return c ? c->count() : CB_ERR;
}

int CComboBox::GetCurSel() const {
  const QComboBox* c = combo();
  return c ? c->currentIndex() : CB_ERR;
}

int CComboBox::SetCurSel(int index) {
  QComboBox* c = combo();
  if (!c || index >= c->count()) return CB_ERR;
  c->setCurrentIndex(index < 0 ? -1 : index);
  return index < 0 ? CB_ERR : index;
}

int CComboBox::GetLBText(int index, std::string& text) const {
  const QComboBox* c = combo();
  if (!c || index < 0 || index >= c->count()) return CB_ERR;
  text = BytesOfItem(c->itemData(index, kItemBytesRole), c->itemText(index));
  return static_cast<int>(text.size());
}

std::string CComboBox::GetLBText(int index) const {
  std::string text;
  GetLBText(index, text);
  return text;
}

int CComboBox::FindStringExact(int startAfter, const std::string& text) const {
  const QString s = ShownText(text);
  return Search(combo(), startAfter,
                [&](const QString& t) { return QString::compare(t, s, Qt::CaseInsensitive) == 0; });
}

int CComboBox::SelectString(int startAfter, const std::string& prefix) {
  const QString s = ShownText(prefix);
  const int i = Search(combo(), startAfter, [&](const QString& t) { return t.startsWith(s, Qt::CaseInsensitive); });
  if (i != CB_ERR) combo()->setCurrentIndex(i);
  return i;
}

}  // namespace kc::fw
