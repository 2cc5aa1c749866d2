#include "engine/build_plan.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "config/profile_access.h"
#include "engine/script_generation.h"
#include "engine_test_support.h"
#include "platform/files.h"

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
  EXPECT_EQ(Stages(), (std::vector<std::string>{"Adding Customizations", "Creating CD image", "Creating disk image",
                                                "Creating Network image"}));
  EXPECT_EQ(drive.List("out/kits"), (std::vector<std::string>{"CD", "disk", "network"}));
  ASSERT_EQ(report.images().size(), 3u);
  EXPECT_EQ(report.images()[1].kind, "disk");
  EXPECT_EQ(progress.log.front(), "paint main");
  EXPECT_EQ(progress.log.back(), "completion");
  EXPECT_TRUE(report.ok()) << report.failures()[0].reason;
}

TEST_F(Plan, RepaintsTheMainWindowAfterEachEngineCallOfALocalBuild) {
  Run("Create Disks=YES\r\n");
  const std::vector<std::string> head(progress.log.begin(), progress.log.begin() + 8);
  EXPECT_EQ(head, (std::vector<std::string>{"paint main",  // before anything
                                            "paint main",  // after the catalogue
                                            "pos 0", "text Adding Customizations", "range 0 2", "step 1",
                                            "paint main",  // after the staging
                                            "pos 0"}));    // the disk image's stage
  const std::vector<std::string> tail(progress.log.end() - 3, progress.log.end());
  EXPECT_EQ(tail, (std::vector<std::string>{"stepit",      // the disk image's last step
                                            "paint main",  // after the disk image
                                            "completion"}));
}

TEST_F(Plan, EndUserImagesOfANetworkBuildAreNotFollowedByARepaint) {
  Run("NetOrLocal=Net\r\nCreate Disks=YES\r\n");
  // The administrator CD ends with its last step and one repaint of the main
  // window, then its package list is made again (two repaints); the end user's
  // disk image follows at once, and its last step is followed by the completion.
  const auto disk = std::find(progress.log.begin(), progress.log.end(), "text Creating disk image");
  ASSERT_NE(disk, progress.log.end());
  EXPECT_EQ(std::vector<std::string>(disk - 7, disk),
            (std::vector<std::string>{"stepit", "paint main", "paint progress", "paint main", "paint progress",
                                      "paint main", "pos 0"}));
  EXPECT_EQ(std::vector<std::string>(progress.log.end() - 2, progress.log.end()),
            (std::vector<std::string>{"stepit", "completion"}));
  EXPECT_TRUE(drive.Exists("out/kits/end_user/disk"));
  // Listed once before the administrator's settings are written, once after.
  int adminListings = 0;
  for (const auto& run : ToolRuns(drive)) adminListings += run.back() == "T:\\out\\kits\\administrator\\CD\\setup.lst";
  EXPECT_EQ(adminListings, 2);
}

TEST_F(Plan, RequestsCountOnlyWhenExactlyYesAndNetInLowerCaseIsLocal) {
  const BuildReport report = Run("NetOrLocal=net\r\nCreate CD=yes\r\nCreate Disks=YES\r\nCreate Download=NO\r\n");
  EXPECT_EQ(drive.List("out/kits"), std::vector<std::string>{"disk"});
  EXPECT_EQ(Stages(), (std::vector<std::string>{"Adding Customizations", "Creating disk image"}));
  EXPECT_EQ(progress.log.back(), "completion");
}

TEST_F(Plan, NetworkInstallerBuildsTheAdministratorCdFirstAndAdjustsItsSettings) {
  Run("NetOrLocal=Net\r\nCreate CD=YES\r\nCreate Disks=YES\r\nCreate Download=YES\r\n");
  EXPECT_EQ(drive.List("out/kits"), (std::vector<std::string>{"administrator", "end_user"}));
  EXPECT_EQ(drive.List("out/kits/end_user"), (std::vector<std::string>{"CD", "disk", "network"}));
  EXPECT_EQ(Stages(), (std::vector<std::string>{"Adding Customizations", "Creating CD image", "Creating CD image",
                                                "Creating disk image", "Creating Network image"}));
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

// The section Finish checked and stored decides where the images go, which
// ones, and whether the installer is a network one; an empty output path builds
// nothing, so a \CD at the drive root stays.
struct SectionCase {
  const char* name;
  std::string choices;
  const char* finishOutput;  // Finish runs first with this path and the CD box; nullptr: the plan alone
  std::vector<std::string> images;
  const char* failure;  // "" for none
};
class PlanSection : public Plan, public ::testing::WithParamInterface<SectionCase> {};

TEST_P(PlanSection, BuildsWhatFinishCheckedAndStored) {
  const SectionCase& c = GetParam();
  drive.Write("CD/keep.txt", "a user's file at the drive root");
  drive.Write("kit/custom/engine/setup.ini", "[Components]\r\nCalendar=cal\r\n");
  drive.Write("kit/kitcomp/choices.tmp", c.choices);
  if (c.finishOutput != nullptr) {
    const FinishOutcome finish = FinishInstallerScript(paths, {c.finishOutput, true, false});
    ASSERT_TRUE(finish.accepted) << finish.message;
  }
  const BuildReport report = RunBuildPlan(paths, progress, window, {});
  std::vector<std::string> built;
  for (const ImageResult& image : report.images()) built.push_back(image.directory);
  EXPECT_EQ(built, c.images);
  if (*c.failure == '\0') {
    EXPECT_TRUE(report.ok()) << report.failures()[0].step << ": " << report.failures()[0].reason;
  } else {
    ASSERT_EQ(report.failures().size(), 1u);
    EXPECT_EQ(report.failures()[0].reason, c.failure);
  }
  EXPECT_EQ(drive.List("CD"), std::vector<std::string>{"keep.txt"});
  // The flow agrees with the "Mode" Finish wrote into the installer's settings.
  if (c.finishOutput != nullptr) {
    const bool network = built[0].find("administrator") != std::string::npos;
    const std::string lastCd = network ? built[1] : built[0];
    EXPECT_EQ(config::ReadValue(lastCd + "\\setup.ini", "Network Install", "Mode"), network ? "End User" : "Admin");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PlanSection,
    ::testing::Values(
        SectionCase{"SixteenBitWithOutputPathsInBothSections",
                    "[Global]\r\nPlatform=16\r\n[Choices-16]\r\nCreate Disks=YES\r\n"
                    "[Choices-32]\r\nOutput Path=T:\\thirtytwo\r\nCreate Download=YES\r\n",
                    "T:\\sixteen",
                    {"T:\\sixteen\\CD", "T:\\sixteen\\disk"},
                    ""},
        SectionCase{"SixteenBitWithoutOutputPathInChoices32",
                    "[Global]\r\nPlatform=16\r\n[Choices-32]\r\nCreate CD=YES\r\n",
                    "T:\\sixteen",
                    {"T:\\sixteen\\CD"},
                    ""},
        SectionCase{"SixteenBitNetworkInstallerIsTheOneOfChoices16",
                    "[Global]\r\nPlatform=16\r\n[Choices-16]\r\nNetOrLocal=Net\r\n[Choices-32]\r\nNetOrLocal=Local\r\n",
                    "T:\\sixteen",
                    {"T:\\sixteen\\administrator\\CD", "T:\\sixteen\\end_user\\CD"},
                    ""},
        SectionCase{"SixteenBitLocalInstallerWhateverChoices32Says",
                    "[Global]\r\nPlatform=16\r\n[Choices-32]\r\nNetOrLocal=Net\r\n",
                    "T:\\sixteen",
                    {"T:\\sixteen\\CD"},
                    ""},
        SectionCase{"EmptyOutputPathBuildsNothing",
                    "[Choices-32]\r\nCreate CD=YES\r\nNetOrLocal=Net\r\n",
                    nullptr,
                    {},
                    "No output path is set. No image was built."}),
    [](const auto& info) { return std::string(info.param.name); });

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
