// Running the built packaging tools in a scratch drive: a fresh folder mapped
// as drive T:, so that tests pass Windows paths exactly as the engine does.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace kc::tools::test {

struct ToolRun {
  int exitCode = -1;
  std::string out;
  std::string err;
};

// The folder with squash.exe, pkgindex.exe, sfxmaker.exe (KITCOMP_TOOLS_DIR).
std::filesystem::path ToolsDir();

// Runs a program (a path, or a tool name looked up in ToolsDir()) with the
// arguments passed as given, in `workingDir` when it is not empty.
ToolRun RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                   const std::filesystem::path& workingDir = {});

std::string ReadBytes(const std::filesystem::path& file);
void WriteBytes(const std::filesystem::path& file, const std::string& bytes);

// A scratch folder mapped as drive T: for this test and the tools it runs.
class ScratchDrive : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // Host path of a path below the scratch folder ("a/b").
  std::filesystem::path Host(const std::string& relative) const { return root_ / relative; }
  // Writes a file below the scratch folder, making its folders; returns its host path.
  std::filesystem::path Put(const std::string& relative, const std::string& bytes);

  std::filesystem::path root_;
};

}  // namespace kc::tools::test
