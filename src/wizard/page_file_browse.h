// The Browse button of a customization or installer page: the common file-open
// dialog with the page's one-entry filter, initial name and default extension;
// on OK the chosen path replaces the text of the button's edit field. Nothing
// reaches the choices file until the page is left.
#pragma once

#include "framework/dialog.h"
#include "framework/win_defs.h"

namespace kc::wizard {

// The flags every page's file Browse uses; the current directory stays as it is.
inline constexpr unsigned kPageBrowseFlags = fw::OFN_HIDEREADONLY | fw::OFN_OVERWRITEPROMPT | fw::OFN_NOCHANGEDIR;

struct FileBrowse {
  const char* filter;       // "Desc (*.x)|*.x||"
  const char* initialName;  // a name ("velomark.cfg") or a filter ("*.bmp"); "" for none
  const char* defaultExt;   // without the dot; "" for none
  unsigned flags = kPageBrowseFlags;
};

// Runs the dialog (no parent window), starting in the folder of the path the
// edit holds, and puts the chosen path into editId; Cancel leaves the edit as
// it is. True when a file was chosen.
bool BrowseIntoEdit(fw::CDialog& page, int editId, const FileBrowse& browse);

}  // namespace kc::wizard
