// UpdateWindow without an event loop, the wait cursor, and the pictures.
#include "framework/window_ops.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QIcon>
#include <QLabel>
#include <QPixmap>
#include <QVBoxLayout>

#include "framework/controls.h"
#include "framework/resources.h"

namespace kc::test {
namespace {

using namespace kc::fw;

class PaintCounter : public QObject {
 public:
  int paints = 0;
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::Paint) ++paints;
    return false;
  }
};

TEST(UpdateWindowTest, ShowsANewLabelTextWithoutAnEventLoop) {
  QWidget window;
  auto* layout = new QVBoxLayout(&window);
  auto* label = new QLabel("a", &window);
  layout->addWidget(label);
  layout->addStretch();
  window.show();
  UpdateWindow(&window);
  PaintCounter counter;
  label->installEventFilter(&counter);
  label->setText("Creating Network image, a much longer stage text");
  UpdateWindow(&window);
  // The layout has made room for the new text and the label has been painted.
  EXPECT_GE(label->width(), label->sizeHint().width());
  EXPECT_GE(counter.paints, 1);
}

TEST(WaitCursorTest, OverridesTheCursorForItsLifetime) {
  {
    CWaitCursor wait;
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
  }
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST(PicturesTest, SidePictureIsTallAndNarrow) {
  const QPixmap side = LoadBitmap(IDB_SIDE_PICTURE);
  ASSERT_FALSE(side.isNull());
  EXPECT_GT(side.height(), 2 * side.width());
  EXPECT_GE(side.height(), 400);
  EXPECT_TRUE(LoadBitmap(9999).isNull());
}

TEST(PicturesTest, IconComesInEveryDesktopSize) {
  const QIcon icon = LoadIcon(IDI_PROGRAM);
  ASSERT_FALSE(icon.isNull());
  for (int size : {16, 32, 48, 64, 128, 256}) {
    EXPECT_TRUE(icon.availableSizes().contains(QSize(size, size))) << size;
  }
}

TEST(PicturesTest, FolderStripCutsIntoTwoImagesWithTheMaskColourTransparent) {
  CImageList images;
  ASSERT_TRUE(images.Create(IDB_FOLDER_IMAGES, 16, 0, 0x00FF00));
  ASSERT_EQ(images.GetImageCount(), 2);
  for (int i = 0; i < 2; ++i) {
    const QImage img = images.GetImage(i).toImage();
    EXPECT_EQ(img.size(), QSize(16, 16));
    EXPECT_EQ(qAlpha(img.pixel(0, 0)), 0) << "corner of image " << i;
    EXPECT_EQ(qAlpha(img.pixel(8, 8)), 255) << "middle of image " << i;
  }
  EXPECT_NE(images.GetImage(0).toImage(), images.GetImage(1).toImage());
  EXPECT_FALSE(images.Create(9999, 16, 0, 0x00FF00));
}

}  // namespace
}  // namespace kc::test
