#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>

#include "config/profile_access.h"
#include "engine/image_builder.h"
#include "engine/tool_launcher.h"
#include "engine_test_support.h"
#include "support/iso_reader.h"

using kc::test::TempDrive;

namespace kc::engine {
namespace {

class Assembly : public ::testing::Test {
 protected:
  void Prepare(const std::string& components, const std::string& choices = "") {
    drive.Write("kit/custom/engine/setup.ini", "[Components]\r\n" + components);
    drive.Write("kit/kitcomp/choices.tmp", "[Choices-32]\r\n" + choices);
    builder.ReadComponentCatalogue("T:\\kit");
    builder.StageCustomizations("T:\\kit", "T:\\kit");
    progress.log.clear();
  }
  TempDrive drive;
  test::KitOptions options;
  config::RunPaths paths = test::MakeKit(drive, options);
  test::RecordingProgress progress;
  test::RecordingWindow window{progress.log};
  CImageBuilder builder{progress, window};
};

TEST_F(Assembly, CdFileListHoldsInstallerFilesThenModulesWithTrailingBlanksAndCrLf) {
  Prepare("Main=lume\r\nCalendar=cal\r\n");
  builder.AssembleImage("T:\\kit", "T:\\kit", "T:\\out dir", "CD");
  EXPECT_EQ(drive.Read("out dir/CD/setup.lst"),
            "1;\r\n"
            "T:\\out dir\\CD\\license.txt \r\nT:\\out dir\\CD\\readme.txt \r\n"
            "T:\\out dir\\CD\\setup.exe \r\nT:\\out dir\\CD\\setup.ini \r\n"
            "T:\\out dir\\CD\\lume.z \r\nT:\\out dir\\CD\\lume.ins \r\nT:\\out dir\\CD\\lume.ini \r\n"
            "T:\\out dir\\CD\\cal.z \r\nT:\\out dir\\CD\\cal.ini \r\n");
  // The staged archive for lume, the delivered one for cal.
  EXPECT_EQ(drive.Read("out dir/CD/lume.z"), drive.Read("kit/custom/tempmod/lume.z"));
  EXPECT_EQ(drive.Read("out dir/CD/cal.z"), "archive cal");
  EXPECT_EQ(drive.Read("out dir/CD/setup.ini"), drive.Read("kit/custom/engine/setup.ini"));
  // Deleted on purpose by the staging: the installer's own texts stay.
  EXPECT_EQ(drive.Read("out dir/CD/readme.txt"), "delivered readme");
  EXPECT_EQ(drive.Read("out dir/CD/lume.ini"), drive.Read("kit/custom/tempmod/lume.ini"));
  EXPECT_FALSE(drive.Exists("out dir/CD/setup.bmp"));
  // The list path is quoted, so a path with blanks arrives as one argument.
  const auto runs = ToolRuns(drive);
  ASSERT_FALSE(runs.empty());
  EXPECT_EQ(runs.back(),
            (std::vector<std::string>{"pkgindex.exe", drive.Host("kit/kitcomp"), "T:\\out dir\\CD\\setup.lst"}));
  EXPECT_EQ(drive.Read("out dir/CD/setup.pkg"), "package list of T:\\out dir\\CD\\setup.lst\n");
  EXPECT_FALSE(drive.Exists("kit/kitcomp/setup.pkg"));
  EXPECT_EQ(progress.Operations(), (std::vector<std::string>{"pos 0", "text Creating CD image", "range 0 3", "step 1",
                                                             "stepit", "stepit", "stepit"}));
  EXPECT_TRUE(builder.report().ok()) << builder.report().failures()[0].reason;
  ASSERT_EQ(builder.report().images().size(), 1u);
  EXPECT_EQ(builder.report().images()[0].directory, "T:\\out dir\\CD");
}

// One repaint: the progress dialog, then the main window.
const std::vector<std::string> kRepaint = {"paint progress", "paint main"};

std::vector<std::string> Joined(std::initializer_list<std::vector<std::string>> parts) {
  std::vector<std::string> all;
  for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

TEST_F(Assembly, CdImageRepaintsAroundTheCopiesAfterEachListedModuleAndAfterThePackageList) {
  Prepare("Calendar=cal\r\n");
  builder.AssembleImage("T:\\kit", "T:\\kit", "T:\\out", "CD");
  EXPECT_EQ(progress.log, Joined({{"pos 0", "text Creating CD image", "range 0 2", "step 1"},
                                  kRepaint,
                                  kRepaint,  // around the installer's files
                                  kRepaint,
                                  kRepaint,
                                  {"stepit"},  // the module: after its archive, after its lines
                                  kRepaint,    // after pkgindex.exe
                                  kRepaint,
                                  {"stepit"}}));  // after setup.pkg
}

TEST_F(Assembly, NetworkImageRepaintsAtItsOwnPoints) {
  drive.Write("art/splash.bmp", "BM");
  Prepare("Calendar=cal\r\n", "Install Splash Path=T:\\art\\splash.bmp\r\n");
  builder.AssembleImage("T:\\kit", "T:\\kit", "T:\\out", "network");
  EXPECT_EQ(progress.log, Joined({{"pos 0", "text Creating Network image", "range 0 3", "step 1"},
                                  kRepaint,
                                  kRepaint,  // around the installer's files
                                  kRepaint,  // after the splash picture
                                  kRepaint,
                                  kRepaint,
                                  {"stepit"},  // the module
                                  kRepaint,
                                  {"stepit"},  // after pkgindex.exe and setup.pkg
                                  kRepaint,
                                  kRepaint,  // around sfxmaker.exe
                                  kRepaint,
                                  {"stepit"}}));  // after temp\ is emptied
  EXPECT_EQ(drive.Read("out/network/netsetup.exe"), "sfx\n");
}

TEST_F(Assembly, EmptyCatalogueGivesRangesOfOneAndTwo) {
  drive.Write("kit/custom/engine/setup.ini", "[Components]\r\n");
  drive.Write("kit/kitcomp/choices.tmp", "[Choices-32]\r\n");
  builder.ReadComponentCatalogue("T:\\kit");
  builder.StageCustomizations("T:\\kit", "T:\\kit");
  builder.AssembleImage("T:\\kit", "T:\\kit", "T:\\out", "CD");
  builder.AssembleImage("T:\\kit", "T:\\kit", "T:\\out", "disk");
  builder.AssembleImage("T:\\kit", "T:\\kit", "T:\\out", "network");
  EXPECT_EQ(
      progress.Operations(),
      (std::vector<std::string>{"pos 0",  "text Adding Customizations",  "range 0 0", "step 1",            //
                                "pos 0",  "text Creating CD image",      "range 0 1", "step 1", "stepit",  //
                                "pos 0",  "text Creating disk image",    "range 0 2", "step 1", "stepit",
                                "stepit",  //
                                "pos 0",  "text Creating Network image", "range 0 2", "step 1", "stepit", "stepit"}));
  // The installer's own files still make up both images.
  EXPECT_EQ(drive.Read("out/CD/setup.lst"),
            "1;\r\nT:\\out\\CD\\license.txt \r\nT:\\out\\CD\\readme.txt \r\nT:\\out\\CD\\setup.exe \r\n"
            "T:\\out\\CD\\setup.ini \r\n");
  EXPECT_EQ(drive.Read("out/network/netsetup.exe"), "sfx\n");
}

TEST_F(Assembly, SplashAndCustomTextsArePlacedUnlisted) {
  drive.Write("art/splash.bmp", "BM");
  drive.Write("texts/readme.txt", "custom readme");
  Prepare("Main=lume\r\n", "Install Splash Path=T:\\art\\splash.bmp\r\nCustom Readme Path=T:\\texts\\readme.txt\r\n");
  builder.AssembleImage("T:\\kit", "T:\\kit", "T:\\out", "CD");
  EXPECT_EQ(drive.Read("out/CD/setup.bmp"), "BM");
  EXPECT_EQ(drive.Read("out/CD/readme.txt"), "custom readme");
  EXPECT_EQ(drive.Read("out/CD/setup.lst").find("setup.bmp"), std::string::npos);
}

// A custom text is optional only while it is absent: one that is there and
// will not copy (a socket cannot be opened) is a failure of the image.
TEST_F(Assembly, ACustomTextThatIsThereButWillNotCopyIsReported) {
  Prepare("Calendar=cal\r\n");
  const std::string readme = drive.Host("kit/custom/engine/readme.txt");
  const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  ASSERT_LT(readme.size(), sizeof address.sun_path);
  std::strcpy(address.sun_path, readme.c_str());
  ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  builder.AssembleImage("T:\\kit", "T:\\kit", "T:\\out", "CD");
  ::close(listener);
  ASSERT_EQ(builder.report().failures().size(), 1u);
  EXPECT_EQ(builder.report().failures()[0].file, "T:\\kit\\custom\\engine\\readme.txt");
  EXPECT_EQ(drive.Read("out/CD/readme.txt"), "delivered readme");  // the installer's own stays
}

TEST_F(Assembly, RebuildEmptiesTheImageDirectoryFirst) {
  Prepare("Calendar=cal\r\n");
  drive.Write("out/CD/stale.txt", "old");
  drive.Write("out/CD/old-folder/x", "old");
  builder.AssembleImage("T:\\kit", "T:\\kit", "T:\\out", "CD");
  EXPECT_FALSE(drive.Exists("out/CD/stale.txt"));
  EXPECT_FALSE(drive.Exists("out/CD/old-folder"));
  EXPECT_TRUE(drive.Exists("out/CD/cal.z"));
}

// The disk image on its own: one ISO file holding, byte for byte, what the CD
// image of the same build holds (its file list apart), with a package list of
// its own; the files gathered for it do not stay in the work area.
TEST_F(Assembly, DiskImageIsOneIsoFileHoldingWhatTheCdImageHolds) {
  std::filesystem::permissions(drive.Host("kit/source/install/setup.exe"), std::filesystem::perms::owner_exec,
                               std::filesystem::perm_options::add);
  Prepare("Main=lume\r\nCalendar=cal\r\n[Product Defaults]\r\nProduct Setup Title=Lumenary 4.5\r\n");
  drive.Write("out/disk/stale.txt", "old");
  builder.AssembleImage("T:\\kit", "T:\\kit", "T:\\out", "disk");
  EXPECT_EQ(progress.Operations(), (std::vector<std::string>{"pos 0", "text Creating disk image", "range 0 4", "step 1",
                                                             "stepit", "stepit", "stepit", "stepit"}));
  ASSERT_TRUE(builder.report().ok()) << builder.report().failures()[0].reason;
  EXPECT_EQ(drive.List("out/disk"), std::vector<std::string>{"setup.iso"});
  EXPECT_EQ(builder.report().images()[0].files, 1u);
  EXPECT_FALSE(drive.Exists("kit/custom/tempmod/disk"));
  EXPECT_FALSE(drive.Exists("kit/custom/tempmod/disk.lst"));
  EXPECT_EQ(test::IsoBytes(drive.Host("out/disk/setup.iso"), 16 * 2048 + 40, 12), "LUMENARY_4_5");

  // The package list is made from the disk image's own file list.
  EXPECT_EQ(ToolRuns(drive).back(), (std::vector<std::string>{"pkgindex.exe", drive.Host("kit/kitcomp"),
                                                              "T:\\kit\\custom\\tempmod\\disk.lst"}));
  auto iso = test::ReadIso(drive.Host("out/disk/setup.iso"));
  EXPECT_FALSE(iso["setup.pkg"].contents.empty());
  EXPECT_EQ(iso["setup.exe"].mode, 0555u);
  EXPECT_EQ(iso["lume.z"].mode, 0444u);
  builder.AssembleImage("T:\\kit", "T:\\kit", "T:\\out", "CD");
  std::vector<std::string> onCd = drive.List("out/CD");
  std::erase(onCd, "setup.lst");
  std::vector<std::string> onDisk;
  for (const auto& [name, file] : iso) onDisk.push_back(name);
  EXPECT_EQ(onDisk, onCd);
  for (const std::string& name : onCd) {
    if (name == "setup.pkg") continue;  // the stand-in's names the list it was given
    EXPECT_EQ(iso[name].contents, drive.Read("out/CD/" + name)) << name;
  }

  // Beside that CD image, the disk image is written from it: nothing gathered
  // or listed again, the same steps.
  const std::size_t runsBefore = ToolRuns(drive).size();
  progress.log.clear();
  builder.AssembleImage("T:\\kit", "T:\\kit", "T:\\out", "disk");
  EXPECT_EQ(ToolRuns(drive).size(), runsBefore);
  EXPECT_EQ(progress.Operations(), (std::vector<std::string>{"pos 0", "text Creating disk image", "range 0 4", "step 1",
                                                             "stepit", "stepit", "stepit", "stepit"}));
  iso = test::ReadIso(drive.Host("out/disk/setup.iso"));
  EXPECT_EQ(iso["setup.pkg"].contents, drive.Read("out/CD/setup.pkg"));
  EXPECT_FALSE(iso.count("setup.lst"));
  EXPECT_TRUE(builder.report().ok()) << builder.report().failures()[0].reason;
}

TEST_F(Assembly, DiskImageThatCannotBeWrittenIsReportedAndLeavesNoFile) {
  Prepare("Calendar=cal\r\n");
  // A folder in the way of the image, too deep to be emptied.
  drive.Write("out/disk/setup.iso/deeper/file", "in the way");
  builder.AssembleImage("T:\\kit", "T:\\kit", "T:\\out", "disk");
  const auto& failures = builder.report().failures();
  ASSERT_FALSE(failures.empty());
  EXPECT_EQ(failures.back().step, "Creating the disk image");
  EXPECT_EQ(failures.back().file, "T:\\out\\disk\\setup.iso");
  EXPECT_NE(failures.back().reason.find("Could not put the disk image in place"), std::string::npos)
      << failures.back().reason;
  EXPECT_TRUE(std::filesystem::is_directory(drive.Host("out/disk/setup.iso")));
  for (const auto& entry : std::filesystem::directory_iterator(drive.Host("out/disk")))
    EXPECT_EQ(entry.path().filename(), "setup.iso") << "left behind";
  EXPECT_FALSE(drive.Exists("kit/custom/tempmod/disk"));
}

TEST_F(Assembly, NetworkImageIsPackedFromItsTempFolderWhichIsEmptiedAfterwards) {
  Prepare("Main=lume\r\nCalendar=cal\r\n");
  builder.AssembleImage("T:\\kit", "T:\\kit", "T:\\out", "network");
  EXPECT_EQ(drive.List("out/network"), (std::vector<std::string>{"netsetup.exe", "temp"}));
  EXPECT_TRUE(drive.List("out/network/temp").empty());
  EXPECT_FALSE(drive.Exists("kit/kitcomp/sfxmaker.ini"));
  const auto runs = ToolRuns(drive);
  ASSERT_GE(runs.size(), 2u);
  EXPECT_EQ(runs[runs.size() - 2],
            (std::vector<std::string>{"pkgindex.exe", drive.Host("kit/kitcomp"), "T:\\out\\network\\setup.lst"}));
  EXPECT_EQ(runs.back(),
            (std::vector<std::string>{"sfxmaker.exe", drive.Host("kit/kitcomp"), "T:\\kit\\kitcomp\\sfxmaker.ini"}));
  EXPECT_EQ(progress.Operations(), (std::vector<std::string>{"pos 0", "text Creating Network image", "range 0 4",
                                                             "step 1", "stepit", "stepit", "stepit", "stepit"}));
  EXPECT_TRUE(builder.report().ok()) << builder.report().failures()[0].reason;
}

TEST_F(Assembly, SfxMakerSettingsHoldTheFourKeysInOrder) {
  // A sfxmaker stand-in that keeps a copy of its settings file.
  drive.Write("kit/kitcomp/sfxmaker.exe", "#!/bin/sh\ncp \"$(echo \"$1\" | sed 's#^T:#" + drive.host() +
                                              "#; s#\\\\#/#g')\" '" + drive.Host("seen.ini") + "'\n");
  Prepare("Calendar=cal\r\n");
  builder.AssembleImage("T:\\kit", "T:\\kit", "T:\\out", "network");
  EXPECT_EQ(drive.Read("seen.ini"),
            "[SFX Maker]\r\nSrcDir=T:\\out\\network\\temp\\\r\nDestDir=T:\\out\\network\\\r\n"
            "CmdLine=setup.exe\r\nCompress=0\r\n");
}

TEST_F(Assembly, ModuleWithoutScriptGetsNoScriptLineButASettingsLineEvenWhenMissing) {
  drive.Write("kit/source/modules/bare.z", "bare");
  Prepare("Bare=bare\r\n");
  builder.AssembleImage("T:\\kit", "T:\\kit", "T:\\out", "CD");
  const std::string list = drive.Read("out/CD/setup.lst");
  EXPECT_EQ(list.find("bare.ins"), std::string::npos);
  EXPECT_NE(list.find("T:\\out\\CD\\bare.ini \r\n"), std::string::npos);
  // The missing settings file is a real failure; the missing script is not.
  ASSERT_EQ(builder.report().failures().size(), 1u);
  EXPECT_EQ(builder.report().failures()[0].file, "T:\\kit\\source\\modules\\bare.ini");
}

TEST_F(Assembly, FailingPackageListToolIsReportedWithItsStatus) {
  test::KitOptions failing;
  failing.failingTool = "pkgindex.exe";
  test::MakeKit(drive, failing);
  Prepare("Calendar=cal\r\n");
  builder.AssembleImage("T:\\kit", "T:\\kit", "T:\\out", "CD");
  ASSERT_EQ(builder.report().failures().size(), 1u);
  EXPECT_NE(builder.report().failures()[0].reason.find("pkgindex.exe failed with exit status 3"), std::string::npos);
  // The CD image's run names the tool by its full path.
  EXPECT_EQ(builder.report().failures()[0].file, "T:\\kit\\kitcomp\\pkgindex.exe \"T:\\out\\CD\\setup.lst\"");
  EXPECT_FALSE(drive.Exists("out/CD/setup.pkg"));
}

TEST_F(Assembly, NetworkPackageListRunNamesTheToolByItsBareName) {
  test::KitOptions failing;
  failing.failingTool = "pkgindex.exe";
  test::MakeKit(drive, failing);
  Prepare("Calendar=cal\r\n");
  builder.AssembleImage("T:\\kit", "T:\\kit", "T:\\out", "network");
  ASSERT_FALSE(builder.report().failures().empty());
  EXPECT_EQ(builder.report().failures()[0].file, "pkgindex.exe \"T:\\out\\network\\setup.lst\"");
}

TEST(ToolCommandLine, FullPathWithABlankIsQuoted) {
  EXPECT_EQ(ToolCommandLine("T:\\my kit\\kitcomp", "pkgindex.exe", "list", ToolName::kFullPath),
            "\"T:\\my kit\\kitcomp\\pkgindex.exe\" list");
  EXPECT_EQ(ToolCommandLine("T:\\kit\\kitcomp", "pkgindex.exe", "list", ToolName::kFullPath),
            "T:\\kit\\kitcomp\\pkgindex.exe list");
  EXPECT_EQ(ToolCommandLine("T:\\kit\\kitcomp", "sfxmaker.exe", "x"), "sfxmaker.exe x");
}

TEST_F(Assembly, TheCdCommandLineCountsTheToolsFullPathAgainstTheLimit) {
  // With the bare name, pkgindex.exe "<output>\CD\setup.lst" would be exactly
  // 259 characters for this output directory; naming the tool by its full
  // path in T:\kit\kitcomp makes it 274, which no 260-character buffer holds.
  const std::string output = "T:\\" + std::string(231 - 3, 'd');
  ASSERT_EQ(ToolCommandLine("T:\\kit\\kitcomp", "pkgindex.exe", "\"" + output + "\\CD\\setup.lst\"").size(), 259u);
  Prepare("Calendar=cal\r\n");
  builder.AssembleImage("T:\\kit", "T:\\kit", output, "CD");
  ASSERT_EQ(builder.report().failures().size(), 1u);
  EXPECT_NE(builder.report().failures()[0].reason.find("too long (274 characters"), std::string::npos)
      << builder.report().failures()[0].reason;
  for (const auto& run : ToolRuns(drive)) EXPECT_NE(run[0], "pkgindex.exe");
}

TEST_F(Assembly, CommandLineOverTheLimitIsRefusedWithoutStarting) {
  const std::string deep = "T:\\" + std::string(240, 'd');
  Prepare("Calendar=cal\r\n");
  builder.AssembleImage("T:\\kit", "T:\\kit", deep, "CD");
  EXPECT_FALSE(builder.report().ok());
  for (const auto& run : ToolRuns(drive)) EXPECT_NE(run[0], "pkgindex.exe");
}

}  // namespace
}  // namespace kc::engine
