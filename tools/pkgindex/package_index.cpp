#include "pkgindex/package_index.h"

#include <cstdio>
#include <memory>
#include <set>

#include "common/names.h"
#include "common/sha256.h"
#include "platform/files.h"

namespace kc::tools {
namespace {

// Large reads straight into one buffer, unbuffered stream: each byte is copied
// once from the page cache and hashed once.
constexpr std::size_t kReadBlock = 4 << 20;

bool HashFile(const std::string& windowsPath, IndexedFile& result, std::string& reason) {
  std::unique_ptr<std::FILE, decltype(&std::fclose)> file(win::fopen(windowsPath.c_str(), "rb"), &std::fclose);
  if (!file) {
    reason = win::LastErrorText();
    return false;
  }
  std::setvbuf(file.get(), nullptr, _IONBF, 0);
  static std::unique_ptr<char[]> block(new char[kReadBlock]);
  Sha256 hash;
  std::uint64_t size = 0;
  std::size_t got;
  while ((got = std::fread(block.get(), 1, kReadBlock, file.get())) > 0) {
    hash.Update(block.get(), got);
    size += got;
  }
  if (std::ferror(file.get())) {
    reason = "read error (is it a folder?)";
    return false;
  }
  result.name = FileNamePart(windowsPath);
  result.size = size;
  result.sha256 = HexOf(hash.Final());
  return true;
}

}  // namespace

PackageIndex IndexFiles(const std::vector<std::string>& windowsPaths) {
  PackageIndex index;
  std::set<std::string> seen;
  for (const std::string& path : windowsPaths) {
    IndexedFile file;
    std::string reason;
    if (!HashFile(path, file, reason)) {
      index.missing.push_back(path + ": " + reason);
      continue;
    }
    if (!seen.insert(LowerCase(file.name)).second) index.duplicates.push_back(file.name);
    index.files.push_back(std::move(file));
  }
  return index;
}

std::string FormatPackageIndex(const PackageIndex& index) {
  std::uint64_t bytes = 0;
  for (const IndexedFile& file : index.files) bytes += file.size;
  std::string text = "[Package]\r\nFormat=1\r\n";
  text += "Files=" + std::to_string(index.files.size()) + "\r\n";
  text += "Bytes=" + std::to_string(bytes) + "\r\n";
  text += "[Files]\r\n";
  for (std::size_t i = 0; i < index.files.size(); ++i) {
    const IndexedFile& file = index.files[i];
    text += "File" + std::to_string(i + 1) + "=" + std::to_string(file.size) + "," + file.sha256 + "," + file.name +
            "\r\n";
  }
  return text;
}

}  // namespace kc::tools
