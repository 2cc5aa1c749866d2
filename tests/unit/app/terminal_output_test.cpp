#include <gtest/gtest.h>

#include <cstdio>

#include "app/build_summary.h"
#include "app/terminal_progress.h"
#include "support/row_names.h"

namespace kc::app {
namespace {

std::string Captured(std::FILE* file) {
  std::fflush(file);
  std::rewind(file);
  std::string text;
  for (int c; (c = std::fgetc(file)) != EOF;) text += static_cast<char>(c);
  return text;
}

// The engine's pattern: each stage sets position, text, range and step, then
// repaints before each step, never after the last one; a second stage may bear
// the same text (two CD images); a step past the end wraps the bar.
void RunStages(TerminalProgress& progress) {
  progress.UpdateWindow();  // before the first stage
  for (const auto& [text, steps] :
       {std::pair{"Adding Customizations", 2}, std::pair{"Creating CD image", 1}, std::pair{"Creating CD image", 0}}) {
    progress.SetPos(0);
    progress.SetStatusText(text);
    progress.SetRange(0, steps);
    progress.SetStep(1);
    for (int i = 0; i < steps; ++i) {
      progress.UpdateWindow();
      progress.StepIt();
    }
    progress.UpdateWindow();
    progress.UpdateWindow();
  }
  progress.SetPos(0);
  progress.SetStatusText("Creating Network image");
  progress.SetRange(0, 1);
  progress.StepIt();
  progress.StepIt();  // past the upper bound: back to the start
  progress.Finish();
}

struct ProgressCase {
  bool interactive;
  const char* output;
  const char* why;
};

class TerminalProgressOutput : public ::testing::TestWithParam<ProgressCase> {};

TEST_P(TerminalProgressOutput, ShowsEveryStepAndEachStagesEnd) {
  std::FILE* out = std::tmpfile();
  {
    TerminalProgress progress(out, GetParam().interactive, 4);
    RunStages(progress);
  }
  EXPECT_EQ(Captured(out), GetParam().output) << GetParam().why;
  std::fclose(out);
}

INSTANTIATE_TEST_SUITE_P(
    Outputs, TerminalProgressOutput,
    ::testing::Values(
        ProgressCase{false,
                     "Adding Customizations [    ] step 0/2\nAdding Customizations [####] step 2/2\n"
                     "Creating CD image [    ] step 0/1\nCreating CD image [####] step 1/1\n"
                     "Creating CD image [    ] step 0/0\n"
                     "Creating Network image [####] step 1/1\nCreating Network image [    ] step 0/1\n",
                     "a log gets each stage as it starts and as it ends, its last step included"},
        ProgressCase{true,
                     "\rPreparing [    ] step 0/100\033[K"
                     "\rAdding Customizations [    ] step 0/2\033[K\rAdding Customizations [##  ] step 1/2\033[K"
                     "\rAdding Customizations [####] step 2/2\033[K\n"
                     "\rCreating CD image [    ] step 0/1\033[K\rCreating CD image [####] step 1/1\033[K\n"
                     "\rCreating CD image [    ] step 0/0\033[K\n"
                     "\rCreating Network image [####] step 1/1\033[K\rCreating Network image [    ] step 0/1\033[K\n",
                     "a terminal redraws at every step and keeps each stage's last state on its line"}),
    kc::test::ByWhy{});

TEST(BuildSummary, NamesEveryImageAndSaysCompleteOnlyWithoutFailures) {
  engine::BuildReport report;
  report.AddImage({"CD", "D:\\out\\CD", 3 * 1024 * 1024 + 512 * 1024, 47});
  report.AddImage({"disk", "D:\\out\\disk", 2 * 1024 * 1024, 1});
  std::string text = FormatSummary(report);
  EXPECT_NE(text.find("CD image in D:\\out\\CD: 47 files, 3.5 MiB"), std::string::npos) << text;
  EXPECT_NE(text.find("disk image in D:\\out\\disk: 1 file, 2.0 MiB"), std::string::npos) << text;
  EXPECT_NE(text.find("Your installation creation is complete."), std::string::npos);

  report.AddFailure("Running pkgindex.exe", "D:\\out\\CD\\setup.lst", "pkgindex.exe failed with exit status 3");
  text = FormatSummary(report);
  EXPECT_EQ(text.find("Your installation creation is complete."), std::string::npos);
  EXPECT_NE(text.find("1 step failed"), std::string::npos);
  EXPECT_NE(text.find("Running pkgindex.exe: D:\\out\\CD\\setup.lst\n    pkgindex.exe failed with exit status 3"),
            std::string::npos);
}

TEST(BuildSummary, NoImageSaysWhetherNoneWasAskedForOrNoneCouldBeBuilt) {
  engine::BuildReport report;
  EXPECT_NE(FormatSummary(report).find("No image was requested.\n"), std::string::npos);
  report.AddFailure("Creating the output path", "D:\\out", "It is a file, not a folder. No image was built.");
  const std::string text = FormatSummary(report);
  EXPECT_EQ(text.find("No image was requested."), std::string::npos) << text;
  EXPECT_EQ(text.find("the images above"), std::string::npos) << text;
  EXPECT_NE(text.find("No image was built.\n1 step failed:\n  Creating the output path: D:\\out\n"), std::string::npos)
      << text;
}

TEST(BuildSummary, SizesInReadableUnits) {
  EXPECT_EQ(FormatSize(0), "0 bytes");
  EXPECT_EQ(FormatSize(1023), "1023 bytes");
  EXPECT_EQ(FormatSize(1536), "1.5 KiB");
  EXPECT_EQ(FormatSize(5ull << 30), "5.0 GiB");
}

}  // namespace
}  // namespace kc::app
