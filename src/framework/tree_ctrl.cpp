// Tree view operations on a QTreeWidget, with item handles and an image list.
#include <QIcon>
#include <QPixmap>
#include <QTreeWidget>
#include <QVariant>

#include "framework/control_text.h"
#include "framework/controls.h"

namespace kc::fw {
namespace {

const char kImagesProperty[] = "kcImages";

QTreeWidgetItem* Sibling(QTreeWidgetItem* item, int delta) {
  if (!item) return nullptr;
  QTreeWidgetItem* parent = item->parent();
  QTreeWidget* tree = item->treeWidget();
  const int i = parent ? parent->indexOfChild(item) : tree->indexOfTopLevelItem(item);
  const int j = i + delta;
  const int n = parent ? parent->childCount() : tree->topLevelItemCount();
  if (j < 0 || j >= n) return nullptr;
  return parent ? parent->child(j) : tree->topLevelItem(j);
}

}  // namespace

QTreeWidget* CTreeCtrl::tree() const {
  return qobject_cast<QTreeWidget*>(m_hWnd);
}

void CTreeCtrl::SetImageList(const CImageList* images, int which) {
  QTreeWidget* t = tree();
  if (!t || which != TVSIL_NORMAL) return;
  QVariantList list;
  if (images) {
    for (int i = 0; i < images->GetImageCount(); ++i) list.append(images->GetImage(i));
  }
  t->setProperty(kImagesProperty, list);
  if (!list.isEmpty()) t->setIconSize(list.front().value<QPixmap>().size());
}

QIcon CTreeCtrl::iconFor(int image, int selectedImage) const {
  const QVariantList list = tree()->property(kImagesProperty).toList();
  QIcon icon;
  if (image >= 0 && image < list.size()) icon.addPixmap(list[image].value<QPixmap>(), QIcon::Normal);
  // The selected image shows while the item is selected, focused or not.
  if (selectedImage >= 0 && selectedImage < list.size()) {
    icon.addPixmap(list[selectedImage].value<QPixmap>(), QIcon::Selected, QIcon::Off);
    icon.addPixmap(list[selectedImage].value<QPixmap>(), QIcon::Selected, QIcon::On);
  }
  return icon;
}

HTREEITEM CTreeCtrl::InsertItem(const std::string& text, int image, int selectedImage, HTREEITEM parent,
                                HTREEITEM after) {
  QTreeWidget* t = tree();
  if (!t) return nullptr;
  const QString s = ShownText(text);
  const int count = parent ? parent->childCount() : t->topLevelItemCount();
  auto childAt = [&](int i) { return parent ? parent->child(i) : t->topLevelItem(i); };
  int at = count;
  if (after == TVI_FIRST) {
    at = 0;
  } else if (after == TVI_SORT) {
    // After the last sibling that does not sort behind the new text.
    at = 0;
    while (at < count && QString::compare(childAt(at)->text(0), s, Qt::CaseInsensitive) <= 0) ++at;
  } else if (after != TVI_LAST && after != nullptr) {
    const int i = parent ? parent->indexOfChild(after) : t->indexOfTopLevelItem(after);
    if (i < 0) return nullptr;
    at = i + 1;
  }
  auto* item = new QTreeWidgetItem(QStringList{s});
  item->setData(0, kItemBytesRole, ItemBytes(text));
  item->setIcon(0, iconFor(image, selectedImage));
  if (parent)
    parent->insertChild(at, item);
  else
    t->insertTopLevelItem(at, item);
  return item;
}

bool CTreeCtrl::DeleteItem(HTREEITEM item) {
  if (!tree() || !item || item->treeWidget() != tree()) return false;
  delete item;  // takes its children with it and leaves its parent
  return true;
}

bool CTreeCtrl::DeleteAllItems() {
  QTreeWidget* t = tree();
  if (!t) return false;
  t->clear();
  return true;
}

HTREEITEM CTreeCtrl::GetRootItem() const {
  const QTreeWidget* t = tree();
  return t && t->topLevelItemCount() > 0 ? t->topLevelItem(0) : nullptr;
}

HTREEITEM CTreeCtrl::GetChildItem(HTREEITEM item) const {
  if (!item) return GetRootItem();
  return item->childCount() > 0 ? item->child(0) : nullptr;
}

HTREEITEM CTreeCtrl::GetNextSiblingItem(HTREEITEM item) const {
  return Sibling(item, +1);
}
HTREEITEM CTreeCtrl::GetPrevSiblingItem(HTREEITEM item) const {
  return Sibling(item, -1);
}
HTREEITEM CTreeCtrl::GetParentItem(HTREEITEM item) const {
  return item ? item->parent() : nullptr;
}
bool CTreeCtrl::ItemHasChildren(HTREEITEM item) const {
  return item && item->childCount() > 0;
}

std::string CTreeCtrl::GetItemText(HTREEITEM item) const {
  return item ? BytesOfItem(item->data(0, kItemBytesRole), item->text(0)) : std::string();
}

bool CTreeCtrl::Expand(HTREEITEM item, unsigned code) {
  if (!item) return false;
  switch (code) {
    case TVE_EXPAND:
      item->setExpanded(true);
      break;
    case TVE_COLLAPSE:
      item->setExpanded(false);
      break;
    case TVE_TOGGLE:
      item->setExpanded(!item->isExpanded());
      break;
    default:
      return false;
  }
  return true;
}

bool CTreeCtrl::SelectItem(HTREEITEM item) {
  QTreeWidget* t = tree();
  if (!t) return false;
  if (!item) {
    t->clearSelection();
    return true;
  }
  t->setCurrentItem(item);
  item->setSelected(true);
  t->scrollToItem(item);
  return true;
}

HTREEITEM CTreeCtrl::GetSelectedItem() const {
  const QTreeWidget* t = tree();
  if (!t) return nullptr;
  const auto selected = t->selectedItems();
  return selected.isEmpty() ? nullptr : selected.front();
}

int CTreeCtrl::GetCount() const {
  const QTreeWidget* t = tree();
  if (!t) return 0;
  int n = 0;
  QTreeWidgetItemIterator it(const_cast<QTreeWidget*>(t));
  while (*it) {
    ++n;
    ++it;
  }
  return n;
}

}  // namespace kc::fw
