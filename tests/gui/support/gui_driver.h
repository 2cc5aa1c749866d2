// Driving real widgets in GUI tests, by control ID ("ctl<ID>" object names).
// Clicks and keys go through QTest as a user's would: a disabled or hidden
// control does not react.
#pragma once

#include <Qt>
#include <functional>
#include <initializer_list>
#include <string>

class QTreeWidgetItem;
class QWidget;

namespace kc::test {

// The control with this ID in a dialog; fails the test when there is none.
QWidget* Control(QWidget* dialog, int id);

// Clicks a button (near its left edge, where a check box's box is).
void Click(QWidget* dialog, int id);
// Replaces the text of an edit field by typing.
void TypeText(QWidget* dialog, int id, const std::string& text);
// A key press at the window's focus widget (or the window).
void PressKey(QWidget* window, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
// Clicks list box item `index` (in a multiple-selection list a click toggles it).
void ClickListItem(QWidget* dialog, int id, int index);
// Chooses a combo box entry as the user does (CBN_SELCHANGE follows).
void ChooseComboEntry(QWidget* dialog, int id, int index);
// Double-clicks a tree item.
void DoubleClickTreeItem(QWidget* dialog, int id, QTreeWidgetItem* item);

// Runs `action` on the next modal window once it is up (polling for up to
// five seconds), e.g. to drive a real QFileDialog or QMessageBox.
void WhenModalShows(std::function<void(QWidget*)> action);

// Renders a widget to <dir>/<name>.png, dir from KITCOMP_SCREENSHOT_DIR or
// the temporary folder; returns the path ("" when it cannot be written).
std::string SaveScreenshot(QWidget* widget, const std::string& name);

}  // namespace kc::test
