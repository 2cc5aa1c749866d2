#include "framework/resources.h"

#include <QBitmap>
#include <QDir>
#include <QFile>
#include <QIcon>
#include <QImage>
#include <QLabel>
#include <QPalette>
#include <QPixmap>
#include <vector>

#include "framework/controls.h"

namespace kc::fw {

QPixmap LoadBitmap(int id) {
  return QPixmap(QStringLiteral(":/bitmaps/%1.png").arg(id));
}

QIcon LoadIcon(int id) {
  QIcon icon;
  const QDir dir(QStringLiteral(":/icons"));
  const QString prefix = QStringLiteral("%1").arg(id);
  // 128.png is the main size, 128-16.png ... the others.
  for (const QString& name : dir.entryList({prefix + ".png", prefix + "-*.png"}, QDir::Files))
    icon.addFile(dir.filePath(name));
  return icon;
}

bool ShowSidePicture(QWidget* dialog, int bitmapId, int controlId) {
  if (!dialog) return false;
  QLabel* label = nullptr;
  const std::vector<int> candidates = controlId ? std::vector<int>{controlId} : std::vector<int>{1000, 1001};
  for (int id : candidates) {
    label = dialog->findChild<QLabel*>(QStringLiteral("ctl%1").arg(id));
    if (label) break;
  }
  if (!label) return false;
  const QPixmap picture = LoadBitmap(bitmapId);
  label->setPixmap(picture);
  label->setScaledContents(false);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  label->setMinimumWidth(picture.width());
  label->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Ignored);
  if (!picture.isNull()) {
    // A page taller than the picture shows the picture's last colour below it
    // rather than a bare strip.
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, picture.toImage().pixelColor(picture.width() / 2, picture.height() - 1));
    label->setPalette(palette);
    label->setAutoFillBackground(true);
  }
  return !picture.isNull();
}

bool CImageList::Create(int bitmapId, int cx, int /*grow*/, unsigned maskRgb) {
  m_images.clear();
  QImage strip = LoadBitmap(bitmapId).toImage().convertToFormat(QImage::Format_ARGB32);
  if (strip.isNull() || cx <= 0) return false;
  const QRgb mask = qRgb((maskRgb >> 16) & 0xFF, (maskRgb >> 8) & 0xFF, maskRgb & 0xFF);
  for (int y = 0; y < strip.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(strip.scanLine(y));
    for (int x = 0; x < strip.width(); ++x) {
      if ((line[x] & 0xFFFFFF) == (mask & 0xFFFFFF)) line[x] = qRgba(0, 0, 0, 0);
    }
  }
  for (int x = 0; x + cx <= strip.width(); x += cx)
    m_images.push_back(QPixmap::fromImage(strip.copy(x, 0, cx, strip.height())));
  return !m_images.empty();
}

void CImageList::DeleteImageList() {
  m_images.clear();
}

const QPixmap& CImageList::GetImage(int index) const {
  static const QPixmap none;
  return index >= 0 && index < GetImageCount() ? m_images[static_cast<std::size_t>(index)] : none;
}

}  // namespace kc::fw
