#include <charconv>
#include <map>
#include <set>

#include "common/names.h"
#include "common/sha256.h"
#include "config/profile_access.h"
#include "engine/image_layout.h"
#include "platform/atomic_file.h"
#include "verify/checks.h"

namespace kc::verify {

namespace {

// A file name may be as long as the file system allows, after its size and digest.
constexpr unsigned kEntryCapacity = 1024;

bool ParseCount(const std::string& text, std::uint64_t& value) {
  if (text.empty()) return false;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size();
}

bool IsDigest(const std::string& text) {
  if (text.size() != 64) return false;
  for (const char c : text) {
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
  }
  return true;
}

bool IsFixedName(const std::string& name) {
  for (const char* fixed : engine::kFixedImageNames) {
    if (tools::EqualNoCase(name, fixed)) return true;
  }
  return false;
}

struct Listed {
  std::uint64_t size = 0;
  std::string digest;
  std::string name;
};

}  // namespace

void CheckPackageList(const ImageContents& image, Verdict& verdict) {
  const std::string list = engine::kPackageListName;
  auto problem = [&](const std::string& file, const std::string& reason) {
    verdict.problems.push_back({file, reason});
  };
  const ImageFile* pkg = image.Find(list);
  if (pkg == nullptr) {
    problem(list, "the package list is missing, so the installer cannot check what it copies");
    return;
  }
  if (pkg->settingsPath.empty()) {
    problem(list, "the package list cannot be read");
    return;
  }
  const std::string& file = pkg->settingsPath;
  if (config::ReadValue(file, "Package", "Format") != "1") {
    problem(list, "it is not a package list of format 1 ([Package] Format=1 is missing)");
  }

  std::vector<Listed> listed;
  std::set<std::string> keys;
  for (const std::string& key : config::ReadAllKeys(file, "Files")) keys.insert(tools::LowerCase(key));
  // Numbered from 1 without gaps: a key beyond a gap is never read by the installer.
  for (std::size_t n = 1;; ++n) {
    const std::string key = "File" + std::to_string(n);
    if (!keys.erase(tools::LowerCase(key))) break;
    const std::string line = config::ReadValue(file, "Files", key.c_str(), kEntryCapacity);
    const std::size_t first = line.find(','), second = first == std::string::npos ? first : line.find(',', first + 1);
    Listed entry;
    if (second == std::string::npos || !ParseCount(line.substr(0, first), entry.size) ||
        !IsDigest(line.substr(first + 1, second - first - 1)) || second + 1 == line.size()) {
      problem(list, key + "=" + line + " is not <size>,<sha256>,<file name>");
      continue;
    }
    entry.digest = line.substr(first + 1, second - first - 1);
    entry.name = line.substr(second + 1);
    listed.push_back(std::move(entry));
  }
  for (const std::string& key : keys) problem(list, "the key " + key + " of [Files] is out of its numbered sequence");

  std::uint64_t count = 0, bytes = 0, total = 0;
  for (const Listed& entry : listed) total += entry.size;
  if (!ParseCount(config::ReadValue(file, "Package", "Files"), count) || count != listed.size()) {
    problem(list, "[Package] Files does not give the number of files listed (" + std::to_string(listed.size()) + ")");
  }
  if (!ParseCount(config::ReadValue(file, "Package", "Bytes"), bytes) || bytes != total) {
    problem(list, "[Package] Bytes does not give the total size of the files listed (" + std::to_string(total) + ")");
  }

  std::set<const ImageFile*> named;
  for (const Listed& entry : listed) {
    const ImageFile* found = image.Find(entry.name);
    if (found == nullptr || found->folder) {
      problem(entry.name, "setup.pkg lists it, but the image does not hold it");
      continue;
    }
    named.insert(found);
    if (!found->readProblem.empty()) continue;  // named where it was read
    if (found->size != entry.size) {
      problem(entry.name, "it has " + std::to_string(found->size) + " bytes, setup.pkg says " +
                              std::to_string(entry.size) + ": the package list is stale or the file was changed");
    } else if (tools::HexOf(found->sha256) != entry.digest) {
      problem(entry.name,
              "its SHA-256 is not the one setup.pkg gives: the package list is stale or the file was "
              "changed");
    }
  }
  for (const ImageFile& file : image.files) {
    if (file.folder) {
      problem(file.name, "a folder: an image holds files only, and its package list cannot list a folder");
    } else if (platform::IsTemporaryFileName(file.name)) {
      problem(file.name, "a temporary file that an interrupted write left behind");
    } else if (!named.count(&file) && !IsFixedName(file.name)) {
      problem(file.name, "setup.pkg does not list it, so the installer would not know it");
    }
  }
}

}  // namespace kc::verify
