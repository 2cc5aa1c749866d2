#include "engine/script_generation.h"

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>

#include <filesystem>

#include "../platform/scratch_folder.h"
#include "config/profile_access.h"
#include "engine_test_support.h"
#include "platform/drives.h"
#include "platform/files.h"
#include "string_table.h"

using kc::test::TempDrive;

namespace kc::engine {
namespace {

const char* const kEveryProductDefault[] = {"Show Dialogs",
                                            "Show Welcome Dialog",
                                            "Show Path Dialog",
                                            "Show Custom Dialog",
                                            "Show Associations Dialog",
                                            "Show Finish Dialog",
                                            "Show Reboot Dialog",
                                            "Show License Dialog",
                                            "Show SetupType Dialog",
                                            "Show Options Dialog",
                                            "Show Select Folder Dialog",
                                            "Show StartCopy Dialog",
                                            "Show Readme Dialog",
                                            "Program Folder",
                                            "Product Setup Title",
                                            "Product Setup Title1",
                                            "Product Setup Title2",
                                            "Product Path",
                                            "Create License Icon",
                                            "Create Readme Icon"};

class Finish : public ::testing::Test {
 protected:
  Finish() : paths(test::MakeKit(drive)) {
    drive.Write("kit/custom/engine/setup.ini",
                "[Product Defaults]\r\nKeep=me\r\n[Components]\r\nDelivered=base\r\n[SubComponents]\r\n"
                "Multimedia Support=\r\n[Multimedia Support]\r\nDefault Path=x\r\n");
  }
  FinishOutcome Run(const std::string& output = "T:\\out", bool cd = true, bool download = true) {
    return FinishInstallerScript(paths, {output, cd, download});
  }
  std::string Setup(const char* section, const char* key) {
    return config::ReadValue(paths.engineSetupIni, section, key);
  }
  TempDrive drive;
  config::RunPaths paths;
};

TEST_F(Finish, WritesEverySettingInOrderWithAbsentAnswersEmpty) {
  std::string choices = "[Choices-32]\r\n";
  for (const char* key : kEveryProductDefault) choices += std::string(key) + "=v " + key + "\r\n";
  choices += "Program Folder=\r\n";  // present but empty
  drive.Write("kit/kitcomp/choices.tmp", choices +
                                             "[Main Modules 32]\r\nLumenary 4.5=lume\r\nSecond=ignored\r\n"
                                             "[Mods-32]\r\nCalendar=cal\r\nChat=chat\r\n"
                                             "[MMMods-32]\r\nAudio=audio\r\n");
  ASSERT_TRUE(Run().accepted);
  const std::string setup = drive.Read("kit/custom/engine/setup.ini");
  std::size_t last = setup.find("Keep=me");
  for (const char* key : kEveryProductDefault) {
    const std::size_t at = setup.find(std::string("\r\n") + key + "=");
    ASSERT_NE(at, std::string::npos) << key;
    EXPECT_GT(at, last) << key << " out of order";
    last = at;
  }
  EXPECT_EQ(Setup("Product Defaults", "Show Dialogs"), "v Show Dialogs");
  EXPECT_EQ(Setup("Product Defaults", "Program Folder"), "v Program Folder");  // first of the duplicates
  EXPECT_EQ(Setup("Network Install", "Profile Path"), "");
  EXPECT_NE(setup.find("Profile Path=\r\n"), std::string::npos) << "an absent answer is written empty";
  EXPECT_EQ(config::ReadAllKeys(paths.engineSetupIni, "Components"),
            (std::vector<std::string>{"Delivered", "Lumenary 4.5", "Calendar", "Chat"}));
  EXPECT_EQ(Setup("Multimedia Support", "Audio"), "audio");
  EXPECT_EQ(Setup("SubComponents", "Multimedia Support"), "");
  EXPECT_FALSE(config::ReadAllKeys(paths.engineSetupIni, "SubComponents").empty());
  EXPECT_EQ(config::ReadValue(paths.choicesFile, "Choices-32", "Output Path"), "T:\\out");
}

TEST_F(Finish, WritesEveryRowInItsOrderIntoAMissingSettingsFile) {
  std::filesystem::remove(drive.Host("kit/custom/engine/setup.ini"));
  std::string choices = "[Choices-32]\r\nNetOrLocal=Net\r\n";
  for (const char* key : kEveryProductDefault) choices += std::string(key) + "=" + key + " answer\r\n";
  choices +=
      "End User Path Dialog Option=o\r\nEnd User Path Dialog Option State=s\r\n"
      "End User Path Dialog Profile Path Edit Box=p\r\nProfile Path=P:\\profiles\r\n"
      "End User Path Dialog Network Path Edit Box=n\r\n"
      "Include Additional Install 2=YES\r\nAdditional Install 2 Description=Second\r\n"
      "Additional Install 2 Filename=two\r\nInclude Additional Install 1=YES\r\n"
      "Additional Install 1 Description=First\r\nAdditional Install 1 Filename=one\r\n"
      "[Mods-32]\r\nChat=chat\r\nCalendar=cal\r\n[MMMods-32]\r\nVideo=video\r\nAudio=audio\r\n"
      "[Main Modules 32]\r\nLumenary 4.5=lume\r\n";
  drive.Write("kit/kitcomp/choices.tmp", choices);
  ASSERT_TRUE(Run().accepted);
  std::string expected = "[Product Defaults]\r\n";
  for (const char* key : kEveryProductDefault) expected += std::string(key) + "=" + key + " answer\r\n";
  expected +=
      "[Network Install]\r\nMode=End User\r\nEnd User Path Dialog Network Path Edit Box=n\r\n"
      "Profile Path=P:\\profiles\r\nEnd User Path Dialog Profile Path Edit Box=p\r\n"
      "End User Path Dialog Option State=s\r\nEnd User Path Dialog Option=o\r\n"
      "[Components]\r\nFirst=one\r\nSecond=two\r\nLumenary 4.5=lume\r\nChat=chat\r\nCalendar=cal\r\n"
      "[Multimedia Support]\r\nVideo=video\r\nAudio=audio\r\n";
  EXPECT_EQ(drive.Read("kit/custom/engine/setup.ini"), expected);
}

struct ModeCase {
  const char* netOrLocal;
  const char* mode;
};
class FinishMode : public Finish, public ::testing::WithParamInterface<ModeCase> {};

TEST_P(FinishMode, ModeIsEndUserOnlyForExactlyNet) {
  drive.Write("kit/kitcomp/choices.tmp", std::string("[Choices-32]\r\nNetOrLocal=") + GetParam().netOrLocal + "\r\n");
  ASSERT_TRUE(Run().accepted);
  EXPECT_EQ(Setup("Network Install", "Mode"), GetParam().mode);
}
INSTANTIATE_TEST_SUITE_P(Cases, FinishMode,
                         ::testing::Values(ModeCase{"Net", "End User"}, ModeCase{"net", "Admin"},
                                           ModeCase{"Local", "Admin"}, ModeCase{"", "Admin"},
                                           ModeCase{"NET", "Admin"}));

TEST_F(Finish, RemovesSubComponentsWhenNoMultimediaIsChosen) {
  drive.Write("kit/kitcomp/choices.tmp", "[Choices-32]\r\n");
  ASSERT_TRUE(Run().accepted);
  EXPECT_TRUE(config::ReadAllKeys(paths.engineSetupIni, "SubComponents").empty());
  EXPECT_EQ(drive.Read("kit/custom/engine/setup.ini").find("[SubComponents]"), std::string::npos);
}

TEST_F(Finish, AdditionalInstallsOnlyWhenIncludedWithExactlyYes) {
  drive.Write("kit/kitcomp/choices.tmp",
              "[Choices-32]\r\nInclude Additional Install 1=YES\r\nAdditional Install 1 Description=Viewer\r\n"
              "Additional Install 1 Filename=viewer\r\nInclude Additional Install 2=yes\r\n"
              "Additional Install 2 Description=Other\r\nAdditional Install 2 Filename=other\r\n");
  ASSERT_TRUE(Run().accepted);
  EXPECT_EQ(Setup("Components", "Viewer"), "viewer");
  EXPECT_EQ(Setup("Components", "Other"), "");
}

TEST_F(Finish, Platform16ReadsItsSectionsButMultimediaStaysAt32) {
  drive.Write("kit/kitcomp/choices.tmp",
              "[Global]\r\nPlatform=16\r\n[Choices-16]\r\nProgram Folder=sixteen\r\n[Choices-32]\r\n"
              "Program Folder=thirty-two\r\n[Mods-16]\r\nOld=old\r\n[Mods-32]\r\nNew=new\r\n"
              "[Main Modules 16]\r\nLumenary 3=lume3\r\n[Main Modules 32]\r\nLumenary 4.5=lume\r\n"
              "[MMMods-32]\r\nAudio=audio\r\n");
  ASSERT_TRUE(Run().accepted);
  EXPECT_EQ(Setup("Product Defaults", "Program Folder"), "sixteen");
  EXPECT_EQ(Setup("Components", "Old"), "old");
  EXPECT_EQ(Setup("Components", "New"), "");
  EXPECT_EQ(Setup("Components", "Lumenary 3"), "lume3");
  EXPECT_EQ(Setup("Multimedia Support", "Audio"), "audio");
  EXPECT_EQ(config::ReadValue(paths.choicesFile, "Choices-16", "Create CD"), "YES");
}

TEST_F(Finish, LongModuleListsAreWrittenWhole) {
  std::string mods = "[Mods-32]\r\n";
  for (int i = 0; i < 40; ++i)
    mods += "Optional component number " + std::to_string(i) + "=m" + std::to_string(i) + "\r\n";
  drive.Write("kit/kitcomp/choices.tmp", "[Choices-32]\r\n" + mods);
  ASSERT_TRUE(Run().accepted);
  EXPECT_EQ(Setup("Components", "Optional component number 39"), "m39");
  EXPECT_EQ(config::ReadAllKeys(paths.engineSetupIni, "Components").size(), 41u);
}

TEST_F(Finish, RefusesADriveThatDoesNotExistWithTheDriveMessage) {
  drive.Write("kit/kitcomp/choices.tmp", "[Choices-32]\r\nOutput Path=before\r\n");
  const std::string before = drive.Read("kit/custom/engine/setup.ini");
  const FinishOutcome outcome = Run("Q:\\out");
  EXPECT_FALSE(outcome.accepted);
  // Both checks fail; the drive message replaces the space message.
  EXPECT_EQ(outcome.message, LoadString(IDS_INVALID_OUTPUT_DRIVE));
  EXPECT_EQ(drive.Read("kit/custom/engine/setup.ini"), before);
  EXPECT_EQ(config::ReadValue(paths.choicesFile, "Choices-32", "Output Path"), "before");
  // The two image answers are stored even so.
  EXPECT_EQ(config::ReadValue(paths.choicesFile, "Choices-32", "Create CD"), "YES");
  EXPECT_EQ(config::ReadValue(paths.choicesFile, "Choices-32", "Create Download"), "YES");
}

TEST_F(Finish, RefusesAnOutputPathWithoutADriveRoot) {
  drive.Write("kit/kitcomp/choices.tmp", "[Choices-32]\r\n");
  for (const char* shortPath : {"", "T", "T:"}) {
    const FinishOutcome outcome = Run(shortPath, false, false);
    EXPECT_FALSE(outcome.accepted) << shortPath;
    EXPECT_EQ(outcome.message, LoadString(IDS_INVALID_OUTPUT_DRIVE)) << shortPath;
  }
}

TEST_F(Finish, RelativeOutputPathIsCheckedOnTheDriveItLiesOn) {
  drive.Write("work/keep", "");
  ASSERT_TRUE(win::SetCurrentDirectoryA("T:\\work"));
  drive.Write("kit/kitcomp/choices.tmp", "[Choices-32]\r\n");
  const FinishOutcome outcome = Run("images\\kits");
  EXPECT_TRUE(outcome.accepted) << outcome.message;
  // Stored as typed; the build plan resolves it the same way.
  EXPECT_EQ(config::ReadValue(paths.choicesFile, "Choices-32", "Output Path"), "images\\kits");
  EXPECT_EQ(drive.List("work"), std::vector<std::string>{"keep"});
}

TEST_F(Finish, RefusesAnOutputPathTooLongForItsBuffer) {
  const FinishOutcome outcome = Run("T:\\" + std::string(300, 'o'));
  EXPECT_FALSE(outcome.accepted);
  EXPECT_NE(outcome.message.find("too long"), std::string::npos);
}

// A writable drive without room: a 1 MB file system mounted for the test (only
// root may mount, as CI does; elsewhere the test is skipped).
TEST_F(Finish, NoRoomOnAWritableDriveGivesTheSpaceMessageAndWritesOnlyTheImageKeys) {
  if (::geteuid() != 0) GTEST_SKIP() << "mounting a small file system needs root";
  const std::string small = drive.Host("small");
  std::filesystem::create_directories(small);
  if (::mount("tmpfs", small.c_str(), "tmpfs", 0, "size=1m") != 0) GTEST_SKIP() << "cannot mount a file system here";
  ::setenv("KITCOMP_DRIVES", ("t=" + drive.host() + ";s=" + small).c_str(), 1);
  win::DriveTable::Reload();
  const std::string before = drive.Read("kit/custom/engine/setup.ini");

  const FinishOutcome refused = Run("S:\\out", true, false);
  const std::string afterRefusal = drive.Read("kit/custom/engine/setup.ini");
  const std::string outputAfterRefusal = config::ReadValue(paths.choicesFile, "Choices-32", "Output Path");
  const FinishOutcome noImages = Run("S:\\out", false, false);
  ::umount(small.c_str());

  EXPECT_FALSE(refused.accepted);
  EXPECT_EQ(refused.message, LoadString(IDS_NO_SPACE));
  EXPECT_EQ(afterRefusal, before);
  EXPECT_EQ(outputAfterRefusal, "");
  // With no image asked for, nothing is needed: the probe alone decides.
  EXPECT_TRUE(noImages.accepted) << noImages.message;
  EXPECT_EQ(config::ReadValue(paths.choicesFile, "Choices-32", "Create CD"), "NO");
}

// Every refusal leaves the choices file with only the two image keys written
// (here already holding the values Finish writes, so the file must not change
// at all) and the engine setup.ini as it was, and leaves no draft behind.
struct RefusalCase {
  const char* name;
  std::string output;
  std::string choices;  // more of [Choices-32], or further sections
  const char* message;  // a part of the refusal
};
class FinishRefusal : public Finish, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(FinishRefusal, WritesNothingButTheImageKeys) {
  const RefusalCase& c = GetParam();
  drive.Write("kit/kitcomp/choices.tmp",
              "[Choices-32]\r\nCreate CD=YES\r\nCreate Download=YES\r\n"
              "Output Path=T:\\before\r\n" +
                  c.choices);
  const std::string choicesBefore = drive.Read("kit/kitcomp/choices.tmp");
  const std::string setupBefore = drive.Read("kit/custom/engine/setup.ini");
  const FinishOutcome outcome = Run(c.output);
  EXPECT_FALSE(outcome.accepted);
  EXPECT_NE(outcome.message.find(c.message), std::string::npos) << outcome.message;
  EXPECT_EQ(drive.Read("kit/kitcomp/choices.tmp"), choicesBefore);
  EXPECT_EQ(drive.Read("kit/custom/engine/setup.ini"), setupBefore);
  EXPECT_EQ(drive.List("kit/custom/engine"), std::vector<std::string>{"setup.ini"});
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FinishRefusal,
    ::testing::Values(
        // The INI layer would store the path trimmed and unquoted: Q: is checked.
        RefusalCase{"BlanksBeforeAMissingDrive", "  Q:\\out", "", "The output drive is invalid."},
        RefusalCase{"QuotesAroundAMissingDrive", "\"Q:\\out\"", "", "The output drive is invalid."},
        RefusalCase{"OnlyBlanks", "   ", "", "The output drive is invalid."},
        RefusalCase{"InsideTheStagingTree", "T:\\kit\\custom\\temptree", "",
                    "lies inside the kit's work folder T:\\kit\\custom,"},
        RefusalCase{"InsideTheWorkFolderSpelledOtherwise", "t:/KIT\\x\\..\\Custom\\", "",
                    "lies inside the kit's work folder"},
        RefusalCase{"InsideTheSourceFolder", "T:\\kit\\source\\images", "", "the kit's source folder T:\\kit\\source"},
        RefusalCase{"TheKitcompFolder", "T:\\kit\\kitcomp\\", "", "is the kit's program folder"},
        RefusalCase{"ModuleNameThatClimbsOut", "T:\\out", "[Mods-32]\r\nCalendar=..\\..\\kitcomp\\kitcomp\r\n",
                    "The component \"Calendar\" (in [Components]) names the module \"..\\..\\kitcomp\\kitcomp\", which "
                    "is not a plain file name: it contains a path separator"},
        RefusalCase{"MultimediaModuleWithADriveColon", "T:\\out", "[MMMods-32]\r\nAudio=C:audio\r\n",
                    "names the module \"C:audio\""},
        RefusalCase{"AdditionalInstallNameThatClimbsOut", "T:\\out",
                    "Include Additional Install 1=YES\r\nAdditional Install 1 Description=Tool\r\n"
                    "Additional Install 1 Filename=..\\evil\r\n",
                    "Additional install 1 would become the installer module \"..\\evil\""},
        RefusalCase{"AdditionalInstallWithoutAName", "T:\\out",
                    "Include Additional Install 2=YES\r\nAdditional Install 2 Description=Tool\r\n",
                    "Additional install 2 would become the installer module \"\", which is not a plain file name: it "
                    "is empty"},
        RefusalCase{"SettingsWriteRefused", "T:\\out",
                    "Include Additional Install 1=YES\r\nAdditional Install 1 Description=a=b\r\n"
                    "Additional Install 1 Filename=tool\r\n",
                    "could not be written to T:\\kit\\custom\\engine\\setup.ini"},
        RefusalCase{"OutputPathTooDeepForItsImages", "T:\\" + std::string(240, 'o'), "",
                    "is too long for this build: it would need the command line T:\\kit\\kitcomp\\pkgindex.exe"},
        // Staged under its own name in the staging tree.
        RefusalCase{"AnimationNameTooLongForTheStagingTree", "T:\\out",
                    "Custom Large Animation Path=T:\\in\\" + std::string(240, 'a') + ".gif\r\n",
                    "This build would need the path T:\\kit\\custom\\temptree\\program\\aaa"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Finish, BlanksAroundTheOutputPathAreNotPartOfIt) {
  drive.Write("kit/kitcomp/choices.tmp", "[Choices-32]\r\n");
  const FinishOutcome outcome = Run("  T:\\out\t ");
  ASSERT_TRUE(outcome.accepted) << outcome.message;
  EXPECT_EQ(config::ReadValue(paths.choicesFile, "Choices-32", "Output Path"), "T:\\out");
  EXPECT_EQ(drive.List("kit/custom/engine"), std::vector<std::string>{"setup.ini"});
}

// When the settings cannot replace the engine setup.ini, the output path
// written just before is taken back.
TEST_F(Finish, SettingsThatCannotBeStoredTakeTheOutputPathBack) {
  std::filesystem::remove(drive.Host("kit/custom/engine/setup.ini"));
  std::filesystem::create_directories(drive.Host("kit/custom/engine/setup.ini"));
  drive.Write("kit/kitcomp/choices.tmp", "[Choices-32]\r\nCreate CD=YES\r\nCreate Download=YES\r\n");
  const std::string before = drive.Read("kit/kitcomp/choices.tmp");
  const FinishOutcome outcome = Run("T:\\out");
  EXPECT_FALSE(outcome.accepted);
  EXPECT_NE(outcome.message.find("could not be written to T:\\kit\\custom\\engine\\setup.ini"), std::string::npos)
      << outcome.message;
  EXPECT_EQ(drive.Read("kit/kitcomp/choices.tmp"), before);
  EXPECT_EQ(drive.List("kit/custom/engine"), std::vector<std::string>{"setup.ini"});
}

TEST(FreeSpace, NeedsNothingWithoutImagesAndFailsOnAMissingDrive) {
  TempDrive drive;
  EXPECT_EQ(CheckFreeSpace("Q:\\out", false, false), 1);
  EXPECT_EQ(CheckFreeSpace("Q:\\out", true, false), 0);
  EXPECT_EQ(CheckFreeSpace("T:\\out\\deep\\er", true, true), 1);
}

TEST(Writable, ProbesWithAUniqueFileAndLeavesNothing) {
  TempDrive drive;
  drive.Write("test.fil", "a user's own file");
  EXPECT_EQ(CheckWritable("T:\\some\\deep\\output"), 1);
  EXPECT_EQ(drive.Read("test.fil"), "a user's own file");
  EXPECT_EQ(drive.List(""), std::vector<std::string>{"test.fil"});
  EXPECT_EQ(CheckWritable("Q:\\out"), 0);
}

// Root writes anywhere: the probe runs as an ordinary user ("nobody" when the
// test runs as root), on a drive root it may enter but not write.
TEST(Writable, FailsOnAReadOnlyDriveRoot) {
  TempDrive drive;
  namespace fs = std::filesystem;
  fs::permissions(drive.host(), fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                    fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
  const int status = test::RunUnprivileged([&] {
    if (::access(drive.host().c_str(), R_OK | X_OK) != 0) return 98;  // the check would prove nothing
    return CheckWritable("T:\\out");
  });
  fs::permissions(drive.host(), fs::perms::owner_all);
  EXPECT_EQ(status, 0) << "98: the drive root cannot be entered; 99: privileges could not be dropped";
}

}  // namespace
}  // namespace kc::engine
