// The program's pictures: bitmaps and icons by resource number, compiled into
// the framework (":/bitmaps/<id>.png", ":/icons/<id>.png").
//   154  the side picture of the welcome dialog and of every wizard page
//   145  the folder browser's image strip: closed folder, open folder (16 px each)
//   128  the program's icon
#pragma once

class QIcon;
class QPixmap;
class QWidget;

namespace kc::fw {

inline constexpr int IDB_SIDE_PICTURE = 154;
inline constexpr int IDB_FOLDER_IMAGES = 145;
inline constexpr int IDI_PROGRAM = 128;

// A null pixmap when there is no such bitmap.
QPixmap LoadBitmap(int id);
// Every size of the icon that exists; a null icon when there is none.
QIcon LoadIcon(int id);

// Shows bitmap `bitmapId` in the picture control of a dialog or page (a QLabel
// named "ctl1000" or "ctl1001", or the one given), kept at its own size at the
// top of the control. False when the dialog has no such control.
bool ShowSidePicture(QWidget* dialog, int bitmapId = IDB_SIDE_PICTURE, int controlId = 0);

}  // namespace kc::fw
