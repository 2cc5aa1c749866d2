#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <map>
#include <thread>

#include "config/profile_access.h"
#include "e2e_support.h"
#include "support/iso_reader.h"

namespace kc::e2e {
namespace {

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// The files of a disk image as a reader sees them.
std::map<std::string, std::string> IsoTree(const std::string& hostPath) {
  std::map<std::string, std::string> files;
  for (const auto& [name, file] : test::ReadIso(hostPath)) files[name] = file.contents;
  return files;
}

TEST(KitcompBuild, LocalBuildMakesCdDiskAndNetworkImages) {
  KitCopy kit;
  const KitCopy::Outcome built = kit.Build();
  ASSERT_EQ(built.status, 0) << built.output;
  EXPECT_TRUE(Has(built.output, "Your installation creation is complete."));

  const auto cd = kit.Tree("out/CD");
  for (const char* name : {"setup.exe", "setup.ini", "setup.lst", "setup.pkg", "setup.bmp", "lume.z", "lume.ins",
                           "lume.ini", "fonts.z", "fonts.ini", "audio.z", "viewer.z", "viewer.ini", "as.z", "vue.z"}) {
    EXPECT_TRUE(cd.count(name)) << name;
  }
  EXPECT_FALSE(cd.count("fonts.ins"));
  EXPECT_EQ(cd.at("readme.txt"), kit.Read("kit/samples/custom/readme.txt"));
  EXPECT_TRUE(Has(cd.at("setup.lst"), "1;\r\nT:\\out\\CD\\license.txt \r\n"));
  EXPECT_TRUE(Has(cd.at("setup.ini"), "Multimedia Support]"));
  // The disk image is one ISO file holding the CD image's files byte for byte,
  // apart from its file list (which names the paths it was made from).
  EXPECT_EQ(kit.Tree("out/disk").size(), 1u);
  EXPECT_TRUE(Has(built.output, "disk image in T:\\out\\disk (" + kit.Host("out/disk") + "): 1 file, "));
  auto withoutList = cd;
  withoutList.erase("setup.lst");
  ExpectSameTrees(IsoTree(kit.Host("out/disk/setup.iso")), withoutList);

  // The downloadable file is intact and holds what the CD holds, apart from
  // the file list (not packed) and the package list (which names the paths of
  // its own image).
  EXPECT_EQ(kit.Shell(kit.Host("out/network/netsetup.exe") + " --check"), 0);
  std::string extracted;
  ASSERT_EQ(kit.Shell(kit.Host("out/network/netsetup.exe") + " --noexec --target " + kit.Host("unpacked"), &extracted),
            0)
      << extracted;
  auto unpacked = kit.Tree("unpacked");
  auto onCd = cd;
  for (const char* differs : {"setup.lst", "setup.pkg"}) {
    onCd.erase(differs);
    unpacked.erase(differs);
  }
  ExpectSameTrees(unpacked, onCd);
  EXPECT_TRUE(kit.Tree("out/network/temp").empty());
}

// Every line of an image's package list against the file it names: size and
// SHA-256 as the file is now.
void ExpectPackageListDescribesItsFiles(const KitCopy& kit, const std::string& image) {
  const std::string list = "T:\\" + image + "\\setup.pkg";
  std::string folder = image;
  std::replace(folder.begin(), folder.end(), '\\', '/');
  const std::vector<std::string> keys = config::ReadAllKeys(list, "Files");
  ASSERT_FALSE(keys.empty()) << list;
  for (const std::string& key : keys) {
    const std::string line = config::ReadValue(list, "Files", key.c_str());
    const std::size_t first = line.find(','), second = line.find(',', first + 1);
    const std::string name = line.substr(second + 1);
    std::string sum;
    kit.Shell("sha256sum '" + kit.Host(folder + "/" + name) + "'", &sum);
    EXPECT_EQ(line.substr(0, first), std::to_string(kit.Read(folder + "/" + name).size())) << image << ": " << name;
    EXPECT_EQ(line.substr(first + 1, second - first - 1), sum.substr(0, 64)) << image << ": " << name;
  }
}

TEST(KitcompBuild, NetworkInstallerWithEveryRequest) {
  KitCopy kit;
  kit.SetChoice("NetOrLocal", "Net");
  const KitCopy::Outcome built = kit.Build();
  ASSERT_EQ(built.status, 0) << built.output;
  const std::string admin = "T:\\out\\administrator\\CD\\setup.ini";
  EXPECT_EQ(config::ReadValue(admin, "Network Install", "Mode"), "Admin");
  for (const char* key : {"Show Dialogs", "Show SetupType Dialog", "Show Readme Dialog", "Show License Dialog",
                          "Show Path Dialog", "Show Options Dialog", "Show Associations Dialog",
                          "Show Select Folder Dialog", "Show StartCopy Dialog", "Show Finish Dialog"}) {
    EXPECT_EQ(config::ReadValue(admin, "Product Defaults", key), "YES") << key;
  }
  const std::string endUser = "T:\\out\\end_user\\CD\\setup.ini";
  EXPECT_EQ(config::ReadValue(endUser, "Network Install", "Mode"), "End User");
  EXPECT_EQ(config::ReadValue(endUser, "Product Defaults", "Show Associations Dialog"), "NO");
  EXPECT_FALSE(kit.Tree("out/end_user/network").empty());
  // The disk image is the end user's.
  auto endUserCd = kit.Tree("out/end_user/CD");
  endUserCd.erase("setup.lst");
  ExpectSameTrees(IsoTree(kit.Host("out/end_user/disk/setup.iso")), endUserCd);
  // The administrator's settings were rewritten after its first listing.
  ExpectPackageListDescribesItsFiles(kit, "out\\administrator\\CD");
  ExpectPackageListDescribesItsFiles(kit, "out\\end_user\\CD");
  // Administrator CD first, then the end user's CD and network images.
  const std::size_t first = built.output.find("CD image in T:\\out\\administrator\\CD");
  const std::size_t second = built.output.find("CD image in T:\\out\\end_user\\CD");
  EXPECT_LT(first, second);
}

// A disk image asked for alone is complete: every file its package list names
// is in it as listed, and no other image is made. It is the same file as the
// one written from the CD image of a build that makes both.
TEST(KitcompBuild, DiskImageAloneHoldsTheInstallerAndItsPackageList) {
  KitCopy kit;
  ASSERT_EQ(kit.Build().status, 0);
  const KitCopy::Outcome built = kit.Build("--no-cd --no-download --output 'T:\\alone'");
  ASSERT_EQ(built.status, 0) << built.output;
  EXPECT_EQ(kit.Read("alone/disk/setup.iso"), kit.Read("out/disk/setup.iso"));
  EXPECT_FALSE(std::filesystem::exists(kit.Host("alone/CD")));
  EXPECT_FALSE(std::filesystem::exists(kit.Host("alone/network")));
  const auto iso = IsoTree(kit.Host("alone/disk/setup.iso"));
  for (const char* name : {"setup.exe", "setup.ini", "setup.pkg", "setup.bmp", "lume.z", "lume.ini", "as.z"}) {
    EXPECT_TRUE(iso.count(name)) << name;
  }
  for (const auto& [name, contents] : iso) kit.Write("unpacked/" + name, contents);
  ExpectPackageListDescribesItsFiles(kit, "unpacked");
}

TEST(KitcompBuild, RebuildIntoTheSameOutputGivesTheSameImages) {
  KitCopy kit;
  ASSERT_EQ(kit.Build().status, 0);
  const auto first = kit.Tree("out");
  kit.Write("out/CD/left-over.txt", "from before");
  // Files the build generates (setup.ini, setup.pkg, the staged archives) must
  // not carry the time of the run: let the clock move on to a new second.
  std::this_thread::sleep_for(std::chrono::milliseconds(1100));
  const KitCopy::Outcome again = kit.Build();
  ASSERT_EQ(again.status, 0) << again.output;
  // Byte for byte, the self-extracting file included.
  ExpectSameTrees(kit.Tree("out"), first);
}

TEST(KitcompBuild, AdditionalInstallersInBothSlotsAndCustomFilesAbsent) {
  KitCopy kit;
  kit.Write("extras/tools.beta.exe", "#!/bin/sh\necho tools\n", true);
  kit.SetChoice("Include Additional Install 2", "YES");
  kit.SetChoice("Additional Install 2 Path", "T:\\extras\\tools.beta.exe");
  kit.SetChoice("Additional Install 2 Filename", "tools");
  kit.SetChoice("Additional Install 2 Description", "Admin Tools");
  kit.SetChoice("Additional Install 2 Size", "42");
  kit.SetChoice("Custom Readme Path", "");
  kit.SetChoice("Custom CFG Path", "");
  const KitCopy::Outcome built = kit.Build("--no-download");
  ASSERT_EQ(built.status, 0) << built.output;
  const auto cd = kit.Tree("out/CD");
  EXPECT_TRUE(cd.count("viewer.z") && cd.count("tools.z"));
  EXPECT_TRUE(Has(cd.at("tools.ini"), "Installing Admin Tools files..."));
  EXPECT_TRUE(Has(cd.at("tools.ini"), "TargetFiles=tools.exe"));
  // The archive holds the file the settings name, under that name.
  std::string listing;
  ASSERT_EQ(kit.Shell(kit.Host("kit/kitcomp/squash.exe") + " --list 'T:\\out\\CD\\tools.z'", &listing), 0) << listing;
  EXPECT_EQ(listing.substr(listing.find('\t') + 1), "tools.exe\t\n");
  EXPECT_EQ(cd.at("readme.txt"), kit.Read("kit/source/install/readme.txt"));
  EXPECT_FALSE(cd.count("netsetup.exe"));
  EXPECT_FALSE(Has(built.output, "network image"));
}

TEST(KitcompBuild, FailingToolAndMissingModuleAreReportedWithExitStatusOne) {
  KitCopy kit;
  kit.Write("kit/kitcomp/pkgindex.exe", "#!/bin/sh\necho 'index broken' >&2\nexit 3\n", true);
  std::filesystem::remove(kit.Host("kit/source/modules/cal.z"));
  const KitCopy::Outcome built = kit.Build("--no-download");
  EXPECT_EQ(built.status, 1) << built.output;
  EXPECT_TRUE(Has(built.output, "pkgindex.exe failed with exit status 3: index broken")) << built.output;
  EXPECT_TRUE(Has(built.output, "cal.z")) << built.output;
  EXPECT_FALSE(Has(built.output, "Your installation creation is complete."));
}

TEST(KitcompBuild, UnusableOutputDriveIsRefusedWithExitStatusTwo) {
  KitCopy kit;
  const KitCopy::Outcome built = kit.Build("--output 'Q:\\images'");
  EXPECT_EQ(built.status, 2);
  EXPECT_TRUE(Has(built.output, "The output drive is invalid.")) << built.output;
}

TEST(KitcompBuild, BadInputIsRefusedWithAClearMessageAndExitStatusTwo) {
  KitCopy kit;
  std::string output;
  // No kitcomp.ini where the build starts.
  EXPECT_EQ(kit.Shell(KitCopy::Program() + " build -C 'T:\\kit'", &output), 2);
  EXPECT_TRUE(Has(output, "no install root")) << output;
  // A kitcomp.ini naming a kit that is not there.
  kit.Write("elsewhere/kitcomp.ini", "[Kit Composer]\r\nINSTALLED PATH=T:\\gone\r\n");
  EXPECT_EQ(kit.Shell(KitCopy::Program() + " build -C 'T:\\elsewhere'", &output), 2);
  EXPECT_TRUE(Has(output, "the install root T:\\gone named by .\\kitcomp.ini is not a folder")) << output;
  // A configuration file that is missing, or a folder.
  KitCopy::Outcome built = kit.Build("--config 'T:\\nowhere.kcm'");
  EXPECT_EQ(built.status, 2);
  EXPECT_TRUE(Has(built.output, "the configuration T:\\nowhere.kcm does not exist.")) << built.output;
  built = kit.Build("--config 'T:\\kit\\samples'");
  EXPECT_EQ(built.status, 2);
  EXPECT_TRUE(Has(built.output, "the configuration T:\\kit\\samples is a folder, not a file.")) << built.output;
  // Nothing was built on the way.
  EXPECT_FALSE(std::filesystem::exists(kit.Host("out")));
}

// A 16-bit configuration: its own section holds the answers, and the command
// line's output path and image choices are the ones built.
TEST(KitcompBuild, SixteenBitConfigurationBuildsWhatTheCommandLineSays) {
  KitCopy kit;
  const std::string dkb = "T:\\kit\\kitcomp\\default.dkb";
  for (const std::string& key : config::ReadAllKeys(dkb, "Choices-32")) {
    kit.SetChoice(key, config::ReadValue(dkb, "Choices-32", key.c_str()), "Choices-16");
  }
  kit.SetChoice("Lumenary 4.5", "lume", "Main Modules 16");
  kit.SetChoice("Platform", "16", "Global");
  kit.SetChoice("Output Path", "", "Choices-32");
  kit.Write("CD/keep.txt", "a user's file at the drive root");
  const KitCopy::Outcome built = kit.Build("--output 'T:\\sixteen' --cd --no-download");
  ASSERT_EQ(built.status, 0) << built.output;
  EXPECT_TRUE(kit.Tree("sixteen/CD").count("lume.z"));
  EXPECT_FALSE(std::filesystem::exists(kit.Host("sixteen/network")));
  EXPECT_FALSE(std::filesystem::exists(kit.Host("out")));
  EXPECT_EQ(kit.Tree("CD").size(), 1u);
}

// A shared configuration whose module name climbs out of the modules folder.
TEST(KitcompBuild, HostileConfigurationIsRefusedAndTheKitKeepsItsFiles) {
  KitCopy kit;
  kit.Write("hostile.kcm", kit.Read("kit/kitcomp/default.dkb"));
  config::WriteValue("T:\\hostile.kcm", "Mods-32", "Calendar", "..\\..\\kitcomp\\kitcomp");
  const std::string programIni = kit.Read("kit/kitcomp/kitcomp.ini");
  const KitCopy::Outcome built = kit.Build("--config 'T:\\hostile.kcm'");
  EXPECT_EQ(built.status, 2) << built.output;
  EXPECT_TRUE(Has(built.output, "names the module \"..\\..\\kitcomp\\kitcomp\", which is not a plain file name"))
      << built.output;
  EXPECT_EQ(kit.Read("kit/kitcomp/kitcomp.ini"), programIni);
  EXPECT_FALSE(std::filesystem::exists(kit.Host("out")));
}

TEST(KitcompBuild, OutputPathThatIsAFileIsOneClearFailure) {
  KitCopy kit;
  kit.Write("taken", "a file");
  const KitCopy::Outcome built = kit.Build("--output 'T:\\taken'");
  EXPECT_EQ(built.status, 1) << built.output;
  EXPECT_TRUE(Has(built.output,
                  "1 step failed:\n  Creating the output path: T:\\taken\n"
                  "    It is a file, not a folder. No image was built.\n"))
      << built.output;
  EXPECT_EQ(kit.Read("taken"), "a file");
}

TEST(KitcompBuild, OutputPathWithBlanksGivenAsAHostPath) {
  KitCopy kit;
  const KitCopy::Outcome built = kit.Build("--no-download --output '" + kit.Host("my images") + "'");
  ASSERT_EQ(built.status, 0) << built.output;
  EXPECT_TRUE(Has(kit.Read("my images/CD/setup.pkg"), "lume.z"));
}

}  // namespace
}  // namespace kc::e2e
