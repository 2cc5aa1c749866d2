#include "squash/archive_merge.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <system_error>

#include "common/atomic_output.h"
#include "common/host_path.h"
#include "common/names.h"
#include "common/source_tree.h"
#include "common/tool_failure.h"
#include "common/zip_writer.h"
#include "squash/label_manifest.h"
#include "squash/zip_contents.h"

namespace kc::tools {
namespace {

bool IsManifest(const std::string& name) {
  return EqualNoCase(name, kLabelManifestName);
}

// One entry of the archive to write: either a file to read or an entry kept
// from the existing archive.
struct PlannedEntry {
  std::string name;
  const SourceFile* file = nullptr;
  const ArchivedEntry* kept = nullptr;
};

std::vector<SourceFile> CollectInputs(const SquashOptions& options, MergeReport& report) {
  std::vector<SourceFile> inputs;
  if (IsPattern(options.source)) {
    FolderScan scan = ScanFolder(FolderPart(options.source), FileNamePart(options.source), options.hidden);
    for (const std::string& link : scan.skippedLinks) report.warnings.push_back(link + ": linked folder not followed");
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

  std::vector<ArchivedEntry> existing;
  LabelMap labels;
  std::error_code error;
  if (options.include && std::filesystem::exists(hostArchive, error)) {
    existing = ReadZipContents(hostArchive, options.archive, [](const std::string&) { return true; });
    for (const ArchivedEntry& entry : existing)
      if (IsManifest(entry.name)) labels = ParseLabelManifest(entry.data);
  }

  std::map<std::string, PlannedEntry> plan;  // by lower-case name
  for (const ArchivedEntry& entry : existing)
    if (!IsManifest(entry.name)) plan.try_emplace(LowerCase(entry.name), PlannedEntry{entry.name, nullptr, &entry});
  // Labels of entries that are no longer in the archive are dropped.
  std::erase_if(labels, [&](const auto& item) { return !plan.contains(item.first); });

  for (const SourceFile& file : inputs) {
    const std::string key = LowerCase(file.entryName);
    auto found = plan.find(key);
    if (found != plan.end() && !options.overwrite) {
      ++report.kept;
      continue;
    }
    ++(found != plan.end() ? report.replaced : report.added);
    plan[key] = PlannedEntry{file.entryName, &file, nullptr};
    if (options.label)
      labels[key] = LabelledName{file.entryName, *options.label};
    else
      labels.erase(key);
  }

  std::vector<const PlannedEntry*> ordered;
  std::int64_t newestTime = 0;
  for (const auto& [key, entry] : plan) {
    ordered.push_back(&entry);
    newestTime = std::max(newestTime, entry.file ? entry.file->mtime : entry.kept->mtime);
  }
  const std::string manifestText = FormatLabelManifest(labels);
  const PlannedEntry manifest{kLabelManifestName, nullptr, nullptr};
  if (!manifestText.empty()) ordered.push_back(&manifest);
  std::sort(ordered.begin(), ordered.end(),
            [](const PlannedEntry* a, const PlannedEntry* b) { return NameLess(a->name, b->name); });

  AtomicOutput output(hostArchive, options.archive);
  ZipWriter zip([&](const void* data, std::size_t size) { output.Write(data, size); }, ZipMethod::Deflate,
                options.archive);
  for (const PlannedEntry* entry : ordered) {
    if (entry->file) {
      zip.AddFile(*entry->file);
    } else if (entry->kept) {
      zip.AddEntry(entry->name, entry->kept->data, entry->kept->mtime, entry->kept->mode, entry->kept->directory);
    } else {
      // The label list takes the newest time of the entries: a fixed value
      // derived from the inputs, never the time of the run.
      zip.AddEntry(entry->name, manifestText, newestTime, 0644);
    }
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
  const std::vector<ArchivedEntry> entries =
      ReadZipContents(hostArchive, windowsArchive, [](const std::string& name) { return IsManifest(name); });
  LabelMap labels;
  for (const ArchivedEntry& entry : entries)
    if (IsManifest(entry.name)) labels = ParseLabelManifest(entry.data);
  for (const ArchivedEntry& entry : entries) {
    if (IsManifest(entry.name)) continue;
    const auto label = labels.find(LowerCase(entry.name));
    std::fprintf(out, "%llu\t%s\t%s\n", static_cast<unsigned long long>(entry.size), entry.name.c_str(),
                 label == labels.end() ? "" : label->second.label.c_str());
  }
}

}  // namespace kc::tools
