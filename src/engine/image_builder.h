// The build engine object: the component catalogue and the operations that
// stage the customizations and assemble the images from it.
#pragma once

#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "engine/build_report.h"
#include "engine/progress.h"

namespace kc::engine {

// Image kinds, which also name the image directories.
inline constexpr const char* kKindCd = "CD";
inline constexpr const char* kKindDisk = "disk";
inline constexpr const char* kKindNetwork = "network";

class CImageBuilder {
 public:
  CImageBuilder(ProgressView& progress, Window& mainWindow);
  CImageBuilder(const CImageBuilder&) = delete;
  CImageBuilder& operator=(const CImageBuilder&) = delete;

  // Fills the catalogue from the engine setup.ini below the install root: the
  // values of "Components", then the values of every section listed under
  // "SubComponents" (its three path keys left out). 0 when "Components" had
  // key names, else -1 with an empty catalogue.
  int ReadComponentCatalogue(const std::string& installRoot);

  // "Adding Customizations": the work areas are emptied, the additional
  // installers become modules of their own, the customization files are
  // gathered and merged into private copies of the "lume", "as" and "vue"
  // archives. Answers come from the platform section of the choices file.
  void StageCustomizations(const std::string& installRoot, const std::string& sourceRoot);

  // Builds one image of `kind` ("CD", "network" or "disk") in
  // outputDirectory\kind, emptying what an earlier build left there. The disk
  // image is one ISO 9660 file, setup.iso, holding what a CD image holds.
  void AssembleImage(const std::string& installRoot, const std::string& stagingRoot, const std::string& outputDirectory,
                     const std::string& kind);

  // Lists the CD image in outputDirectory\CD again (pkgindex.exe and its
  // setup.pkg), after a file of it was rewritten.
  void ReindexCdImage(const std::string& installRoot, const std::string& outputDirectory);

  const std::vector<std::string>& catalogue() const { return entries_; }
  int count() const { return static_cast<int>(entries_.size()); }
  BuildReport& report() { return report_; }
  const BuildReport& report() const { return report_; }

 private:
  void Repaint();
  void BeginStage(const char* text, int upper);
  void StepProgress();
  void PlaceModuleFiles(const std::string& installRoot, const std::string& stagingRoot, const std::string& stem,
                        const std::string& target, std::FILE* fileList);
  void ResetWorkArea(const std::string& installRoot);
  void StageAdditionalInstall(const std::string& installRoot, int slot, const std::string& choicesFile,
                              const char* section);
  bool AdditionalInstallCollides(const std::string& installRoot, int slot, const std::string& choicesFile,
                                 const char* section, const std::string& filename);
  // The client's customization files gathered into the staging tree; that tree.
  std::string StageLumeFiles(const std::string& installRoot, const std::string& choicesFile, const char* section,
                             const std::string& step);
  std::string StageAccountPackage(const std::string& installRoot, const std::string& package, const std::string& step);
  void AssembleCd(const std::string& installRoot, const std::string& stagingRoot, const std::string& imageDirectory);
  void IndexCd(const std::string& installRoot, const std::string& imageDirectory, const std::string& step);
  void AssembleNetwork(const std::string& installRoot, const std::string& stagingRoot,
                       const std::string& imageDirectory);
  void AssembleDisk(const std::string& installRoot, const std::string& stagingRoot, const std::string& outputDirectory,
                    const std::string& imageDirectory);
  void PlaceSettingsAndModules(const std::string& installRoot, const std::string& stagingRoot,
                               const std::string& target, std::FILE* fileList, const std::string& step);
  void RecordImage(const std::string& kind, const std::string& imageDirectory);
  void CopyLumeSettings(const std::string& installRoot, const std::string& target, const std::string& step);

  ProgressView& progress_;
  Window& mainWindow_;
  // No fixed number of slots: an installer may list any number of modules.
  std::vector<std::string> entries_;
  // CD image directories this builder assembled without a failure and nothing
  // changed since: a disk image of the same output directory is written from
  // them instead of gathering the same files again.
  std::set<std::string> soundCdImages_;
  BuildReport report_;
};

// The stems whose archives are private copies made by the staging.
bool IsStagedStem(const std::string& stem);

}  // namespace kc::engine
