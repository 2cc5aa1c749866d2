#include "framework/window_ops.h"

#include <QApplication>
#include <QEvent>
#include <QPixmap>
#include <QWidget>

namespace kc::fw {

void UpdateWindow(QWidget* window) {
  if (!window || !QCoreApplication::instance()) return;
  // A changed text asks for a new layout through a posted event; apply it now.
  QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
  // Exposure of a newly shown window arrives from the window system; take
  // such events, but no keyboard or mouse input.
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
  if (window->isVisible()) window->repaint();
}

CWaitCursor::CWaitCursor() {
  if (qobject_cast<QApplication*>(QCoreApplication::instance())) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_active = true;
  }
}

CWaitCursor::~CWaitCursor() {
  Restore();
}

void CWaitCursor::Restore() {
  if (m_active) {
    QApplication::restoreOverrideCursor();
    m_active = false;
  }
}

bool RenderToPng(QWidget* widget, const std::string& hostPath) {
  if (!widget) return false;
  QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
  return widget->grab().save(QString::fromStdString(hostPath), "PNG");
}

}  // namespace kc::fw
