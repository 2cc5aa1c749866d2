#include "wizard/page_file_browse.h"

#include "framework/file_dialog.h"

namespace kc::wizard {

bool BrowseIntoEdit(fw::CDialog& page, int editId, const FileBrowse& browse) {
  fw::CFileDialog dialog(true, browse.defaultExt, browse.initialName, browse.flags, browse.filter);
  dialog.SetInitialFolder(fw::InitialFolderOf(page.GetDlgItemText(editId)));
  if (dialog.DoModal() != fw::IDOK) return false;
  page.SetDlgItemText(editId, dialog.GetPathName());
  return true;
}

}  // namespace kc::wizard
