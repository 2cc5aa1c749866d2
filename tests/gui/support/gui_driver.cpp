#include "gui_driver.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <memory>

#include "framework/window_ops.h"

namespace kc::test {

QWidget* Control(QWidget* dialog, int id) {
  QWidget* w = dialog ? dialog->findChild<QWidget*>(QStringLiteral("ctl%1").arg(id)) : nullptr;
  if (!w) ADD_FAILURE() << "No control " << id << " in the dialog";
  return w;
}

void Click(QWidget* dialog, int id) {
  auto* b = qobject_cast<QAbstractButton*>(Control(dialog, id));
  if (!b) {
    ADD_FAILURE() << "Control " << id << " is not a button";
    return;
  }
  QTest::mouseClick(b, Qt::LeftButton, Qt::NoModifier, QPoint(std::min(8, b->width() / 2), b->height() / 2));
}

void TypeText(QWidget* dialog, int id, const std::string& text) {
  auto* e = qobject_cast<QLineEdit*>(Control(dialog, id));
  if (!e) {
    ADD_FAILURE() << "Control " << id << " is not an edit field";
    return;
  }
  e->setFocus(Qt::TabFocusReason);
  e->selectAll();
  QTest::keyClick(e, Qt::Key_Delete);
  // QTest types only ASCII by key code; other characters go as key text.
  for (const QChar ch : QString::fromStdString(text)) {
    if (ch.unicode() < 0x80)
      QTest::keyClick(e, ch.toLatin1());
    else
      QTest::sendKeyEvent(QTest::Click, e, Qt::Key_unknown, QString(ch), Qt::NoModifier);
  }
}

void PressKey(QWidget* window, Qt::Key key, Qt::KeyboardModifiers modifiers) {
  QWidget* target = window->focusWidget() ? window->focusWidget() : window;
  QTest::keyClick(target, key, modifiers);
}

void ClickListItem(QWidget* dialog, int id, int index) {
  auto* l = qobject_cast<QListWidget*>(Control(dialog, id));
  if (!l || index < 0 || index >= l->count()) {
    ADD_FAILURE() << "No item " << index << " in list " << id;
    return;
  }
  l->scrollToItem(l->item(index));
  QTest::mouseClick(l->viewport(), Qt::LeftButton, Qt::NoModifier, l->visualItemRect(l->item(index)).center());
}

void ChooseComboEntry(QWidget* dialog, int id, int index) {
  auto* c = qobject_cast<QComboBox*>(Control(dialog, id));
  if (!c || index < 0 || index >= c->count()) {
    ADD_FAILURE() << "No entry " << index << " in combo box " << id;
    return;
  }
  c->setCurrentIndex(index);
  emit c->activated(index);
}

void DoubleClickTreeItem(QWidget* dialog, int id, QTreeWidgetItem* item) {
  auto* t = qobject_cast<QTreeWidget*>(Control(dialog, id));
  if (!t || !item) {
    ADD_FAILURE() << "No such item in tree " << id;
    return;
  }
  t->scrollToItem(item);
  const QPoint at = t->visualItemRect(item).center();
  QTest::mouseClick(t->viewport(), Qt::LeftButton, Qt::NoModifier, at);
  QTest::mouseDClick(t->viewport(), Qt::LeftButton, Qt::NoModifier, at);
}

void WhenModalShows(std::function<void(QWidget*)> action) {
  auto timer = std::make_shared<QTimer>();
  auto waited = std::make_shared<int>(0);
  timer->setInterval(10);
  QObject::connect(timer.get(), &QTimer::timeout, [timer, waited, action] {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal && modal->isVisible()) {
      timer->stop();
      action(modal);
    } else if ((*waited += 10) > 5000) {
      timer->stop();
      ADD_FAILURE() << "No modal window showed within five seconds";
    }
  });
  timer->start();
}

std::string SaveScreenshot(QWidget* widget, const std::string& name) {
  QString dir = qEnvironmentVariable("KITCOMP_SCREENSHOT_DIR");
  if (dir.isEmpty()) dir = QDir::temp().filePath(QStringLiteral("kitcomp-screenshots"));
  QDir().mkpath(dir);
  const std::string path = QDir(dir).filePath(QString::fromStdString(name) + ".png").toStdString();
  return fw::RenderToPng(widget, path) ? path : std::string();
}

}  // namespace kc::test
