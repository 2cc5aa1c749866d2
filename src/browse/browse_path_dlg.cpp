#include "browse/browse_path_dlg.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <vector>

#include "dialogs/dlg141_browsepath_ids.h"
#include "framework/data_exchange.h"
#include "framework/resources.h"
#include "platform/files.h"

namespace kc::browse {

using namespace dlg141_browsepath;

namespace {

constexpr int kItemImage = 0;
constexpr int kSelectedImage = 1;
constexpr unsigned kImageMask = 0x00FF00;  // pure green is transparent in bitmap 145
constexpr const char* kDefaultRoot = "c:\\";
constexpr const char* kFloppyRefusal = "Kit Composer will not use floppy drives. Please choose another drive.";

bool IsDriveRooted(const std::string& path) {
  return path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':';
}

// The items of a start path: doubled backslashes count once, and a trailing
// one adds no empty item.
std::vector<std::string> SplitComponents(const std::string& path) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= path.size()) {
    const std::size_t end = path.find('\\', start);
    const std::string part = path.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (!part.empty()) parts.push_back(part);
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return parts;
}

}  // namespace

CBrowsePathDlg::CBrowsePathDlg(QWidget* parent) : CDialog(IDD, parent) {
  ui.setupUi(this);
  m_tree = TreeCtrl(IDC_FOLDER_TREE);
  OnCommand(IDC_DRIVES, fw::CBN_SELCHANGE, [this] { OnSelectDrive(); });
  OnNotify(IDC_FOLDER_TREE, fw::NM_DBLCLK, [this] { return OnDoubleClickFolder(); });
}

void CBrowsePathDlg::DoDataExchange(fw::CDataExchange* pDX) {
  fw::DDX_CBString(pDX, IDC_DRIVES, m_drive);
  fw::DDX_Text(pDX, IDC_PATH_SHOWN, m_path);
}

void CBrowsePathDlg::ListSubfolders(const std::string& pattern, const std::string& prefix, fw::HTREEITEM parent,
                                    std::FILE* log) {
  win::WIN32_FIND_DATAA entry;
  win::HANDLE search = win::FindFirstFileA(pattern.c_str(), &entry);
  if (search == win::INVALID_HANDLE_VALUE) return;
  do {
    const std::string name = entry.cFileName;
    if (name == "." || name == "..") continue;
    // A folder is what can be searched: even an empty one yields "." and "..".
    win::WIN32_FIND_DATAA inner;
    win::HANDLE innerSearch = win::FindFirstFileA((prefix + name + "\\*.*").c_str(), &inner);
    if (innerSearch == win::INVALID_HANDLE_VALUE) continue;
    win::FindClose(innerSearch);
    fw::HTREEITEM item = m_tree.InsertItem(name, kItemImage, kSelectedImage, parent, fw::TVI_SORT);
    if (log == nullptr) continue;
    if (item != nullptr) {
      std::fprintf(log, "The handle returned was: %llu for: \n%s\n",
                   static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(item)), name.c_str());
    } else {
      std::fprintf(log, "NULL returned on: \n%s\n", name.c_str());
    }
  } while (win::FindNextFileA(search, &entry));
  win::FindClose(search);
}

bool CBrowsePathDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  // The log goes wherever the current directory is right now; the run goes on
  // without it when it cannot be created.
  std::FILE* log = win::fopen("debug.out", "w+");

  // "/" separates too, but the tree and the path display show one form.
  std::string start = m_path;
  std::replace(start.begin(), start.end(), '/', '\\');
  if (win::SetCurrentDirectoryA(start.c_str())) {
    // A path without a drive ("\kits", "out") is shown and split as the
    // absolute folder it named.
    if (!IsDriveRooted(start)) {
      char full[win::MAX_PATH] = {};
      if (win::GetCurrentDirectoryA(win::MAX_PATH, full) > 0) start = full;
    }
  } else {
    const std::string root = start.empty() ? std::string() : start.substr(0, 1) + ":\\";
    start = (!root.empty() && win::SetCurrentDirectoryA(root.c_str())) ? root : kDefaultRoot;
  }

  m_images.Create(fw::IDB_FOLDER_IMAGES, 16, 0, kImageMask);
  m_tree.SetImageList(&m_images, fw::TVSIL_NORMAL);

  // The chain from the root down to the start folder.
  std::vector<std::string> parts = SplitComponents(start);
  if (parts.empty()) parts.push_back(start.substr(0, 2));
  fw::HTREEITEM folder = m_tree.InsertItem(parts[0] + "\\", kItemImage, kSelectedImage, fw::TVI_ROOT, fw::TVI_LAST);
  if (log != nullptr) std::fprintf(log, "%sInitDialog: this is the root item.\n\n", "");
  for (std::size_t i = 1; i < parts.size(); ++i) {
    fw::HTREEITEM parent = folder;
    folder = m_tree.InsertItem(parts[i], kItemImage, kSelectedImage, parent, fw::TVI_LAST);
    m_tree.Expand(parent, fw::TVE_EXPAND);
  }

  m_drive = std::string("[-") + static_cast<char>(std::tolower(static_cast<unsigned char>(start[0]))) + "-]";
  m_path = start;
  if (!DlgDirListComboBox(start, IDC_DRIVES, IDC_PATH_SHOWN, fw::DDL_DRIVES)) {
    // The fallback root need not exist; the drives are listed all the same.
    DlgDirListComboBox("", IDC_DRIVES, IDC_PATH_SHOWN, fw::DDL_DRIVES);
  }
  UpdateData(false);

  if (start.size() >= 4) {
    ListSubfolders(start + "\\*.*", start + "\\", folder, log);
  } else {
    ListSubfolders(start + "*.*", start, folder, log);
  }
  m_tree.Expand(folder, fw::TVE_EXPAND);
  if (log != nullptr) std::fclose(log);
  return true;
}

void CBrowsePathDlg::OnSelectDrive() {
  std::string drive;
  if (!DlgDirSelectComboBoxEx(IDC_DRIVES, drive)) return;
  if (drive == "a:" || drive == "b:") {
    MessageBox(kFloppyRefusal, "Error", fw::MB_ICONEXCLAMATION | fw::MB_OK);
    return;
  }
  // Only the drive's root: its folders are listed when the root is opened.
  drive += "\\";
  m_tree.DeleteAllItems();
  fw::HTREEITEM root = m_tree.InsertItem(drive, kItemImage, kSelectedImage, fw::TVI_ROOT, fw::TVI_LAST);
  SetDlgItemText(IDC_PATH_SHOWN, drive);
  m_tree.SelectItem(root);
}

fw::LRESULT CBrowsePathDlg::OnDoubleClickFolder() {
  fw::HTREEITEM target = m_tree.GetSelectedItem();
  if (target == nullptr) return 0;
  fw::HTREEITEM root = m_tree.GetRootItem();
  m_tree.SelectItem(target);
  const bool isRoot = m_tree.GetItemText(target) == m_tree.GetItemText(root);

  // Cut the tree back to one chain ending in the double-clicked folder.
  if (!isRoot) {
    while (fw::HTREEITEM before = m_tree.GetPrevSiblingItem(target)) m_tree.DeleteItem(before);
    while (fw::HTREEITEM after = m_tree.GetNextSiblingItem(target)) m_tree.DeleteItem(after);
  }
  while (fw::HTREEITEM child = m_tree.GetChildItem(target)) m_tree.DeleteItem(child);

  // The root's text ends with a backslash; every later item needs one before it.
  std::string path = m_tree.GetItemText(root);
  bool first = true;
  for (fw::HTREEITEM item = m_tree.GetChildItem(root); item != nullptr; item = m_tree.GetChildItem(item)) {
    if (!first) path += "\\";
    path += m_tree.GetItemText(item);
    first = false;
  }
  SetDlgItemText(IDC_PATH_SHOWN, path);

  if (!isRoot) {
    ListSubfolders(path + "\\*.*", path + "\\", target, nullptr);
  } else {
    ListSubfolders(path + "*.*", path, target, nullptr);
  }
  UpdateData(true);
  // The folder is shown open on its fresh subfolders. The tree's own toggle
  // would close a folder that was open already (the current one, or an
  // ancestor), hiding what was just listed: it is not let through.
  m_tree.Expand(target, fw::TVE_EXPAND);
  return 1;
}

void CBrowsePathDlg::OnOK() {
  m_images.DeleteImageList();
  CDialog::OnOK();
}

void CBrowsePathDlg::OnCancel() {
  m_images.DeleteImageList();
  CDialog::OnCancel();
}

}  // namespace kc::browse
