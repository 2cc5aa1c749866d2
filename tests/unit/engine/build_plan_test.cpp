#include "engine/build_plan.h"

#include <gtest/gtest.h>

#include "config/profile_access.h"
#include "platform/files.h"
#include "engine_test_support.h"

using kc::test::TempDrive;

namespace kc::engine {
namespace {

class Plan : public ::testing::Test {
 protected:
  BuildReport Run(const std::string& choices) {
    drive.Write("kit/custom/engine/setup.ini", "[Components]\r\nCalendar=cal\r\n");
    drive.Write("kit/kitcomp/choices.tmp", "[Choices-32]\r\nOutput Path=T:\\out\\kits\r\n" + choices);
    return RunBuildPlan(paths, progress, window, [&](const BuildReport&) { progress.log.push_back("completion"); });
  }
  // The stage texts in the order they were set.
  std::vector<std::string> Stages() const {
    std::vector<std::string> stages;
    for (const std::string& entry : progress.log) {
      if (entry.rfind("text ", 0) == 0) stages.push_back(entry.substr(5));
    }
    return stages;
  }
  TempDrive drive;
  config::RunPaths paths = test::MakeKit(drive);
  test::RecordingProgress progress;
  test::RecordingWindow window{progress.log};
};

TEST_F(Plan, LocalInstallerBuildsTheRequestedImagesInOrder) {
  const BuildReport report = Run("Create CD=YES\r\nCreate Disks=YES\r\nCreate Download=YES\r\n");
  EXPECT_EQ(Stages(), (std::vector<std::string>{"Adding Customizations", "Creating CD image", "Creating Network image"}));
  EXPECT_EQ(drive.List("out/kits"), (std::vector<std::string>{"CD", "disk", "network"}));
  ASSERT_EQ(report.images().size(), 3u);
  EXPECT_EQ(report.images()[1].kind, "disk");
  EXPECT_EQ(progress.log.front(), "paint main");
  EXPECT_EQ(progress.log.back(), "completion");
  EXPECT_TRUE(report.ok()) << report.failures()[0].reason;
}

TEST_F(Plan, RepaintsTheMainWindowAfterEachEngineCallOfALocalBuild) {
  Run("Create Disks=YES\r\n");
  EXPECT_EQ(progress.log, (std::vector<std::string>{"paint main",  // before anything
                                                    "paint main",  // after the catalogue
                                                    "pos 0", "text Adding Customizations", "range 0 2", "step 1",
                                                    "paint main",  // after the staging
                                                    "paint main",  // after the disk image
                                                    "completion"}));
}

TEST_F(Plan, EndUserImagesOfANetworkBuildAreNotFollowedByARepaint) {
  Run("NetOrLocal=Net\r\nCreate Disks=YES\r\n");
  // The administrator CD ends with its last step and one repaint of the main
  // window; the end user's disk image adds nothing before the completion.
  const std::vector<std::string> tail(progress.log.end() - 3, progress.log.end());
  EXPECT_EQ(tail, (std::vector<std::string>{"stepit", "paint main", "completion"}));
  EXPECT_TRUE(drive.Exists("out/kits/end_user/disk"));
}

TEST_F(Plan, RequestsCountOnlyWhenExactlyYesAndNetInLowerCaseIsLocal) {
  const BuildReport report = Run("NetOrLocal=net\r\nCreate CD=yes\r\nCreate Disks=YES\r\nCreate Download=NO\r\n");
  EXPECT_EQ(drive.List("out/kits"), std::vector<std::string>{"disk"});
  EXPECT_EQ(Stages(), std::vector<std::string>{"Adding Customizations"});
  EXPECT_EQ(progress.log.back(), "completion");
}

TEST_F(Plan, NetworkInstallerBuildsTheAdministratorCdFirstAndAdjustsItsSettings) {
  Run("NetOrLocal=Net\r\nCreate CD=YES\r\nCreate Disks=YES\r\nCreate Download=YES\r\n");
  EXPECT_EQ(drive.List("out/kits"), (std::vector<std::string>{"administrator", "end_user"}));
  EXPECT_EQ(drive.List("out/kits/end_user"), (std::vector<std::string>{"CD", "disk", "network"}));
  EXPECT_EQ(Stages(), (std::vector<std::string>{"Adding Customizations", "Creating CD image", "Creating CD image",
                                                "Creating Network image"}));
  const std::string adminSetup = drive.Read("out/kits/administrator/CD/setup.ini");
  EXPECT_EQ(adminSetup,
            "[Components]\r\nCalendar=cal\r\n[Network Install]\r\nMode=Admin\r\n[Product Defaults]\r\n"
            "Show Dialogs=YES\r\nShow SetupType Dialog=YES\r\nShow Readme Dialog=YES\r\nShow License Dialog=YES\r\n"
            "Show Path Dialog=YES\r\nShow Options Dialog=YES\r\nShow Associations Dialog=YES\r\n"
            "Show Select Folder Dialog=YES\r\nShow StartCopy Dialog=YES\r\nShow Finish Dialog=YES\r\n");
  // The end user's settings are untouched.
  EXPECT_EQ(drive.Read("out/kits/end_user/CD/setup.ini"), "[Components]\r\nCalendar=cal\r\n");
}

TEST_F(Plan, NetworkInstallerWithoutRequestsStillGetsTheAdministratorCd) {
  Run("NetOrLocal=Net\r\nCreate CD=NO\r\nCreate Disks=NO\r\nCreate Download=NO\r\n");
  EXPECT_EQ(drive.List("out/kits"), std::vector<std::string>{"administrator"});
  EXPECT_EQ(config::ReadValue("T:\\out\\kits\\administrator\\CD\\setup.ini", "Network Install", "Mode"), "Admin");
}

TEST_F(Plan, RelativeOutputPathKeepsEveryImageInOneTreeBelowTheStartingDirectory) {
  drive.Write("work/keep", "");
  ASSERT_TRUE(win::SetCurrentDirectoryA("T:\\work"));
  drive.Write("kit/custom/engine/setup.ini", "[Components]\r\nCalendar=cal\r\n");
  drive.Write("kit/kitcomp/choices.tmp",
              "[Choices-32]\r\nOutput Path=images\\kits\r\nNetOrLocal=Net\r\nCreate CD=YES\r\nCreate Disks=YES\r\n");
  const BuildReport report = RunBuildPlan(paths, progress, window, {});
  // The image assembly moves to the kitcomp directory; the images stay where
  // the output path named them when the build began.
  EXPECT_EQ(drive.List("work/images/kits"), (std::vector<std::string>{"administrator", "end_user"}));
  EXPECT_EQ(drive.List("work/images/kits/end_user"), (std::vector<std::string>{"CD", "disk"}));
  EXPECT_EQ(config::ReadValue("T:\\work\\images\\kits\\administrator\\CD\\setup.ini", "Network Install", "Mode"),
            "Admin");
  EXPECT_FALSE(drive.Exists("kit/kitcomp/images"));
  ASSERT_FALSE(report.images().empty());
  EXPECT_EQ(report.images()[0].directory, "T:\\work\\images\\kits\\administrator\\CD");
  EXPECT_TRUE(report.ok()) << report.failures()[0].step << ": " << report.failures()[0].reason;
}

TEST_F(Plan, OutputPathWithForwardSlashesIsCreatedLevelByLevel) {
  drive.Write("kit/custom/engine/setup.ini", "[Components]\r\nCalendar=cal\r\n");
  drive.Write("kit/kitcomp/choices.tmp", "[Choices-32]\r\nOutput Path=T:/deep/er/kits\r\nCreate Disks=YES\r\n");
  const BuildReport report = RunBuildPlan(paths, progress, window, {});
  EXPECT_TRUE(drive.Exists("deep/er/kits/disk"));
  EXPECT_TRUE(report.ok()) << report.failures()[0].step << ": " << report.failures()[0].reason;
}

TEST_F(Plan, AnOutputPathThatIsAFileIsOneFailureAndNoImage) {
  drive.Write("out/kits", "a file where the folder should be");
  const BuildReport report = Run("Create CD=YES\r\nCreate Disks=YES\r\nCreate Download=YES\r\n");
  ASSERT_EQ(report.failures().size(), 1u);
  EXPECT_EQ(report.failures()[0].file, "T:\\out\\kits");
  EXPECT_EQ(report.failures()[0].reason, "It is a file, not a folder. No image was built.");
  EXPECT_TRUE(report.images().empty());
  EXPECT_EQ(drive.Read("out/kits"), "a file where the folder should be");
  // The staging still ran, and the completion is still shown.
  EXPECT_EQ(Stages(), std::vector<std::string>{"Adding Customizations"});
  EXPECT_EQ(progress.log.back(), "completion");
}

TEST_F(Plan, PlatformSixteenDoesNotChangeTheSectionRead) {
  drive.Write("kit/custom/engine/setup.ini", "[Components]\r\nCalendar=cal\r\n");
  drive.Write("kit/kitcomp/choices.tmp",
              "[Global]\r\nPlatform=16\r\n[Choices-16]\r\nCreate Disks=NO\r\nOutput Path=T:\\sixteen\r\n"
              "[Choices-32]\r\nCreate Disks=YES\r\nOutput Path=T:\\thirtytwo\r\n");
  RunBuildPlan(paths, progress, window, {});
  EXPECT_TRUE(drive.Exists("thirtytwo/disk"));
  EXPECT_FALSE(drive.Exists("sixteen"));
}

TEST_F(Plan, FailuresOfTheStepsAreCollectedAndTheCompletionStillRuns) {
  drive.Write("kit/custom/engine/setup.ini", "[Components]\r\nGhost=ghost\r\n");
  drive.Write("kit/kitcomp/choices.tmp", "[Choices-32]\r\nOutput Path=T:\\out\r\nCreate CD=YES\r\n");
  bool completed = false;
  const BuildReport report = RunBuildPlan(paths, progress, window, [&](const BuildReport& r) {
    completed = true;
    EXPECT_FALSE(r.ok());
  });
  EXPECT_TRUE(completed);
  ASSERT_EQ(report.failures().size(), 2u);  // the archive and the settings file of "ghost"
  EXPECT_EQ(report.failures()[0].file, "T:\\kit\\source\\modules\\ghost.z");
}

}  // namespace
}  // namespace kc::engine
