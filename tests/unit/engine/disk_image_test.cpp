#include "engine/disk_image.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <ctime>
#include <filesystem>
#include <map>
#include <thread>

#include "engine_test_support.h"
#include "platform/atomic_file.h"
#include "platform/files.h"
#include "support/iso_reader.h"
#include "support/row_names.h"

using kc::test::TempDrive;

namespace kc::engine {
namespace {

// Runs the writer in a time zone of its own, then puts the old one back.
std::optional<DiskImageProblem> WriteIn(const char* zone, const std::string& folder, const std::string& image) {
  const char* old = std::getenv("TZ");
  const std::string saved = old != nullptr ? old : "";
  ::setenv("TZ", zone, 1);
  ::tzset();
  auto problem = WriteDiskImage(folder, image, "LUMENARY_4_5");
  old != nullptr ? ::setenv("TZ", saved.c_str(), 1) : ::unsetenv("TZ");
  ::tzset();
  return problem;
}

TEST(DiskImage, SameFilesGiveTheSameBytesAtAnotherTimeInAnotherTimeZone) {
  TempDrive drive;
  drive.Write("files/setup.exe", "#!/bin/sh\n");
  drive.Write("files/lume.z", std::string(300000, 'z'));
  drive.Write("files/Readme.TXT", "read me");
  drive.Write("files/Caf\xC3\xA9.txt", "a name outside ASCII, in a program running under the C locale");
  std::filesystem::permissions(drive.Host("files/setup.exe"), std::filesystem::perms::owner_exec,
                               std::filesystem::perm_options::add);
  win::SetFileWriteTime("T:\\files\\setup.exe", 1600000000);
  win::SetFileWriteTime("T:\\files\\lume.z", 1700000000);  // the newest: 2023-11-14 22:13:20 UTC
  win::SetFileWriteTime("T:\\files\\Readme.TXT", 1650000000);
  win::SetFileWriteTime("T:\\files\\Caf\xC3\xA9.txt", 1650000000);

  ASSERT_FALSE(WriteIn("UTC0", "T:\\files", "T:\\first.iso"));
  // The writer stamps the time of the run: let the clock reach a new second.
  std::this_thread::sleep_for(std::chrono::milliseconds(1100));
  ASSERT_FALSE(WriteIn("IST-5:30", "T:\\files", "T:\\second.iso"));
  const std::string first = drive.Read("first.iso"), second = drive.Read("second.iso");
  ASSERT_EQ(first.size(), second.size());
  const auto differs = std::mismatch(first.begin(), first.end(), second.begin());
  EXPECT_TRUE(differs.first == first.end()) << "first difference at byte " << differs.first - first.begin();

  // The volume's dates are the newest file's, in UTC.
  EXPECT_EQ(test::IsoBytes(drive.Host("first.iso"), 16 * 2048 + 813, 14), "20231114221320");
  const auto files = test::ReadIso(drive.Host("first.iso"));
  ASSERT_EQ(files.size(), 4u);
  // Its Windows (Joliet, UTF-16) and Rock Ridge (UTF-8) names are whole.
  EXPECT_NE(first.find(std::string("\0C\0a\0f\0\xE9\0.\0t\0x\0t", 16)), std::string::npos);
  EXPECT_NE(first.find("Caf\xC3\xA9.txt"), std::string::npos);
  EXPECT_EQ(files.at("Readme.TXT").contents, "read me");
  EXPECT_EQ(files.at("lume.z").contents, std::string(300000, 'z'));
  EXPECT_EQ(files.at("lume.z").mtime, 1700000000);
  EXPECT_EQ(files.at("setup.exe").mtime, 1600000000);
  EXPECT_EQ(files.at("setup.exe").mode, 0555u);
  EXPECT_EQ(files.at("Readme.TXT").mode, 0444u);
}

TEST(DiskImage, ManyFilesAndLongNamesAreReadBackWholeByBothNames) {
  TempDrive drive;
  // Records spill over several directory sectors; names of many UTF-8 bytes
  // need Rock Ridge's continuation area; level 1 names clash.
  std::map<std::string, std::string> written;
  for (int i = 0; i < 150; ++i) written["module-" + std::to_string(i) + " of the client suite.z"] = std::to_string(i);
  std::string euros;
  for (int i = 0; i < 60; ++i) euros += "\xE2\x82\xAC";
  written[euros + ".txt"] = "sixty euro signs, 180 bytes of name";
  written["empty.ini"] = "";
  written[std::string(40, 'z') + ".bin"] = std::string(2049, 'y');  // two sectors
  for (const auto& [name, contents] : written) drive.Write("files/" + name, contents);
  ASSERT_FALSE(WriteDiskImage("T:\\files", "T:\\disk.iso", "SETUP"));

  for (const bool joliet : {false, true}) {
    SCOPED_TRACE(joliet ? "Joliet names" : "Rock Ridge names");
    const auto files = test::ReadIso(drive.Host("disk.iso"), joliet);
    ASSERT_EQ(files.size(), written.size());
    for (const auto& [name, contents] : written) {
      ASSERT_EQ(files.count(name), 1u) << name;
      EXPECT_EQ(files.at(name).contents, contents) << name;
    }
  }
}

struct RefusalCase {
  const char* why;
  const char* badName;  // a file put into the folder, or nullptr
  const char* folder;   // the folder written from
  const char* image;    // the image written to
  const char* file;     // the file the problem names
  const char* reasonPart;
};

class DiskImageRefusal : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(DiskImageRefusal, NamesTheFileAndLeavesNoImage) {
  const RefusalCase& row = GetParam();
  SCOPED_TRACE(row.why);
  TempDrive drive;
  drive.Write("files/setup.exe", "installer");
  if (row.badName != nullptr) drive.Write(std::string("files/") + row.badName, "x");
  const auto problem = WriteDiskImage(row.folder, row.image, "SETUP");
  ASSERT_TRUE(problem.has_value());
  EXPECT_EQ(problem->file, row.file);
  EXPECT_NE(problem->reason.find(row.reasonPart), std::string::npos) << problem->reason;
  EXPECT_EQ(win::GetFileAttributesA(row.image), win::INVALID_FILE_ATTRIBUTES);
  for (const auto& entry : std::filesystem::directory_iterator(drive.Host("")))
    EXPECT_FALSE(platform::IsTemporaryFileName(entry.path().filename().string())) << entry.path();
}

const std::string kLongName = std::string(62, 'n') + ".ini";  // 66 characters
const std::string kLongPath = "T:\\files\\" + kLongName;

INSTANTIATE_TEST_SUITE_P(
    Cases, DiskImageRefusal,
    ::testing::Values(RefusalCase{"the image's folder does not exist", nullptr, "T:\\files", "T:\\missing\\setup.iso",
                                  "T:\\missing\\setup.iso", "Could not create the disk image"},
                      RefusalCase{"the folder to write from does not exist", nullptr, "T:\\gone", "T:\\setup.iso",
                                  "T:\\gone", "Could not read the folder"},
                      RefusalCase{"Windows would see a name longer than 64 characters cut short", kLongName.c_str(),
                                  "T:\\files", "T:\\setup.iso", kLongPath.c_str(), "longer than the 64 characters"},
                      RefusalCase{"a name that is not UTF-8 (a Latin-1 byte) would lose its Windows name",
                                  "caf\xE9.ini", "T:\\files", "T:\\setup.iso", "T:\\files\\caf\xE9.ini",
                                  "not UTF-8 text"},
                      RefusalCase{"a name with a \";\", which Joliet names take for the version", "a;b.ini",
                                  "T:\\files", "T:\\setup.iso", "T:\\files\\a;b.ini", "cannot hold"}),
    kc::test::ByWhy{});

TEST(DiskVolumeName, UpperCaseLettersAndDigitsJoinedByUnderscoresAtMostSixteen) {
  const struct {
    const char* why;
    const char* title;
    const char* name;
  } rows[] = {
      {"blanks and dots become one underscore", "Lumenary 4.5", "LUMENARY_4_5"},
      {"cut to what Joliet holds, no trailing underscore", "Client Suite for Everyone", "CLIENT_SUITE_FOR"},
      {"letters outside ASCII are gaps", "Caf\xC3\xA9 B\xC3\xBCro", "CAF_B_RO"},
      {"no title", "", "LUMENARY_SETUP"},
      {"nothing usable", " *** ", "LUMENARY_SETUP"},
  };
  for (const auto& row : rows) EXPECT_EQ(DiskVolumeName(row.title), row.name) << row.why;
}

}  // namespace
}  // namespace kc::engine
