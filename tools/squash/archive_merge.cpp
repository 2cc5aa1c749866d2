#include "squash/archive_merge.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <map>
#include <optional>
#include <system_error>

#include "common/atomic_output.h"
#include "common/host_path.h"
#include "common/names.h"
#include "common/source_tree.h"
#include "common/tool_failure.h"
#include "common/zip_directory.h"
#include "common/zip_writer.h"
#include "squash/label_manifest.h"

namespace kc::tools {
namespace {

using zip::ZipEntry;

bool IsManifest(const std::string& name) {
  return EqualNoCase(name, kLabelManifestName);
}

// The label list of archives written before labels moved into the entries'
// comments is read, never written: the next rewrite converts it.
constexpr std::uint64_t kManifestLimit = 16 << 20;

// An existing archive, open for reading its directory and copying its entries.
class ExistingArchive {
 public:
  ExistingArchive(const std::string& hostPath, const std::string& shownName) : shownName_(shownName) {
    file_ = std::fopen(hostPath.c_str(), "rb");
    if (!file_) throw ToolFailure(kExitBadInput, shownName + ": cannot be read: " + std::strerror(errno));
    std::setvbuf(file_, nullptr, _IONBF, 0);
    std::error_code error;
    const std::uint64_t size = std::filesystem::file_size(hostPath, error);
    source_.emplace(file_, 0, error ? 0 : size);
    try {
      entries_ = zip::ReadZipDirectory(*source_);
      for (const ZipEntry& entry : entries_)
        if (IsManifest(entry.name)) legacyLabels_ = ReadManifest(entry);
    } catch (const zip::ZipError& failure) {
      throw ToolFailure(kExitBadInput, shownName + ": cannot be read as a zip archive: " + failure.what());
    }
  }
  ~ExistingArchive() { std::fclose(file_); }
  ExistingArchive(const ExistingArchive&) = delete;
  ExistingArchive& operator=(const ExistingArchive&) = delete;

  const std::vector<ZipEntry>& entries() const { return entries_; }
  const zip::ZipSource& source() const { return *source_; }
  // An entry's label: its comment, or its line in an old label list.
  std::string LabelOf(const ZipEntry& entry) const {
    if (!entry.comment.empty()) return entry.comment;
    const auto found = legacyLabels_.find(LowerCase(entry.name));
    return found == legacyLabels_.end() ? std::string() : found->second.label;
  }

 private:
  LabelMap ReadManifest(const ZipEntry& entry) const {
    if (entry.size > kManifestLimit) throw zip::ZipError(std::string(kLabelManifestName) + " is too large");
    std::string text;
    zip::ReadEntryData(*source_, entry, [&](const char* data, std::size_t size) { text.append(data, size); });
    return ParseLabelManifest(text);
  }

  std::string shownName_;
  std::FILE* file_ = nullptr;
  std::optional<zip::ZipSource> source_;
  std::vector<ZipEntry> entries_;
  LabelMap legacyLabels_;
};

// One entry of the archive to write: either a file to read or an entry kept
// from the existing archive, with the label it carries.
struct PlannedEntry {
  std::string name;
  const SourceFile* file = nullptr;
  const ZipEntry* kept = nullptr;
  std::string label;
};

std::vector<SourceFile> CollectInputs(const SquashOptions& options, MergeReport& report) {
  std::vector<SourceFile> inputs;
  if (IsPattern(options.source)) {
    FolderScan scan = ScanFolder(DirectoryPart(options.source), FileNamePart(options.source), options.hidden);
    for (const std::string& link : scan.skippedLinks) report.warnings.push_back(link + ": linked folder not followed");
    for (const std::string& leftover : scan.skippedLeftovers)
      report.warnings.push_back(leftover + ": skipped, a temporary file left by an interrupted write");
    inputs = std::move(scan.files);
  } else {
    // A named file is taken as asked, hidden or not, under its own file name.
    inputs.push_back(DescribeFile(options.source, FileNamePart(options.source)));
  }
  std::vector<SourceFile> accepted;
  for (SourceFile& file : inputs) {
    if (IsManifest(file.entryName)) {
      report.warnings.push_back(file.windowsPath + ": skipped, the name is reserved for the label list");
    } else if (!accepted.empty() && EqualNoCase(accepted.back().entryName, file.entryName)) {
      // Sorted input: names that differ only in case are neighbours. The
      // installer cannot tell them apart, so the first one stands.
      report.warnings.push_back(file.windowsPath + ": skipped, same name as " + accepted.back().windowsPath);
    } else {
      accepted.push_back(std::move(file));
    }
  }
  return accepted;
}

}  // namespace

MergeReport SquashFiles(const SquashOptions& options) {
  MergeReport report;
  const std::string hostArchive = HostPathOf(options.archive);
  const std::vector<SourceFile> inputs = CollectInputs(options, report);

  std::optional<ExistingArchive> existing;
  std::error_code error;
  if (options.include && std::filesystem::exists(hostArchive, error)) existing.emplace(hostArchive, options.archive);

  std::map<std::string, PlannedEntry> plan;  // by lower-case name
  if (existing)
    for (const ZipEntry& entry : existing->entries())
      if (!IsManifest(entry.name))
        plan.try_emplace(LowerCase(entry.name), PlannedEntry{entry.name, nullptr, &entry, existing->LabelOf(entry)});

  for (const SourceFile& file : inputs) {
    const std::string key = LowerCase(file.entryName);
    auto found = plan.find(key);
    if (found != plan.end() && !options.overwrite) {
      ++report.kept;
      continue;
    }
    ++(found != plan.end() ? report.replaced : report.added);
    plan[key] = PlannedEntry{file.entryName, &file, nullptr, options.label.value_or("")};
  }

  std::vector<const PlannedEntry*> ordered;
  std::int64_t newestTime = 0;
  for (const auto& [key, entry] : plan) {
    ordered.push_back(&entry);
    newestTime = std::max(newestTime, entry.file ? entry.file->mtime : entry.kept->mtime);
  }
  std::sort(ordered.begin(), ordered.end(),
            [](const PlannedEntry* a, const PlannedEntry* b) { return NameLess(a->name, b->name); });

  AtomicOutput output(hostArchive, options.archive);
  ZipWriter zip([&](const void* data, std::size_t size) { output.Write(data, size); }, ZipMethod::Deflate,
                options.archive);
  for (const PlannedEntry* entry : ordered) {
    if (entry->file)
      zip.AddFile(*entry->file, entry->label);
    else
      zip.AddCopied(existing->source(), *entry->kept, entry->label);
  }
  zip.Close();
  // The archive carries the time of its newest entry, so that rebuilding it
  // from the same inputs gives a file that is the same in every respect.
  output.SetModificationTime(newestTime);
  output.Commit();
  return report;
}

void ListArchive(const std::string& windowsArchive, std::FILE* out) {
  const std::string hostArchive = HostPathOf(windowsArchive);
  std::error_code error;
  if (!std::filesystem::is_regular_file(hostArchive, error))
    throw ToolFailure(kExitBadInput, windowsArchive + ": file not found");
  const ExistingArchive archive(hostArchive, windowsArchive);
  for (const ZipEntry& entry : archive.entries()) {
    if (IsManifest(entry.name)) continue;
    std::fprintf(out, "%llu\t%s\t%s\n", static_cast<unsigned long long>(entry.size), entry.name.c_str(),
                 archive.LabelOf(entry).c_str());
  }
}

}  // namespace kc::tools
