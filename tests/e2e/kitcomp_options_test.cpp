// kitcomp build's output options and --set, and kitcomp check, run as a user
// runs them on a copy of the sample kit.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "config/profile_access.h"
#include "e2e_support.h"
#include "support/row_names.h"

namespace kc::e2e {
namespace {

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// ---- What goes where: standard output, standard error, the log ----

struct StreamCase {
  const char* arguments;
  int status;
  const char* out;  // a part of standard output; "" for none at all
  const char* err;  // a part of standard error; "" for none at all
  const char* why;
};

class BuildStreams : public ::testing::TestWithParam<StreamCase> {};

TEST_P(BuildStreams, SummaryOnOutputFailuresAndRefusalsOnError) {
  const StreamCase& c = GetParam();
  KitCopy kit;
  kit.Write("taken", "a file where the output folder should be");
  const KitCopy::Streams run = kit.Run("build", c.arguments);
  EXPECT_EQ(run.status, c.status) << c.why << "\n" << run.out << run.err;
  for (auto [stream, expected, name] : {std::tuple{&run.out, c.out, "stdout"}, std::tuple{&run.err, c.err, "stderr"}}) {
    if (*expected == '\0') {
      EXPECT_EQ(*stream, "") << c.why << ": " << name << " should be empty";
    } else {
      EXPECT_TRUE(Has(*stream, expected)) << c.why << ": " << name << " lacks \"" << expected << "\":\n" << *stream;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BuildStreams,
    ::testing::Values(
        StreamCase{"--quiet", 0, "", "", "--quiet says nothing at all when the build succeeds"},
        StreamCase{"", 0, "Your installation creation is complete.", "", "a clean build writes nothing on stderr"},
        StreamCase{"--no-download --no-cd --verbose", 0, "  running in T:\\kit\\kitcomp: pkgindex.exe", "",
                   "--verbose shows each tool's command line"},
        StreamCase{"--output 'T:\\taken'", 1, "The installation creation failed.",
                   "1 step failed:\n  Creating the output path: T:\\taken",
                   "the verdict on stdout, the failed steps on stderr"},
        StreamCase{"--quiet --output 'T:\\taken'", 1, "", "Creating the output path: T:\\taken",
                   "--quiet still shows failures"},
        StreamCase{"--quiet --output 'Q:\\images'", 2, "", "kitcomp: The output drive is invalid.",
                   "--quiet still shows refusals"},
        StreamCase{"--quiet --verbose", 2, "", "--quiet excludes --verbose", "the two cannot go together"}),
    kc::test::ByWhy{});

TEST(BuildLog, HoldsEveryStageEveryToolAndTheSummaryWhateverTheTerminalShows) {
  KitCopy kit;
  const KitCopy::Streams quiet = kit.Run("build", "--quiet --log '" + kit.Host("build.log") + "'");
  ASSERT_EQ(quiet.status, 0) << quiet.err;
  EXPECT_EQ(quiet.out, "");
  const std::string log = kit.Read("build.log");
  for (const char* part :
       {"Adding Customizations [", "Creating CD image [", "Creating disk image [", "Creating Network image [",
        "  running in T:\\kit\\kitcomp: sfxmaker.exe", "  running in T:\\kit\\kitcomp: squash.exe",
        "Images:\n  CD image in T:\\out\\CD (", "Your installation creation is complete.\n"}) {
    EXPECT_TRUE(Has(log, part)) << part << " is not in the log:\n" << log;
  }
  // Every tool line follows the line of the stage it belongs to.
  EXPECT_LT(log.find("Creating Network image ["), log.find("sfxmaker.exe"));

  // A refused build logs its refusal; a log that cannot be written is refused
  // before anything is built.
  std::filesystem::remove_all(kit.Host("out"));
  const KitCopy::Streams refused = kit.Run("build", "--output 'Q:\\x' --log 'T:\\refused.log'");
  EXPECT_EQ(refused.status, 2);
  EXPECT_EQ(kit.Read("refused.log"), "kitcomp: The output drive is invalid.\n");
  const KitCopy::Streams nowhere = kit.Run("build", "--log 'T:\\no\\such\\folder\\build.log'");
  EXPECT_EQ(nowhere.status, 2);
  EXPECT_TRUE(Has(nowhere.err, "the folder T:\\no\\such\\folder of the log")) << nowhere.err;
  EXPECT_FALSE(std::filesystem::exists(kit.Host("out/CD")));
}

// ---- --set ----

struct SetCase {
  const char* arguments;
  int status;
  const char* file;      // below the kit copy's root, read after the build
  const char* contains;  // in that file; with a status of 2, in stderr
  const char* why;
};

class SetAnswers : public ::testing::TestWithParam<SetCase> {};

TEST_P(SetAnswers, ReachTheImagesThroughThePagesChecks) {
  const SetCase& c = GetParam();
  KitCopy kit;
  std::filesystem::copy(kit.Host("kit/samples/extras/viewer.exe"), kit.Host("kit/samples/extras/tool.beta.exe"));
  const KitCopy::Streams run = kit.Run("build", std::string("--no-download ") + c.arguments);
  EXPECT_EQ(run.status, c.status) << c.why << "\n" << run.out << run.err;
  const std::string text = c.status == 2 ? run.err : kit.Read(c.file);
  EXPECT_TRUE(Has(text, c.contains)) << c.why << ": \"" << c.contains << "\" not in\n" << text;
  if (c.status == 2) {
    EXPECT_FALSE(std::filesystem::exists(kit.Host("out/CD"))) << c.why;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SetAnswers,
    ::testing::Values(
        SetCase{"--set 'Program Folder=Ops Tools'", 0, "out/CD/setup.ini", "Program Folder=Ops Tools\r\n",
                "a text answer reaches the installer's settings"},
        SetCase{"--set '[Mods-32]Extra Fonts=' --set '[Mods-32]Calendar=cal'", 0, "kit/kitcomp/choices.tmp",
                "[Mods-32]\r\nAccount Setup=as\r\nVue Page Viewer=vue\r\nCalendar=cal\r\nChat=chat",
                "an empty component value removes it, as << does; a known one is recorded"},
        SetCase{"--set 'Include Additional Install 2=YES' --set "
                "'Additional Install 2 Path=T:\\kit\\samples\\extras\\tool.beta.exe  ' "
                "--set 'Additional Install 2 Description=Tool' --set 'Additional Install 2 Size=10'",
                0, "out/CD/setup.ini", "Tool=tool\r\n",
                "the additional installs page trims the path and derives the module name"},
        SetCase{"--set 'Custom Account Setup Path=T:\\kit\\samples\\dialup'", 0, "kit/kitcomp/choices.tmp",
                "Custom Account Setup Path=T:\\kit\\samples\\dialup\\main.htm\r\n",
                "the dial-up folder is stored as the path of its main.htm"},
        SetCase{"--set 'Product Path=C:/apps'", 2, "",
                "kitcomp: Path Options: --set \"Product Path=C:/apps\": The base path is invalid.",
                "the path rule refuses it"},
        SetCase{"--set 'Create CD=yes'", 2, "", "the page stores \"YES\" or \"NO\"",
                "a check box takes only the words its page writes"},
        SetCase{"--set 'Custom Account Setup Path=T:\\kit\\samples\\custom'", 2, "",
                "The Custom Dial-Up package folder is invalid.", "a package folder without main.htm is refused"},
        SetCase{"--set '[Mods-32]Audio Player=audio'", 2, "", "records \"Audio Player\" in [MMMods-32]",
                "a multimedia component is not an ordinary module"},
        SetCase{"--set 'Program Folda=x'", 2, "", "--force-set writes it all the same", "a misspelt key is refused"},
        SetCase{"--force-set --set 'Program Folda=x'", 0, "kit/kitcomp/choices.tmp", "Program Folda=x\r\n",
                "forced, an unknown key is written as given"},
        SetCase{"--set 'Program Folder'", 2, "", "no \"=\"", "a setting needs KEY=VALUE"}),
    kc::test::ByWhy{});

// ---- kitcomp check ----

struct Edit {
  const char* key;
  const char* value;
  const char* section;
};

struct CheckCase {
  std::vector<Edit> edits;  // made to a copy of default.dkb, the configuration checked
  const char* arguments;
  int status;
  const char* said;  // a part of the listing (stdout), or of stderr with status 2
  const char* why;
};

class Check : public ::testing::TestWithParam<CheckCase> {};

TEST_P(Check, FindsEachKindOfProblemAndWritesNothing) {
  const CheckCase& c = GetParam();
  KitCopy kit;
  std::filesystem::copy(kit.Host("kit/kitcomp/default.dkb"), kit.Host("kit/mine.kcm"));
  for (const Edit& edit : c.edits) config::WriteValue("T:\\kit\\mine.kcm", edit.section, edit.key, edit.value);
  const auto before = kit.Tree("kit");

  const std::string arguments = c.arguments;
  const KitCopy::Streams run =
      kit.Run("check", arguments.rfind("--config", 0) == 0 ? arguments : "--config 'T:\\kit\\mine.kcm' " + arguments);
  EXPECT_EQ(run.status, c.status) << c.why << "\n" << run.out << run.err;
  const std::string& said = c.status == 2 ? run.err : run.out;
  EXPECT_TRUE(Has(said, c.said)) << c.why << ": \"" << c.said << "\" not in\n" << said;
  // Not a byte of the kit changed, no choices file, not even the work
  // folders a build makes, no image.
  ExpectSameTrees(kit.Tree("kit"), before);
  EXPECT_FALSE(std::filesystem::exists(kit.Host("kit/custom"))) << c.why;
  EXPECT_FALSE(std::filesystem::exists(kit.Host("out"))) << c.why;
}

const std::string kLongOutput = "T:\\" + std::string(240, 'o');

INSTANTIATE_TEST_SUITE_P(
    Cases, Check,
    ::testing::Values(
        CheckCase{{}, "", 0, "is sound", "the sample configuration passes every check"},
        CheckCase{{{"Product Path", "C:/apps", "Choices-32"}, {"Profile Path", "", "Choices-32"}},
                  "",
                  1,
                  "has 2 problems:\nPath Options:\n  The base path is invalid. (\"Product Path\" is \"C:/apps\")\n"
                  "  The profile path is invalid. (\"Profile Path\" is \"\")\n",
                  "both path refusals, under their page"},
        CheckCase{{{"Custom CFG Path", "T:\\kit\\samples\\gone.cfg", "Choices-32"}},
                  "",
                  1,
                  "Customization files:\n  \"Custom CFG Path\": T:\\kit\\samples\\gone.cfg does not exist.",
                  "a customization file that is not there"},
        CheckCase{{{"Custom Readme Path", "T:\\kit\\samples", "Choices-32"}},
                  "",
                  1,
                  "Customization Files, continued...:\n  \"Custom Readme Path\": T:\\kit\\samples is a folder",
                  "a customization file that is a folder"},
        CheckCase{{{"Custom Account Setup Path", "T:\\kit\\samples\\custom", "Choices-32"}},
                  "",
                  1,
                  "  The Custom Dial-Up package folder is invalid. (\"Custom Account Setup Path\" is",
                  "the dial-up package's refusal"},
        CheckCase{{{"Additional Install 1 Path", "T:\\kit\\samples\\gone.exe", "Choices-32"}},
                  "",
                  1,
                  "Additional Installs:\n  Additional install 1: The installer path you specified is invalid. "
                  "(T:\\kit\\samples\\gone.exe does not exist)",
                  "an installer that is not there"},
        CheckCase{{{"Include Additional Install 2", "YES", "Choices-32"},
                   {"Additional Install 2 Path", "T:\\kit\\samples\\extras\\viewer.exe", "Choices-32"},
                   {"Additional Install 2 Description", "Calendar", "Choices-32"},
                   {"Additional Install 2 Size", "1", "Choices-32"}},
                  "",
                  1,
                  "Additional install 2: The descriptive module name \"Calendar\" is already the name",
                  "the page's name checks, on the second slot too"},
        CheckCase{
            {{"Ghost", "ghost", "Mods-32"}},
            "",
            1,
            "Installable modules:\n  The module \"ghost\" of \"Ghost\" (in [Components]) is not in the kit: "
            "T:\\kit\\source\\modules\\ghost.z does not exist; T:\\kit\\source\\modules\\ghost.ini does not exist.",
            "a module stem the kit does not hold"},
        CheckCase{{{"Escape", "..\\..\\kitcomp\\kitcomp", "Mods-32"}},
                  "",
                  1,
                  "Kit Composer Output (Finish):\n  The component \"Escape\" (in [Components]) names the module",
                  "Finish's name rule"},
        CheckCase{{},
                  "--output 'Q:\\images'",
                  1,
                  "  The output drive is invalid. (\"Output Path\" is \"Q:\\images\")",
                  "Finish's drive check, asked without writing"},
        CheckCase{{{"Output Path", "T:\\kit\\custom\\images", "Choices-32"}},
                  "",
                  1,
                  "lies inside the kit's work folder T:\\kit\\custom",
                  "an output path inside the kit"},
        CheckCase{{{"Output Path", kLongOutput.c_str(), "Choices-32"}},
                  "",
                  1,
                  "characters; at most 259 fit)",
                  "a path the build would form that does not fit"},
        CheckCase{{},
                  "--set 'Show Dialogs=maybe'",
                  1,
                  "Dialog control:\n  --set \"Show Dialogs=maybe\": the page stores",
                  "a --set the page would refuse is a problem of the configuration"},
        CheckCase{{},
                  "--set 'Show Dialogz=YES'",
                  2,
                  "no page of the wizard and no step of a build uses the key",
                  "an unknown key is bad usage"},
        CheckCase{{},
                  "--config 'T:\\kit\\none.kcm'",
                  2,
                  "the configuration T:\\kit\\none.kcm does not exist.",
                  "a configuration that is not there cannot be checked"}),
    kc::test::ByWhy{});

}  // namespace
}  // namespace kc::e2e
