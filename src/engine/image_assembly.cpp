// Image assembly: one installer image of a kind in <output>\<kind>: the
// installer's files, its settings, the module files of every catalogue entry,
// the file list and the package list; for the network kind all of it packed
// into one self-extracting file, for the disk kind into one ISO 9660 file.
#include "config/keys.h"
#include "config/profile_access.h"
#include "config/run_paths.h"
#include "engine/directory_utils.h"
#include "engine/disk_image.h"
#include "engine/file_steps.h"
#include "engine/image_builder.h"
#include "engine/image_layout.h"
#include "engine/tool_arguments.h"
#include "engine/tool_launcher.h"
#include "engine/work_area.h"
#include "platform/files.h"
#include "platform/names.h"

namespace kc::engine {

namespace {

// The file list: "1;" then one placed file per line, each followed by a blank;
// text mode makes every line end in CR LF.
std::FILE* OpenFileList(const std::string& path, const std::string& step, BuildReport& report) {
  std::FILE* list = win::fopen(path.c_str(), "w");
  if (list == nullptr) {
    report.AddFailure(step, path, "Could not create the file list: " + win::LastErrorText());
    return nullptr;
  }
  std::fprintf(list, "1;\n");
  return list;
}

void ListFile(std::FILE* list, const std::string& path) {
  if (list != nullptr) std::fprintf(list, "%s \n", path.c_str());
}

void CloseFileList(std::FILE* list, const std::string& path, const std::string& step, BuildReport& report) {
  if (list == nullptr) return;
  const bool written = std::ferror(list) == 0;
  if (std::fclose(list) != 0 || !written) report.AddFailure(step, path, "Could not write the file list.");
}

// Copies a file that may be absent on purpose; only a copy of a file that is
// there and still fails counts.
void CopyIfPresent(const std::string& from, const std::string& to, const std::string& step, BuildReport& report) {
  if (win::CopyFileA(from.c_str(), to.c_str(), win::FALSE) == win::TRUE) return;
  const std::string reason = win::LastErrorText();
  if (IsFile(from)) report.AddFailure(step, from, "Could not copy to " + to + ": " + reason);
}

// The splash picture, from the section Finish stored the answers in.
std::string SplashPath(const std::string& installRoot) {
  const std::string choices = installRoot + config::kChoicesFilePart;
  return config::ReadValue(choices, config::PlatformSection(choices), config::kInstallSplashPath);
}

// Moves the setup.pkg that pkgindex.exe left in the kitcomp directory into the
// image.
void CollectPackageList(const std::string& kitcomp, const std::string& target, bool indexed, const std::string& step,
                        BuildReport& report) {
  const std::string made = kitcomp + "\\" + kPackageListName;
  if (win::CopyFileA(made.c_str(), target.c_str(), win::FALSE) == win::FALSE) {
    // Without a successful pkgindex run the missing file is already reported.
    if (indexed) report.AddFailure(step, made, "The package list was not made: " + win::LastErrorText());
    return;
  }
  DeleteRecorded(made, step, report);
}

}  // namespace

void CImageBuilder::PlaceModuleFiles(const std::string& installRoot, const std::string& stagingRoot,
                                     const std::string& stem, const std::string& target, std::FILE* fileList) {
  const std::string step = "Placing the " + stem + " module";
  const std::string modules = installRoot + config::kSourceModulesPart + "\\";
  const std::string archive =
      IsStagedStem(stem) ? stagingRoot + config::kTempmodPart + "\\" + stem + ".z" : modules + stem + ".z";
  CopyRecorded(archive, target + stem + ".z", step, report_);
  // The installation script is optional: a module without one gets no line.
  const bool hasScript =
      win::CopyFileA((modules + stem + ".ins").c_str(), (target + stem + ".ins").c_str(), win::FALSE) == win::TRUE;
  if (!hasScript && IsFile(modules + stem + ".ins")) {
    report_.AddFailure(step, modules + stem + ".ins", "Could not copy it: " + win::LastErrorText());
  }
  CopyRecorded(modules + stem + ".ini", target + stem + ".ini", step, report_);

  ListFile(fileList, target + stem + ".z");
  Repaint();
  if (hasScript) ListFile(fileList, target + stem + ".ins");
  ListFile(fileList, target + stem + ".ini");
  Repaint();
  StepProgress();
}

void CImageBuilder::AssembleImage(const std::string& installRoot, const std::string& stagingRoot,
                                  const std::string& outputDirectory, const std::string& kind) {
  const std::string kitcomp = installRoot + config::kKitcompPart;
  const std::string step = "Creating the " + kind + " image";
  const std::size_t failuresBefore = report_.failures().size();
  if (win::SetCurrentDirectoryA(kitcomp.c_str()) == win::FALSE) {
    report_.AddFailure(step, kitcomp, "Could not enter the kitcomp directory: " + win::LastErrorText());
  }
  MakeDirectory(outputDirectory);

  std::string imageDirectory = outputDirectory + "\\" + kind;
  if (MakeDirectory(imageDirectory) != 0) {
    EmptyDirectory(imageDirectory);
    MakeDirectory(imageDirectory);
  }
  if (!IsDirectory(imageDirectory)) {
    report_.AddFailure(step, imageDirectory, "Could not create the image directory: " + win::LastErrorText());
  } else if (MeasureDirectory(imageDirectory).files != 0) {
    report_.AddFailure(step, imageDirectory, "Files of an earlier build could not be removed.");
  }
  imageDirectory += "\\";

  soundCdImages_.erase(imageDirectory);
  if (kind == kKindCd) {
    AssembleCd(installRoot, stagingRoot, imageDirectory);
    if (report_.failures().size() == failuresBefore) soundCdImages_.insert(imageDirectory);
  } else if (kind == kKindNetwork) {
    AssembleNetwork(installRoot, stagingRoot, imageDirectory);
  } else if (kind == kKindDisk) {
    AssembleDisk(installRoot, stagingRoot, outputDirectory, imageDirectory);
  }
  RecordImage(kind, imageDirectory);
}

void CImageBuilder::AssembleCd(const std::string& installRoot, const std::string& stagingRoot,
                               const std::string& imageDirectory) {
  const std::string step = "Creating the CD image";
  BeginStage("Creating CD image", count() + 1);

  const std::string listPath = imageDirectory + kFileListName;
  std::FILE* fileList = OpenFileList(listPath, step, report_);

  Repaint();
  const std::string sourceInstall = installRoot + config::kSourceInstallPart;
  if (!CopyDirectoryFiles(
          sourceInstall, DirectoryPart(imageDirectory), [&](const std::string& copied) { ListFile(fileList, copied); },
          [&](const std::string& file, const std::string& reason) { report_.AddFailure(step, file, reason); })) {
    report_.AddFailure(step, sourceInstall, "Could not read the installer's files: " + win::LastErrorText());
  }
  Repaint();

  PlaceSettingsAndModules(installRoot, stagingRoot, imageDirectory, fileList, step);
  CloseFileList(fileList, listPath, step, report_);

  IndexCd(installRoot, imageDirectory, step);
  StepProgress();
}

void CImageBuilder::IndexCd(const std::string& installRoot, const std::string& imageDirectory,
                            const std::string& step) {
  const std::string kitcomp = installRoot + config::kKitcompPart;
  // The CD form names the tool by its full path (the network form by its bare name).
  const bool indexed = RunTool(kitcomp, kPkgIndexTool, Quoted(imageDirectory + kFileListName),
                               {kitcomp + "\\setup.pkg"}, step, report_, ToolName::kFullPath);
  Repaint();
  CollectPackageList(kitcomp, imageDirectory + kPackageListName, indexed, step, report_);
  Repaint();
}

void CImageBuilder::ReindexCdImage(const std::string& installRoot, const std::string& outputDirectory) {
  soundCdImages_.erase(outputDirectory + "\\" + kKindCd + "\\");  // a file of it was rewritten
  IndexCd(installRoot, outputDirectory + "\\" + kKindCd + "\\", "Listing the administrator's CD image again");
}

void CImageBuilder::AssembleNetwork(const std::string& installRoot, const std::string& stagingRoot,
                                    const std::string& imageDirectory) {
  using namespace config;
  const std::string step = "Creating the network image";
  const std::string kitcomp = installRoot + kKitcompPart;
  const std::string temp = imageDirectory + kGatheringFolder;
  BeginStage("Creating Network image", count() + 2);

  const std::string listPath = imageDirectory + kFileListName;
  std::FILE* fileList = OpenFileList(listPath, step, report_);

  Repaint();
  const std::string sourceInstall = installRoot + config::kSourceInstallPart;
  win::WIN32_FIND_DATAA probe;
  win::HANDLE find = win::FindFirstFileA((sourceInstall + "\\*.*").c_str(), &probe);
  if (find == win::INVALID_HANDLE_VALUE) {
    report_.AddFailure(step, sourceInstall, "Could not read the installer's files: " + win::LastErrorText());
  } else {
    win::FindClose(find);
    MakeDirectoryRecorded(DirectoryPart(temp), step, report_);
    CopyDirectoryFiles(
        sourceInstall, DirectoryPart(temp), [&](const std::string& copied) { ListFile(fileList, copied); },
        [&](const std::string& file, const std::string& reason) { report_.AddFailure(step, file, reason); });
  }
  Repaint();

  PlaceSettingsAndModules(installRoot, stagingRoot, temp, fileList, step);
  CloseFileList(fileList, listPath, step, report_);

  const bool indexed =
      RunTool(kitcomp, kPkgIndexTool, Quoted(listPath), {kitcomp + "\\" + kPackageListName}, step, report_);
  CollectPackageList(kitcomp, temp + kPackageListName, indexed, step, report_);
  Repaint();
  StepProgress();

  const std::string sfxIni = kitcomp + "\\sfxmaker.ini";
  bool settingsWritten = WriteRecorded(sfxIni, config::kSfxMaker, kSrcDir, temp, step, report_);
  settingsWritten &= WriteRecorded(sfxIni, config::kSfxMaker, kDestDir, imageDirectory, step, report_);
  settingsWritten &= WriteRecorded(sfxIni, config::kSfxMaker, kCmdLine, "setup.exe", step, report_);
  settingsWritten &= WriteRecorded(sfxIni, config::kSfxMaker, kCompress, "0", step, report_);
  Repaint();
  if (settingsWritten) {
    RunTool(kitcomp, kSfxMakerTool, Quoted(sfxIni), {imageDirectory + kSfxFileName}, step, report_);
  }
  Repaint();

  DeleteRecorded(sfxIni, step, report_);
  DeleteRecorded(listPath, step, report_);
  EmptyDirectory(DirectoryPart(temp));
  if (MeasureDirectory(DirectoryPart(temp)).files != 0) {
    report_.AddFailure(step, DirectoryPart(temp), "The gathering directory could not be emptied.");
  }
  Repaint();
  StepProgress();
}

// What every image holds beside the installer's own files, in the order the
// CD image places it: the settings, the texts, the splash picture, the module
// files of the catalogue and the staged lume.ini.
void CImageBuilder::PlaceSettingsAndModules(const std::string& installRoot, const std::string& stagingRoot,
                                            const std::string& target, std::FILE* fileList, const std::string& step) {
  const std::string engine = installRoot + "\\custom\\engine\\";
  CopyRecorded(engine + "setup.ini", target + "setup.ini", step, report_);
  // Absent on purpose when no custom text was chosen: the installer's own stays.
  CopyIfPresent(engine + "readme.txt", target + "readme.txt", step, report_);
  CopyIfPresent(engine + "license.txt", target + "license.txt", step, report_);

  const std::string splash = SplashPath(installRoot);
  if (!splash.empty()) {
    CopyRecorded(splash, target + kSplashName, step, report_);
    Repaint();
  }

  for (const std::string& stem : entries_) PlaceModuleFiles(installRoot, stagingRoot, stem, target, fileList);

  CopyLumeSettings(installRoot, target + "lume.ini", step);
}

// The disk image: what a CD image holds, written into one ISO file. When this
// build made the CD image of the same output directory without a failure, the
// image is written from it (its file list left out); otherwise the same files
// are gathered in a private folder of the work area with a file list and a
// package list of their own, and the gathered copies go again afterwards. So
// it needs no CD image, and gives the same bytes with one or without. The file
// list stays out, as it stays out of the network image: it names the paths the
// files were listed at.
void CImageBuilder::AssembleDisk(const std::string& installRoot, const std::string& stagingRoot,
                                 const std::string& outputDirectory, const std::string& imageDirectory) {
  const std::string step = "Creating the disk image";
  const std::string kitcomp = installRoot + config::kKitcompPart;
  const std::string gathering = installRoot + kDiskGatheringPart;
  const std::string listPath = installRoot + kDiskFileListPart;
  const int steps = count() + 2;
  BeginStage("Creating disk image", steps);

  auto writeImage = [&](const std::string& folder, const std::string& leaveOut,
                        const std::function<void(const std::string&)>& added) {
    const std::string title =
        config::ReadValue(folder + "\\setup.ini", config::kProductDefaults, config::kProductSetupTitle);
    if (auto problem =
            WriteDiskImage(folder, imageDirectory + kDiskImageName, DiskVolumeName(title), leaveOut, added)) {
      report_.AddFailure(step, problem->file, problem->reason);
    }
  };

  const std::string cdImage = outputDirectory + "\\" + kKindCd + "\\";
  if (soundCdImages_.count(cdImage) != 0) {
    // One step as each module's archive goes in, the rest at the end.
    int taken = 0;
    writeImage(DirectoryPart(cdImage), kFileListName, [&](const std::string& name) {
      Repaint();
      for (const std::string& stem : entries_) {
        if (taken < steps && platform::EqualNoCase(name, stem + ".z")) {
          StepProgress();
          ++taken;
          break;
        }
      }
    });
    Repaint();
    for (; taken < steps; ++taken) StepProgress();
    return;
  }

  auto removeGathering = [&] {
    if (!RemoveTree(gathering)) {
      report_.AddFailure(step, gathering, "Could not remove the gathered files: " + win::LastErrorText());
    }
    DeleteRecorded(listPath, step, report_);
  };
  removeGathering();
  MakeDirectoryRecorded(gathering, step, report_);
  std::FILE* fileList = OpenFileList(listPath, step, report_);

  Repaint();
  const std::string sourceInstall = installRoot + config::kSourceInstallPart;
  if (!CopyDirectoryFiles(
          sourceInstall, gathering, [&](const std::string& copied) { ListFile(fileList, copied); },
          [&](const std::string& file, const std::string& reason) { report_.AddFailure(step, file, reason); })) {
    report_.AddFailure(step, sourceInstall, "Could not read the installer's files: " + win::LastErrorText());
  }
  Repaint();

  PlaceSettingsAndModules(installRoot, stagingRoot, gathering + "\\", fileList, step);
  CloseFileList(fileList, listPath, step, report_);

  const bool indexed =
      RunTool(kitcomp, kPkgIndexTool, Quoted(listPath), {kitcomp + "\\" + kPackageListName}, step, report_);
  CollectPackageList(kitcomp, gathering + "\\" + kPackageListName, indexed, step, report_);
  Repaint();
  StepProgress();

  writeImage(gathering, "", [&](const std::string&) { Repaint(); });
  removeGathering();
  Repaint();
  StepProgress();
}

void CImageBuilder::CopyLumeSettings(const std::string& installRoot, const std::string& target,
                                     const std::string& step) {
  // The staged lume.ini replaces the delivered one; it exists only when the
  // catalogue holds "lume".
  const std::string staged = installRoot + config::kTempmodPart + "\\lume.ini";
  bool hasLume = false;
  for (const std::string& stem : entries_) hasLume |= stem == "lume";
  if (hasLume) {
    CopyRecorded(staged, target, step, report_);
  } else {
    win::CopyFileA(staged.c_str(), target.c_str(), win::FALSE);
  }
}

}  // namespace kc::engine
