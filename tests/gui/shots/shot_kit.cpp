#include "shot_kit.h"

#include <filesystem>

#include "config/keys.h"
#include "config/profile_access.h"
#include "platform/drives.h"
#include "platform/files.h"

namespace kc::shots {

ShotKit::ShotKit(const std::string& kitHostFolder) {
  namespace fs = std::filesystem;
  std::error_code ec;
  if (!m_drive.isValid()) {
    m_error = "cannot make a temporary folder";
    return;
  }
  const fs::path copy = fs::path(m_drive.path().toStdString()) / "kit";
  fs::copy(kitHostFolder, copy, fs::copy_options::recursive, ec);
  if (ec) {
    m_error = "cannot copy the kit from " + kitHostFolder + ": " + ec.message();
    return;
  }
  win::DriveTable::Set({{"C:", m_drive.path().toStdString()}});
  const std::string startupIni = std::string(kInstallRoot) + "\\kitcomp\\kitcomp.ini";
  config::WriteValue(startupIni, config::kKitComposer, config::kInstalledPath, kInstallRoot);
  if (!win::SetCurrentDirectoryA((std::string(kInstallRoot) + "\\kitcomp").c_str())) {
    m_error = "cannot change to the kit's kitcomp folder";
    return;
  }
  m_ok = true;
}

ShotKit::~ShotKit() {
  win::DriveTable::Reload();
}

}  // namespace kc::shots
