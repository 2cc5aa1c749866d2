#include "engine_test_support.h"

#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "engine/directory_utils.h"
#include "platform/drives.h"

namespace fs = std::filesystem;

namespace kc::test {

TempDrive::TempDrive() {
  std::string pattern = (fs::temp_directory_path() / "kc-engine-XXXXXX").string();
  host_ = ::mkdtemp(pattern.data());
  const std::string drives = "t=" + host_ + ";z=/";
  ::setenv("KITCOMP_DRIVES", drives.c_str(), 1);
  win::DriveTable::Reload();
  engine::SetEmptyDirectoryPause(0);
}

TempDrive::~TempDrive() {
  std::error_code error;
  fs::remove_all(host_, error);
  ::unsetenv("KITCOMP_DRIVES");
  win::DriveTable::Reload();
  engine::SetEmptyDirectoryPause(50);
}

std::string TempDrive::Host(const std::string& relative) const {
  std::string path = relative;
  std::replace(path.begin(), path.end(), '\\', '/');
  return host_ + "/" + path;
}

std::string TempDrive::Win(const std::string& relative) {
  std::string path = relative;
  std::replace(path.begin(), path.end(), '/', '\\');
  return "T:\\" + path;
}

void TempDrive::Write(const std::string& relative, const std::string& contents) const {
  const fs::path path = Host(relative);
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << contents;
}

std::string TempDrive::Read(const std::string& relative) const {
  std::ifstream in(Host(relative), std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

bool TempDrive::Exists(const std::string& relative) const {
  std::error_code error;
  return fs::exists(fs::symlink_status(Host(relative), error));
}

std::vector<std::string> TempDrive::List(const std::string& relative) const {
  std::vector<std::string> names;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(Host(relative), error)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

int RecordingProgress::Count(const std::string& entry) const {
  return static_cast<int>(std::count(log.begin(), log.end(), entry));
}

std::vector<std::string> RecordingProgress::Operations() const {
  std::vector<std::string> operations;
  for (const std::string& entry : log) {
    if (entry.rfind("paint", 0) != 0) operations.push_back(entry);
  }
  return operations;
}

namespace {

void WriteTool(const TempDrive& drive, const std::string& name, const KitOptions& options) {
  std::string script = "#!/bin/sh\n";
  script += "log='" + drive.Host("tools.log") + "'\n";
  script += "printf '%s|%s' '" + name + "' \"$PWD\" >> \"$log\"\n";
  script += "for a in \"$@\"; do printf '|%s' \"$a\" >> \"$log\"; done\necho >> \"$log\"\n";
  if (options.failingTool == name) script += "echo 'stand-in failure' >&2\nexit 3\n";
  if (name == "squash.exe") {
    // Writes its archive anew (a new file, the same content), as squash does.
    script += "for a in \"$@\"; do case \"$a\" in *.z) z=$(printf %s \"$a\" | sed 's#^T:#" + drive.host() +
              "#; s#\\\\#/#g');; esac; done\n";
    script +=
        "if [ -e \"$z\" ]; then cp -p \"$z\" \"$z.new\" && mv \"$z.new\" \"$z\"; else echo archive > \"$z\"; fi\n";
  }
  if (name == "pkgindex.exe") script += "echo \"package list of $1\" > setup.pkg\n";
  if (name == "sfxmaker.exe") {
    // DestDir of the settings file, mapped from T: to the host folder.
    script += "dest=$(sed -n 's/^DestDir=//p' \"$(echo \"$1\" | sed 's#^T:#" + drive.host() +
              "#; s#\\\\#/#g')\" | tr -d '\\r' | sed 's#^T:#" + drive.host() + "#; s#\\\\#/#g')\n";
    script += "echo sfx > \"$dest/netsetup.exe\"\n";
  }
  drive.Write("kit/kitcomp/" + name, script);
  fs::permissions(drive.Host("kit/kitcomp/" + name), fs::perms::owner_all, fs::perm_options::add);
}

}  // namespace

config::RunPaths MakeKit(const TempDrive& drive, const KitOptions& options) {
  drive.Write("kit/kitcomp/kitcomp.ini",
              "[Kit Composer]\r\nINSTALLED PATH=T:\\kit\r\nLUMENARY VERSION NAME 32=Lumenary 4.5\r\n"
              "[Main Modules 32]\r\nLumenary 4.5=lume\r\n[Available 32]\r\nCalendar=cal\r\n");
  for (const char* tool : {"squash.exe", "pkgindex.exe", "sfxmaker.exe"}) WriteTool(drive, tool, options);
  drive.Write("kit/source/install/setup.ini", "[Product Defaults]\r\nShow Dialogs=NO\r\n[Components]\r\n");
  drive.Write("kit/source/install/setup.exe", "installer");
  drive.Write("kit/source/install/readme.txt", "delivered readme");
  drive.Write("kit/source/install/license.txt", "delivered licence");
  drive.Write("kit/source/modules/addinst.ini", "[Defaults]\r\nName=x\r\n");
  for (const auto& [stem, hasScript] : options.modules) {
    drive.Write("kit/source/modules/" + stem + ".z", "archive " + stem);
    drive.Write("kit/source/modules/" + stem + ".ini", "[Defaults]\r\nName=" + stem + "\r\n");
    if (hasScript) drive.Write("kit/source/modules/" + stem + ".ins", "script " + stem);
  }
  fs::create_directories(drive.Host("kit/custom/engine"));
  Result<config::RunPaths> paths = config::MakeRunPaths("T:\\kit");
  drive.Write("kit/custom/engine/setup.ini", drive.Read("kit/source/install/setup.ini"));
  return paths.value();
}

std::vector<std::vector<std::string>> ToolRuns(const TempDrive& drive) {
  std::vector<std::vector<std::string>> runs;
  std::istringstream log(drive.Read("tools.log"));
  std::string line;
  while (std::getline(log, line)) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (std::size_t bar; (bar = line.find('|', start)) != std::string::npos; start = bar + 1) {
      fields.push_back(line.substr(start, bar - start));
    }
    fields.push_back(line.substr(start));
    runs.push_back(fields);
  }
  return runs;
}

}  // namespace kc::test
