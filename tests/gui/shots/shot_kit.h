// A private copy of the sample kit for the screenshots: copied to a temporary
// folder that is mapped as drive C:, with its start-up INI file naming the copy.
#pragma once

#include <QTemporaryDir>
#include <string>

namespace kc::shots {

class ShotKit {
 public:
  // kitHostFolder: the ready kit tree (build/kit). Check ok() afterwards.
  explicit ShotKit(const std::string& kitHostFolder);
  ~ShotKit();

  bool ok() const { return m_ok; }
  const std::string& error() const { return m_error; }
  // "C:\kit": the install root of the copy.
  static constexpr const char* kInstallRoot = "C:\\kit";

 private:
  QTemporaryDir m_drive;
  bool m_ok = false;
  std::string m_error;
};

}  // namespace kc::shots
