#include <gtest/gtest.h>

#include "config/profile_access.h"
#include "engine/image_builder.h"
#include "engine_test_support.h"

using kc::test::TempDrive;

namespace kc::engine {
namespace {

class Staging : public ::testing::Test {
 protected:
  void Build(const std::string& components, const std::string& choices) {
    drive.Write("kit/custom/engine/setup.ini", "[Components]\r\n" + components);
    drive.Write("kit/kitcomp/choices.tmp", "[Choices-32]\r\n" + choices);
    builder.ReadComponentCatalogue("T:\\kit");
    builder.StageCustomizations("T:\\kit", "T:\\kit");
  }
  std::vector<std::string> FailureSteps() const {
    std::vector<std::string> steps;
    for (const Failure& f : builder.report().failures()) steps.push_back(f.step + ": " + f.reason);
    return steps;
  }
  TempDrive drive;
  config::RunPaths paths = test::MakeKit(drive);
  test::RecordingProgress progress;
  test::RecordingWindow window{progress.log};
  CImageBuilder builder{progress, window};
};

TEST_F(Staging, MakesTheStagingFoldersAndNoStepWithoutCustomizableStems) {
  Build("Calendar=cal\r\n", "");
  for (const char* folder :
       {"kit/custom/tempmod", "kit/custom/temptree/program/defaults/mail", "kit/custom/temptree/config"}) {
    EXPECT_TRUE(drive.Exists(folder)) << folder;
  }
  EXPECT_EQ(progress.Operations(),
            (std::vector<std::string>{"pos 0", "text Adding Customizations", "range 0 2", "step 1"}));
  EXPECT_TRUE(ToolRuns(drive).empty());
  EXPECT_TRUE(builder.report().ok()) << ::testing::PrintToString(FailureSteps());
}

TEST_F(Staging, PlacesCustomizationFilesAndMergesThemIntoThePrivateLumeArchive) {
  drive.Write("in/readme.txt", "custom readme");
  drive.Write("in/my.cfg", "cfg");
  drive.Write("in/anims/small.gif", "small");
  drive.Write("in/big/large.gif", "large");
  drive.Write("in/inbox", "mail");
  drive.Write("kit/custom/engine/license.txt", "left from an earlier build");
  drive.Write("kit/custom/temptree/program/defaults/pab.ab2", "earlier address book");
  Build("Main=lume\r\n",
        "Custom Readme Path=T:\\in\\readme.txt\r\nCustom CFG Path=T:\\in\\my.cfg\r\nCustom Inbox Path=T:\\in\\inbox\r\n"
        "Custom Small Animation Path=T:\\in\\anims\\small.gif\r\nCustom Large Animation Path=T:\\in\\big\\large.gif\r\n"
        "Overwrite CFG=yes\r\n");
  EXPECT_EQ(drive.Read("kit/custom/engine/readme.txt"), "custom readme");
  EXPECT_FALSE(drive.Exists("kit/custom/engine/license.txt"));
  EXPECT_FALSE(drive.Exists("kit/custom/temptree/program/defaults/pab.ab2"));
  EXPECT_EQ(drive.Read("kit/custom/temptree/config/velomark.cfg"), "cfg");
  EXPECT_EQ(drive.Read("kit/custom/temptree/program/defaults/mail/inbox"), "mail");
  EXPECT_EQ(drive.Read("kit/custom/temptree/program/small.gif"), "small");
  EXPECT_EQ(drive.Read("kit/custom/temptree/program/large.gif"), "large");
  EXPECT_EQ(drive.Read("kit/custom/tempmod/lume.z"), "archive lume");
  // "yes" is not "YES": the configuration file is kept where it exists.
  EXPECT_EQ(config::ReadValue("T:\\kit\\custom\\tempmod\\lume.ini", "CompressGet-CG5", "Options"),
            "INCLUDE_SUBDIR|LOCKEDFILE|NOTEXIST");

  const auto runs = ToolRuns(drive);
  ASSERT_EQ(runs.size(), 2u);
  // Started from the kitcomp folder whatever the current directory was.
  EXPECT_EQ(runs[0], (std::vector<std::string>{"squash.exe", drive.Host("kit/kitcomp"), "-i", "-o", "-sh",
                                               "T:\\kit\\custom\\temptree\\*.*", "T:\\kit\\custom\\tempmod\\lume.z"}));
  EXPECT_EQ(runs[1], (std::vector<std::string>{"squash.exe", drive.Host("kit/kitcomp"), "-i", "-o", "-sh",
                                               "T:\\kit\\custom\\temptree\\config\\velomark.cfg",
                                               "T:\\kit\\custom\\tempmod\\lume.z", "CONFIG"}));
  EXPECT_EQ(progress.Count("stepit"), 2);
  EXPECT_TRUE(builder.report().ok()) << ::testing::PrintToString(FailureSteps());
}

TEST_F(Staging, RepaintsAfterTheAddressBookTheSecurityFilesEachAnimationAndEachTool) {
  drive.Write("extra/viewer.exe", "exe");
  drive.Write("in/small.gif", "small");
  Build("Viewer=viewer\r\nMain=lume\r\n",
        "Include Additional Install 1=YES\r\nAdditional Install 1 Path=T:\\extra\\viewer.exe\r\n"
        "Additional Install 1 Filename=viewer\r\nAdditional Install 1 Description=Viewer\r\n"
        "Custom Small Animation Path=T:\\in\\small.gif\r\n");
  const std::string paint = "paint progress";
  const std::string main = "paint main";
  EXPECT_EQ(progress.log, (std::vector<std::string>{
                              "pos 0",     "text Adding Customizations",
                              "range 0 4", "step 1",
                              paint,       main,
                              "stepit",           // the additional installer's archive
                              paint,       main,  // after the address book
                              paint,       main,  // after the security files
                              paint,       main,  // after the small animation
                              paint,       main,
                              "stepit",  // the private copy of lume.z
                              paint,       main,
                              "stepit",  // after the merge
                          }));
  EXPECT_TRUE(builder.report().ok()) << ::testing::PrintToString(FailureSteps());
}

TEST_F(Staging, OverwriteCfgExactlyYesDropsNotExist) {
  Build("Main=lume\r\n", "Overwrite CFG=YES\r\n");
  EXPECT_EQ(config::ReadValue("T:\\kit\\custom\\tempmod\\lume.ini", "CompressGet-CG5", "Options"),
            "INCLUDE_SUBDIR|LOCKEDFILE");
  // No configuration file staged: nothing to mark CONFIG.
  EXPECT_EQ(ToolRuns(drive).size(), 1u);
}

// A package at a drive root: only its own files are merged, with its label,
// and "vue" merges the same folder after it; the drive's folders are not.
TEST_F(Staging, AccountSetupPackageShipsOnlyTheFilesDirectlyInItsFolder) {
  drive.Write("main.htm", "main");
  drive.Write("dialup.ini", "dial");
  drive.Write("documents/private.txt", "a user's own file");
  Build("AS=as\r\nViewer=vue\r\n", "Custom Account Setup Path=T:\\main.htm\r\n");
  EXPECT_EQ(drive.List("kit/custom/tempmod/account"), (std::vector<std::string>{"dialup.ini", "main.htm"}));
  const auto runs = ToolRuns(drive);
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_EQ(runs[0], (std::vector<std::string>{"squash.exe", drive.Host("kit/kitcomp"), "-i", "-o", "-sh",
                                               "T:\\kit\\custom\\tempmod\\account\\*.*",
                                               "T:\\kit\\custom\\tempmod\\as.z", "asw"}));
  EXPECT_EQ(runs[1][5], "T:\\kit\\custom\\tempmod\\account\\*.*");
  EXPECT_EQ(progress.Count("stepit"), 4);
  EXPECT_TRUE(builder.report().ok()) << ::testing::PrintToString(FailureSteps());
}

// A cleared inbox and an animation replaced by one of another name leave
// nothing of the first build in the staging tree of the second.
TEST_F(Staging, EachBuildStagesIntoAnEmptyTree) {
  drive.Write("in/inbox", "mail");
  drive.Write("in/first.gif", "first");
  drive.Write("in/second.gif", "second");
  Build("Main=lume\r\n", "Custom Inbox Path=T:\\in\\inbox\r\nCustom Small Animation Path=T:\\in\\first.gif\r\n");
  ASSERT_TRUE(drive.Exists("kit/custom/temptree/program/defaults/mail/inbox"));
  drive.Write("kit/custom/temptree/program/defaults/mail/deep/er/left.txt", "deeper than one level");

  CImageBuilder second{progress, window};
  drive.Write("kit/kitcomp/choices.tmp", "[Choices-32]\r\nCustom Small Animation Path=T:\\in\\second.gif\r\n");
  second.ReadComponentCatalogue("T:\\kit");
  second.StageCustomizations("T:\\kit", "T:\\kit");
  EXPECT_TRUE(drive.List("kit/custom/temptree/program/defaults/mail").empty());
  EXPECT_EQ(drive.List("kit/custom/temptree/program"), (std::vector<std::string>{"defaults", "second.gif"}));
  EXPECT_TRUE(second.report().ok());
}

TEST_F(Staging, AnEmptyStagingFolderMergesNothing) {
  Build("Viewer=vue\r\nAS=as\r\n", "");
  EXPECT_TRUE(ToolRuns(drive).empty());
  EXPECT_EQ(drive.Read("kit/custom/tempmod/vue.z"), "archive vue");
  EXPECT_EQ(progress.Count("stepit"), 4);
}

TEST_F(Staging, AdditionalInstallBecomesAModuleWithItsSettings) {
  drive.Write("extra/viewer.beta.exe", "exe");
  Build("Viewer=viewer\r\n",
        "Include Additional Install 2=YES\r\nAdditional Install 2 Path=T:\\extra\\viewer.beta.exe\r\n"
        "Additional Install 2 Filename=viewer\r\nAdditional Install 2 Description=Document Viewer\r\n"
        "Additional Install 2 Size=1234\r\nInclude Additional Install 1=NO\r\n");
  const auto runs = ToolRuns(drive);
  ASSERT_EQ(runs.size(), 1u);
  // squash stores the file under its own name: a copy named as the settings
  // file says, not "viewer.beta.exe".
  EXPECT_EQ(runs[0], (std::vector<std::string>{"squash.exe", drive.Host("kit/kitcomp"),
                                               "T:\\kit\\custom\\tempmod\\install2\\viewer.exe",
                                               "T:\\kit\\source\\modules\\viewer.z"}));
  EXPECT_EQ(drive.Read("kit/custom/tempmod/install2/viewer.exe"), "exe");
  const std::string ini = "T:\\kit\\source\\modules\\viewer.ini";
  EXPECT_EQ(config::ReadValue(ini, "Defaults", "Name"), "x");  // the template's own keys stay
  EXPECT_EQ(config::ReadValue(ini, "CompressGet-CG0", "TargetFiles"), "viewer.exe");
  EXPECT_EQ(config::ReadValue(ini, "Delete Files-File0", "Filename"), "viewer.exe");
  EXPECT_EQ(config::ReadValue(ini, "Additional Configuration-AC0", "Filename"), "viewer.exe");
  EXPECT_EQ(config::ReadValue(ini, "Defaults", "Size"), "1234");
  EXPECT_EQ(config::ReadValue(ini, "Defaults", "Installation String"), "Installing Document Viewer files...");
  EXPECT_EQ(config::ReadValue(ini, "Defaults", "Configuration String"), "Configuring Document Viewer files...");
  EXPECT_EQ(config::ReadValue(ini, "Defaults", "File Copy String"), "Copying Document Viewer files...");
  const std::string text = drive.Read("kit/source/modules/viewer.ini");
  EXPECT_LT(text.find("Size="), text.find("Installation String="));
  EXPECT_EQ(progress.Count("stepit"), 1);
}

struct CollisionCase {
  const char* name;
  const char* filename1;
  const char* filename2;  // "" when slot 2 is not included
  int refused;
};
class Collisions : public Staging, public ::testing::WithParamInterface<CollisionCase> {};

TEST_P(Collisions, CollidingInstallersAreReportedAndNotStaged) {
  drive.Write("extra/a.exe", "a");
  std::string choices =
      "Include Additional Install 1=YES\r\nAdditional Install 1 Path=T:\\extra\\a.exe\r\n"
      "Additional Install 1 Filename=" +
      std::string(GetParam().filename1) + "\r\n";
  if (*GetParam().filename2 != '\0') {
    choices +=
        "Include Additional Install 2=YES\r\nAdditional Install 2 Path=T:\\extra\\a.exe\r\n"
        "Additional Install 2 Filename=" +
        std::string(GetParam().filename2) + "\r\n";
  }
  const std::string lumeArchive = drive.Read("kit/source/modules/lume.z");
  Build("", choices);
  EXPECT_EQ(static_cast<int>(builder.report().failures().size()) - 1 /* empty catalogue */, GetParam().refused);
  int squashRuns = static_cast<int>(ToolRuns(drive).size());
  EXPECT_EQ(squashRuns, (*GetParam().filename2 != '\0' ? 2 : 1) - GetParam().refused);
  EXPECT_EQ(drive.Read("kit/source/modules/lume.z"), lumeArchive);
  EXPECT_FALSE(drive.Exists("kit/source/modules/setup.ini"));
  EXPECT_FALSE(drive.Exists("kit/kitcomp/kitcomp.z"));
}

INSTANTIATE_TEST_SUITE_P(Cases, Collisions,
                         ::testing::Values(CollisionCase{"DistinctNames", "viewer", "tools", 0},
                                           CollisionCase{"SameNameInBothSlots", "setupx", "SETUPX", 2},
                                           CollisionCase{"NameOfTheInstallersOwnFile", "setup", "", 1},
                                           CollisionCase{"NameOfADeliveredModule", "lume", "", 1},
                                           CollisionCase{"NameOfAModuleInTheKitLists", "Cal", "", 1},
                                           CollisionCase{"NameOfTheTemplate", "addinst", "", 1},
                                           CollisionCase{"NameThatClimbsOutOfTheModules", "..\\..\\kitcomp\\kitcomp",
                                                         "", 1}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Staging, TwoAnimationsOfTheSameNameAreReported) {
  drive.Write("a/anim.gif", "small");
  drive.Write("b/ANIM.gif", "large");
  Build("Main=lume\r\n",
        "Custom Small Animation Path=T:\\a\\anim.gif\r\nCustom Large Animation Path=T:\\b\\ANIM.gif\r\n");
  ASSERT_EQ(builder.report().failures().size(), 1u);
  EXPECT_NE(builder.report().failures()[0].reason.find("replaces"), std::string::npos);
}

TEST_F(Staging, MissingCustomFileAndFailingToolAreReported) {
  test::KitOptions options;
  options.failingTool = "squash.exe";
  test::MakeKit(drive, options);
  Build("Main=lume\r\n", "Custom Bookmark Path=T:\\nowhere\\bookmark.htm\r\n");
  const auto steps = FailureSteps();
  ASSERT_EQ(steps.size(), 2u) << ::testing::PrintToString(steps);
  EXPECT_NE(steps[0].find("Could not copy"), std::string::npos);
  EXPECT_NE(steps[1].find("exit status 3: stand-in failure"), std::string::npos);
}

}  // namespace
}  // namespace kc::engine
