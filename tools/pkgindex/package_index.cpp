#include "pkgindex/package_index.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <exception>
#include <memory>
#include <set>
#include <thread>

#include "common/names.h"
#include "common/sha256.h"
#include "platform/files.h"

namespace kc::tools {
namespace {

// Large reads straight into a buffer, unbuffered stream: each byte is copied
// once from the page cache and hashed once.
constexpr std::size_t kReadBlock = 4 << 20;

bool HashFile(const std::string& windowsPath, char* block, IndexedFile& result, std::string& reason) {
  std::unique_ptr<std::FILE, decltype(&std::fclose)> file(win::fopen(windowsPath.c_str(), "rb"), &std::fclose);
  if (!file) {
    reason = win::LastErrorText();
    return false;
  }
  std::setvbuf(file.get(), nullptr, _IONBF, 0);
  Sha256 hash;
  std::uint64_t size = 0;
  std::size_t got;
  while ((got = std::fread(block, 1, kReadBlock, file.get())) > 0) {
    hash.Update(block, got);
    size += got;
  }
  if (std::ferror(file.get())) {
    reason = "read error (is it a folder?)";
    return false;
  }
  result.name = FileNamePart(windowsPath);
  result.size = size;
  win::GetFileWriteTime(windowsPath.c_str(), &result.mtime);
  result.sha256 = HexOf(hash.Final());
  return true;
}

struct HashOutcome {
  bool ok = false;
  IndexedFile file;
  std::string reason;
};

// Files are hashed on a few threads at once (one per core, at most four), each
// taking the next file in turn; results land in list order, so the output does
// not depend on which thread was faster.
std::vector<HashOutcome> HashAll(const std::vector<std::string>& paths) {
  std::vector<HashOutcome> outcomes(paths.size());
  std::atomic<std::size_t> next{0};
  auto worker = [&] {
    std::unique_ptr<char[]> block(new char[kReadBlock]);
    for (std::size_t i; (i = next.fetch_add(1)) < paths.size();) {
      try {
        outcomes[i].ok = HashFile(paths[i], block.get(), outcomes[i].file, outcomes[i].reason);
      } catch (const std::exception& error) {
        outcomes[i].reason = error.what();
      }
    }
  };
  const std::size_t threads = std::min<std::size_t>(
      {std::max(1u, std::thread::hardware_concurrency()), 4, std::max<std::size_t>(1, paths.size())});
  std::vector<std::thread> helpers;
  for (std::size_t t = 1; t < threads; ++t) helpers.emplace_back(worker);
  worker();
  for (std::thread& helper : helpers) helper.join();
  return outcomes;
}

}  // namespace

PackageIndex IndexFiles(const std::vector<std::string>& windowsPaths) {
  PackageIndex index;
  std::set<std::string> seen;
  std::vector<HashOutcome> outcomes = HashAll(windowsPaths);
  for (std::size_t i = 0; i < outcomes.size(); ++i) {
    if (!outcomes[i].ok) {
      index.missing.push_back(windowsPaths[i] + ": " + outcomes[i].reason);
      continue;
    }
    IndexedFile& file = outcomes[i].file;
    if (!seen.insert(LowerCase(file.name)).second) index.duplicates.push_back(file.name);
    index.files.push_back(std::move(file));
  }
  return index;
}

std::int64_t NewestTime(const PackageIndex& index) {
  std::int64_t newest = 0;
  for (const IndexedFile& file : index.files) newest = std::max(newest, file.mtime);
  return newest;
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
    text +=
        "File" + std::to_string(i + 1) + "=" + std::to_string(file.size) + "," + file.sha256 + "," + file.name + "\r\n";
  }
  return text;
}

}  // namespace kc::tools
