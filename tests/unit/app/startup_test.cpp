#include "app/startup.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>

#include "platform/drives.h"
#include "platform/files.h"

namespace fs = std::filesystem;

namespace kc::app {
namespace {

class StartUpTest : public ::testing::Test {
 protected:
  StartUpTest() {
    std::string pattern = (fs::temp_directory_path() / "kc-app-XXXXXX").string();
    host_ = ::mkdtemp(pattern.data());
    ::setenv("KITCOMP_DRIVES", ("d=" + host_).c_str(), 1);
    win::DriveTable::Reload();
    fs::create_directories(host_ + "/kit/kitcomp");
    win::SetCurrentDirectoryA("D:\\kit\\kitcomp");
  }
  ~StartUpTest() override {
    fs::current_path("/");
    fs::remove_all(host_);
    ::unsetenv("KITCOMP_DRIVES");
    win::DriveTable::Reload();
  }
  void StartupIni(const std::string& root) {
    std::ofstream(host_ + "/kit/kitcomp/kitcomp.ini") << "[Kit Composer]\r\nINSTALLED PATH=" << root << "\r\n";
  }
  std::string host_;
};

TEST_F(StartUpTest, CreatesTheCustomFoldersAndFixesThePaths) {
  StartupIni("D:\\kit");
  const Result<config::RunPaths> paths = StartUp();
  ASSERT_TRUE(paths) << paths.error();
  EXPECT_EQ(paths->installRoot, "D:\\kit");
  EXPECT_EQ(paths->choicesFile, "D:\\kit\\kitcomp\\choices.tmp");
  EXPECT_EQ(paths->programIni, "D:\\kit\\kitcomp\\kitcomp.ini");
  EXPECT_EQ(paths->engineSetupIni, "D:\\kit\\custom\\engine\\setup.ini");
  EXPECT_TRUE(fs::is_directory(host_ + "/kit/custom/engine"));
}

TEST_F(StartUpTest, TrailingBackslashGivesDoubledBackslashes) {
  StartupIni("D:\\kit\\");
  const Result<config::RunPaths> paths = StartUp();
  ASSERT_TRUE(paths);
  EXPECT_EQ(paths->choicesFile, "D:\\kit\\\\kitcomp\\choices.tmp");
  EXPECT_TRUE(fs::is_directory(host_ + "/kit/custom"));
}

TEST_F(StartUpTest, RelativeRootIsResolvedOnceAgainstTheStartingDirectory) {
  StartupIni("..");
  const Result<config::RunPaths> paths = StartUp();
  ASSERT_TRUE(paths) << paths.error();
  EXPECT_EQ(paths->installRoot, "D:\\kit");
  // Moving elsewhere afterwards changes nothing.
  win::SetCurrentDirectoryA("D:\\");
  EXPECT_EQ(paths->sourceSetupIni, "D:\\kit\\source\\install\\setup.ini");
}

TEST_F(StartUpTest, RootTooLongIsRefusedNamingIt) {
  StartupIni("D:\\" + std::string(250, 'r'));
  const Result<config::RunPaths> paths = StartUp();
  ASSERT_FALSE(paths);
  EXPECT_NE(paths.error().find("too long"), std::string::npos);
}

// Its own files fit, but the build's staging command lines would not.
TEST_F(StartUpTest, RootTooDeepForTheBuildIsRefusedNamingTheLongestNeed) {
  const std::string root = "D:\\" + std::string(120, 'r');
  StartupIni(root);
  const Result<config::RunPaths> paths = StartUp();
  ASSERT_FALSE(paths);
  EXPECT_EQ(paths.error().find("The install root " + root +
                               " is too long: a build would need the command line "
                               "squash.exe -i -o -sh \"" +
                               root + "\\custom\\temptree\\config\\velomark.cfg\""),
            0u)
      << paths.error();
  EXPECT_NE(paths.error().find("characters; at most 259 fit). Please move the kit"), std::string::npos);
}

TEST_F(StartUpTest, MissingStartupFileGivesAnEmptyRoot) {
  const Result<config::RunPaths> paths = StartUp();
  ASSERT_TRUE(paths);
  EXPECT_EQ(paths->installRoot, "");
  EXPECT_EQ(paths->choicesFile, "\\kitcomp\\choices.tmp");
}

TEST_F(StartUpTest, EveryRefreshCopiesBothWorkingFilesAgain) {
  StartupIni("D:\\kit");
  const config::RunPaths paths = StartUp().value();
  fs::create_directories(host_ + "/kit/source/install");
  std::ofstream(host_ + "/kit/source/install/setup.ini") << "[A]\r\nk=1\r\n";
  std::ofstream(host_ + "/kit/kitcomp/default.dkb") << "[Global]\r\nPlatform=32\r\n";
  ASSERT_TRUE(RefreshWorkingFiles(paths, paths.defaultConfig));
  std::ofstream(host_ + "/kit/custom/engine/setup.ini") << "changed by Finish";
  std::ofstream(host_ + "/kit/kitcomp/choices.tmp") << "changed by the wizard";
  ASSERT_TRUE(RefreshWorkingFiles(paths, paths.defaultConfig));
  std::ifstream setup(host_ + "/kit/custom/engine/setup.ini");
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(setup), {}), "[A]\r\nk=1\r\n");
  std::ifstream choices(host_ + "/kit/kitcomp/choices.tmp");
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(choices), {}), "[Global]\r\nPlatform=32\r\n");
  EXPECT_FALSE(RefreshWorkingFiles(paths, "D:\\kit\\nowhere.kcm"));
}

}  // namespace
}  // namespace kc::app
