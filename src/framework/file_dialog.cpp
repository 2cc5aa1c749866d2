#include "framework/file_dialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QUrl>

#include "framework/host_paths.h"
#include "platform/drives.h"
#include "platform/files.h"

namespace kc::fw {
namespace {

QString QtPatterns(const QString& windowsPatterns) {
  QStringList out;
  for (QString p : windowsPatterns.split(';', Qt::SkipEmptyParts)) {
    p = p.trimmed();
    out << (p == QLatin1String("*.*") ? QStringLiteral("*") : p);
  }
  return out.join(' ');
}

// "Desc (*.x)" -> "Desc": the pattern list is put back in Qt's form.
QString BareDescription(QString description) {
  description = description.trimmed();
  if (description.endsWith(')')) {
    const int open = description.lastIndexOf('(');
    if (open > 0) description = description.left(open).trimmed();
  }
  return description;
}

}  // namespace

QStringList ToQtNameFilters(const std::string& barFilter) {
  const QStringList parts = QString::fromStdString(barFilter).split('|');
  QStringList filters;
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    if (parts[i].isEmpty() && parts[i + 1].isEmpty()) break;  // the closing "||"
    const QString patterns = QtPatterns(parts[i + 1]);
    if (patterns.isEmpty()) continue;
    QString description = BareDescription(parts[i]);
    if (description.isEmpty()) description = patterns;
    filters << QStringLiteral("%1 (%2)").arg(description, patterns);
  }
  return filters;
}

bool IsWildcardName(const std::string& name) {
  return name.find_first_of("*?") != std::string::npos;
}

void ConfigureFileDialog(QFileDialog& dialog, const FileDialogRequest& r) {
  dialog.setOption(QFileDialog::DontUseNativeDialog, true);
  dialog.setAcceptMode(r.open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
  dialog.setFileMode(r.open && (r.flags & OFN_FILEMUSTEXIST) ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  dialog.setOption(QFileDialog::DontConfirmOverwrite, r.open || !(r.flags & OFN_OVERWRITEPROMPT));
  QList<QUrl> places;
  for (const win::DriveEntry& drive : win::DriveTable::Current().Entries()) {
    if (QFileInfo(QString::fromStdString(drive.hostFolder)).isDir()) {
      places << QUrl::fromLocalFile(QString::fromStdString(drive.hostFolder));
    }
  }
  dialog.setSidebarUrls(places);
  QString start = QDir::currentPath();
  if (!r.initialFolder.empty()) {
    if (std::optional<std::string> host = win::ToHostPath(r.initialFolder);
        host && QFileInfo(QString::fromStdString(*host)).isDir()) {
      start = QString::fromStdString(*host);
    }
  }
  dialog.setDirectory(start);
  if (!r.defaultExt.empty()) dialog.setDefaultSuffix(QString::fromStdString(r.defaultExt));

  QStringList filters = ToQtNameFilters(r.filter);
  QString selected = filters.isEmpty() ? QString() : filters.front();
  if (IsWildcardName(r.initialName)) {
    // A wildcard name lists what it matches and leaves the name field empty.
    const QString patterns = QtPatterns(QString::fromStdString(r.initialName));
    selected.clear();
    for (const QString& f : filters) {
      if (f.endsWith(QStringLiteral("(%1)").arg(patterns))) selected = f;
    }
    if (selected.isEmpty()) {
      filters.prepend(patterns);
      selected = patterns;
    }
  }
  if (!filters.isEmpty()) {
    dialog.setNameFilters(filters);
    dialog.selectNameFilter(selected);
  }
  if (!r.initialName.empty() && !IsWildcardName(r.initialName))
    dialog.selectFile(QString::fromStdString(r.initialName));
}

std::string InitialFolderOf(const std::string& fieldPath) {
  std::string path = fieldPath;
  if (IsHostPathText(path)) {
    std::string unused;
    path = DrivePathOfHostPath(path, "path", unused).value_or("");
  }
  const auto isFolder = [](const std::string& p) {
    const win::DWORD attributes = win::GetFileAttributesA(p.c_str());
    return attributes != win::INVALID_FILE_ATTRIBUTES && (attributes & win::FILE_ATTRIBUTE_DIRECTORY) != 0;
  };
  if (path.empty()) return "";
  if (isFolder(path)) return path;
  const std::size_t cut = path.find_last_of("\\/");
  if (cut == std::string::npos) return "";
  // "C:\x.bmp" is in "C:\", not in "C:" (the current folder of drive C:).
  std::string folder = path.substr(0, cut);
  if (folder.size() == 2 && folder[1] == ':') folder += '\\';
  return isFolder(folder) ? folder : "";
}

CFileDialog::CFileDialog(bool openFileDialog, const char* defaultExt, const char* fileName, unsigned flags,
                         const char* filter, QWidget* parent) {
  m_request.open = openFileDialog;
  m_request.defaultExt = defaultExt ? defaultExt : "";
  m_request.initialName = fileName ? fileName : "";
  m_request.flags = flags;
  m_request.filter = filter ? filter : "";
  m_request.parent = parent;
}

int CFileDialog::DoModal() {
  const auto chosen = Prompts::Current().FileDialog(m_request);
  if (!chosen) return IDCANCEL;
  m_path = *chosen;
  return IDOK;
}

std::string CFileDialog::GetFileName() const {
  const auto slash = m_path.find_last_of("\\/:");
  return slash == std::string::npos ? m_path : m_path.substr(slash + 1);
}

std::string CFileDialog::GetFileExt() const {
  const std::string name = GetFileName();
  const auto dot = name.rfind('.');
  return dot == std::string::npos ? std::string() : name.substr(dot + 1);
}

}  // namespace kc::fw
