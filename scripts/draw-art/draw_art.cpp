// Draws the program's pictures with QPainter: the side picture (bitmap 154),
// the folder image strip (bitmap 145) and the program icon (icon 128) in
// every size. Usage: draw_art <resources folder>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>
#include <cstdio>

namespace {

const QColor kDeep(0x17, 0x4a, 0x7c);  // deep blue
const QColor kTeal(0x1c, 0x9c, 0x96);  // teal
const QColor kMint(0x7f, 0xdc, 0xc8);  // light accent

// An isometric box centred at c with half-width w: top, left and right faces.
void DrawBox(QPainter& p, QPointF c, double w, double alpha, bool lid) {
  const double h = w * 0.58;  // the top face's half-height
  const double d = w * 1.05;  // the side faces' height
  const QPointF top(c.x(), c.y() - h), right(c.x() + w, c.y()), bottom(c.x(), c.y() + h), left(c.x() - w, c.y());
  QPainterPath topFace, leftFace, rightFace;
  topFace.addPolygon(QPolygonF{top, right, bottom, left, top});
  leftFace.addPolygon(QPolygonF{left, bottom, bottom + QPointF(0, d), left + QPointF(0, d), left});
  rightFace.addPolygon(QPolygonF{bottom, right, right + QPointF(0, d), bottom + QPointF(0, d), bottom});
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(255, 255, 255, int(235 * alpha)));
  p.drawPath(topFace);
  p.setBrush(QColor(255, 255, 255, int(170 * alpha)));
  p.drawPath(leftFace);
  p.setBrush(QColor(255, 255, 255, int(115 * alpha)));
  p.drawPath(rightFace);
  if (lid) {
    // A band across the top and down the front: the kit's strap.
    QPen strap(QColor(kTeal.red(), kTeal.green(), kTeal.blue(), int(200 * alpha)), std::max(1.0, w * 0.09));
    strap.setCapStyle(Qt::FlatCap);
    p.setPen(strap);
    const QPointF a = (top + left) / 2, b = (right + bottom) / 2;
    p.drawLine(a, b);
    p.drawLine(b, b + QPointF(0, d));
    p.setPen(Qt::NoPen);
  }
}

QImage SidePicture() {
  const int width = 164, height = 440;
  QImage img(width, height, QImage::Format_RGB32);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient g(0, 0, width * 0.4, height);
  g.setColorAt(0.0, kDeep);
  g.setColorAt(1.0, kTeal);
  p.fillRect(img.rect(), g);
  // Soft diagonal bands of light.
  for (int i = 0; i < 4; ++i) {
    QPainterPath band;
    const double y0 = 60 + i * 110;
    band.moveTo(0, y0);
    band.lineTo(width, y0 - 70);
    band.lineTo(width, y0 - 40);
    band.lineTo(0, y0 + 30);
    band.closeSubpath();
    p.fillPath(band, QColor(255, 255, 255, 10 + 4 * i));
  }
  // A glow behind the main box.
  QRadialGradient glow(QPointF(width / 2.0, 150), 90);
  glow.setColorAt(0, QColor(kMint.red(), kMint.green(), kMint.blue(), 90));
  glow.setColorAt(1, QColor(kMint.red(), kMint.green(), kMint.blue(), 0));
  p.setBrush(glow);
  p.setPen(Qt::NoPen);
  p.drawEllipse(QPointF(width / 2.0, 150), 90, 90);
  // The kit: one large box, parts gathering below it.
  DrawBox(p, QPointF(width / 2.0, 130), 44, 1.0, true);
  DrawBox(p, QPointF(width / 2.0 - 30, 262), 16, 0.75, false);
  DrawBox(p, QPointF(width / 2.0 + 26, 290), 13, 0.6, false);
  DrawBox(p, QPointF(width / 2.0 - 8, 338), 10, 0.45, false);
  DrawBox(p, QPointF(width / 2.0 + 22, 376), 7, 0.3, false);
  // A thin rule on the right edge separates the picture from the page.
  p.fillRect(QRect(width - 1, 0, 1, height), QColor(255, 255, 255, 60));
  return img;
}

QImage Icon(int size) {
  QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::transparent);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  const double s = size;
  const double margin = s * 0.06;
  QRectF r(margin, margin, s - 2 * margin, s - 2 * margin);
  QLinearGradient g(r.topLeft(), r.bottomRight());
  g.setColorAt(0, kDeep);
  g.setColorAt(1, kTeal);
  p.setBrush(g);
  p.setPen(Qt::NoPen);
  p.drawRoundedRect(r, s * 0.18, s * 0.18);
  DrawBox(p, QPointF(s / 2, s * 0.40), s * 0.27, 1.0, size >= 32);
  return img;
}

// Two 16 x 16 folders on the transparent colour RGB(0, 255, 0), drawn without
// anti-aliasing so that no edge pixel blends with it.
QImage FolderStrip() {
  QImage img(32, 16, QImage::Format_RGB32);
  img.fill(QColor(0, 255, 0));
  QPainter p(&img);
  const QColor edge(0x8a, 0x62, 0x10), back(0xe8, 0xb0, 0x30), front(0xf8, 0xd0, 0x58), paper(0xff, 0xff, 0xff);
  // Image 0: a closed folder.
  p.setPen(edge);
  p.setBrush(back);
  p.drawRect(1, 2, 6, 2);  // tab
  p.setBrush(front);
  p.drawRect(1, 4, 13, 9);  // body
  // Image 1: an open folder, a sheet showing and the front flap tilted.
  p.translate(16, 0);
  p.setBrush(back);
  p.drawRect(1, 2, 6, 2);
  p.drawRect(1, 4, 12, 9);
  p.setBrush(paper);
  p.drawRect(3, 5, 9, 5);
  p.setBrush(front);
  p.drawPolygon(QPolygon{{1, 13}, {4, 8}, {15, 8}, {12, 13}});
  return img;
}

bool Save(const QImage& img, const QString& path) {
  if (!img.save(path, "PNG")) {
    std::fprintf(stderr, "draw_art: cannot write %s\n", qPrintable(path));
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: draw_art <resources folder>\n");
    return 2;
  }
  const QDir out(QString::fromLocal8Bit(argv[1]));
  out.mkpath("bitmaps");
  out.mkpath("icons");
  bool ok = Save(SidePicture(), out.filePath("bitmaps/154.png"));
  ok = Save(FolderStrip(), out.filePath("bitmaps/145.png")) && ok;
  ok = Save(Icon(128), out.filePath("icons/128.png")) && ok;
  for (int size : {16, 32, 48, 64, 256})
    ok = Save(Icon(size), out.filePath(QString("icons/128-%1.png").arg(size))) && ok;
  return ok ? 0 : 1;
}
