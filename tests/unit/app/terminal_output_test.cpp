#include <gtest/gtest.h>

#include <cstdio>

#include "app/build_summary.h"
#include "app/terminal_progress.h"

namespace kc::app {
namespace {

std::string Captured(std::FILE* file) {
  std::fflush(file);
  std::rewind(file);
  std::string text;
  for (int c; (c = std::fgetc(file)) != EOF;) text += static_cast<char>(c);
  return text;
}

TEST(TerminalProgress, PlainLinesOnlyWhenSomethingChanged) {
  std::FILE* out = std::tmpfile();
  {
    TerminalProgress progress(out, false, 4);
    progress.SetPos(0);
    progress.SetStatusText("Creating CD image");
    progress.SetRange(0, 2);
    progress.SetStep(1);
    progress.UpdateWindow();
    progress.UpdateWindow();
    progress.StepIt();
    progress.UpdateWindow();
    progress.StepIt();
    progress.StepIt();  // a bar wraps to its start past the upper bound
    progress.UpdateWindow();
  }
  EXPECT_EQ(Captured(out),
            "Creating CD image [    ] step 0/2\nCreating CD image [##  ] step 1/2\n"
            "Creating CD image [    ] step 0/2\n");
  std::fclose(out);
}

TEST(TerminalProgress, RedrawsInPlaceOnATerminalAndEndsTheLine) {
  std::FILE* out = std::tmpfile();
  {
    TerminalProgress progress(out, true, 2);
    progress.SetStatusText("Adding Customizations");
    progress.SetRange(0, 0);
    progress.UpdateWindow();
  }
  EXPECT_EQ(Captured(out), "\rAdding Customizations [  ] step 0/0\033[K\n");
  std::fclose(out);
}

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
  EXPECT_NE(text.find("No image was built.\n1 step failed:\n  Creating the output path: D:\\out\n"),
            std::string::npos)
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
