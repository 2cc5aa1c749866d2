// List box operations on a QListWidget, sorted and searched as LBS_SORT lists are.
#include <QListWidget>

#include "framework/control_text.h"
#include "framework/controls.h"

namespace kc::fw {
namespace {

const char kSortedProperty[] = "kcSorted";

// A template's sortingEnabled marks an LBS_SORT list. Qt would sort with case,
// so its sorting is switched off and the list remembers that it is sorted.
bool IsSorted(QListWidget* l) {
  if (l->isSortingEnabled()) {
    l->setSortingEnabled(false);
    l->setProperty(kSortedProperty, true);
  }
  return l->property(kSortedProperty).toBool();
}

int SortedPosition(QListWidget* l, const QString& text) {
  // After any equal entries, as Windows places a duplicate.
  int lo = 0, hi = l->count();
  while (lo < hi) {
    const int mid = (lo + hi) / 2;
    if (QString::compare(l->item(mid)->text(), text, Qt::CaseInsensitive) <= 0)
      lo = mid + 1;
    else
      hi = mid;
  }
  return lo;
}

template <typename Match>
int Search(const QListWidget* l, int startAfter, Match match) {
  const int n = l ? l->count() : 0;
  if (n == 0) return LB_ERR;
  const int first = (startAfter < 0 || startAfter >= n) ? 0 : startAfter + 1;
  for (int k = 0; k < n; ++k) {
    const int i = (first + k) % n;
    if (match(l->item(i)->text())) return i;
  }
  return LB_ERR;
}

void InsertItem(QListWidget* l, int at, const std::string& bytes, const QString& shown) {
  auto* item = new QListWidgetItem(shown);
  item->setData(kItemBytesRole, ItemBytes(bytes));
  l->insertItem(at, item);
}

}  // namespace

QListWidget* CListBox::list() const {
  return qobject_cast<QListWidget*>(m_hWnd);
}

int CListBox::AddString(const std::string& text) {
  QListWidget* l = list();
  if (!l) return LB_ERR;
  const QString s = ShownText(text);
  const int at = IsSorted(l) ? SortedPosition(l, s) : l->count();
  InsertItem(l, at, text, s);
  return at;
}

int CListBox::InsertString(int index, const std::string& text) {
  QListWidget* l = list();
  if (!l || index > l->count()) return LB_ERR;
  IsSorted(l);
  const int at = index < 0 ? l->count() : index;
  InsertItem(l, at, text, ShownText(text));
  return at;
}

int CListBox::DeleteString(int index) {
  QListWidget* l = list();
  if (!l || index < 0 || index >= l->count()) return LB_ERR;
  delete l->takeItem(index);
  return l->count();
}

void CListBox::ResetContent() {
  if (QListWidget* l = list()) l->clear();
}

int CListBox::GetCount() const {
  const QListWidget* l = list();
  return l ? l->count() : LB_ERR;
}

int CListBox::GetText(int index, std::string& text) const {
  const QListWidget* l = list();
  if (!l || index < 0 || index >= l->count()) return LB_ERR;
  const QListWidgetItem* item = l->item(index);
  text = BytesOfItem(item->data(kItemBytesRole), item->text());
  return static_cast<int>(text.size());
}

std::string CListBox::GetText(int index) const {
  std::string text;
  GetText(index, text);
  return text;
}

// Searches compare the texts as shown, as a list box compares its strings.
int CListBox::FindStringExact(int startAfter, const std::string& text) const {
  const QString s = ShownText(text);
  return Search(list(), startAfter, [&](const QString& t) { return QString::compare(t, s, Qt::CaseInsensitive) == 0; });
}

int CListBox::FindString(int startAfter, const std::string& prefix) const {
  const QString s = ShownText(prefix);
  return Search(list(), startAfter, [&](const QString& t) { return t.startsWith(s, Qt::CaseInsensitive); });
}

int CListBox::GetCurSel() const {
  const QListWidget* l = list();
  return l ? l->currentRow() : LB_ERR;
}

int CListBox::SetCurSel(int index) {
  QListWidget* l = list();
  if (!l || index >= l->count()) return LB_ERR;
  l->setCurrentRow(index);
  return index;
}

int CListBox::GetSel(int index) const {
  const QListWidget* l = list();
  if (!l || index < 0 || index >= l->count()) return LB_ERR;
  return l->item(index)->isSelected() ? 1 : 0;
}

int CListBox::SetSel(int index, bool select) {
  QListWidget* l = list();
  if (!l || index >= l->count()) return LB_ERR;
  if (index < 0) {
    for (int i = 0; i < l->count(); ++i) l->item(i)->setSelected(select);
  } else {
    l->item(index)->setSelected(select);
  }
  return 0;
}

int CListBox::GetSelCount() const {
  const QListWidget* l = list();
  if (!l) return LB_ERR;
  int n = 0;
  for (int i = 0; i < l->count(); ++i) n += l->item(i)->isSelected() ? 1 : 0;
  return n;
}

int CListBox::GetSelItems(int maxItems, int* indexes) const {
  const QListWidget* l = list();
  if (!l) return LB_ERR;
  int n = 0;
  for (int i = 0; i < l->count() && n < maxItems; ++i) {
    if (l->item(i)->isSelected()) indexes[n++] = i;
  }
  return n;
}

std::vector<int> CListBox::GetSelItems(int maxItems) const {
  std::vector<int> out(maxItems > 0 ? static_cast<std::size_t>(maxItems) : 0);
  const int n = GetSelItems(maxItems, out.data());
  out.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
  return out;
}

}  // namespace kc::fw
