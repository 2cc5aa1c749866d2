// sfxmaker.exe and the self-extracting file it writes: integrity check,
// listing, extraction, the command run, and refusal of escaping entry names.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "common/read_ahead.h"
#include "common/sfx_trailer.h"
#include "common/zip_writer.h"
#include "tool_run.h"

namespace kc::tools::test {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

class Sfxmaker : public ScratchDrive {
 protected:
  // The network image's temp folder as image assembly leaves it.
  void MakeImage() {
    Put("out/network/temp/setup.exe", "#!/bin/sh\necho \"$PWD\" > \"$1\"\nexit 7\n");
    fs::permissions(Host("out/network/temp/setup.exe"), fs::perms::owner_exec, fs::perm_options::add);
    Put("out/network/temp/setup.ini", "[Setup]\r\nMode=User\r\n");
    Put("out/network/temp/lume.z", std::string(100000, 'z'));
    Put("out/network/temp/sub/deep.txt", "deep");
    Put("out/network/temp/.hidden", "h");
  }
  void WriteIni(const std::string& cmdLine, const std::string& compress = "0",
                const std::string& at = "kitcomp/sfxmaker.ini") {
    Put(at, "[SFX Maker]\r\nSrcDir=t:\\out\\network\\temp\\\r\nDestDir=t:\\out\\network\\\r\nCmdLine=" + cmdLine +
                "\r\nCompress=" + compress + "\r\n");
  }
  ToolRun Make(const std::vector<std::string>& arguments = {"t:\\kitcomp\\sfxmaker.ini"}) {
    return RunProgram("sfxmaker.exe", arguments);
  }
  std::string Sfx() const { return Host("out/network/netsetup.exe").string(); }
  sfx::Trailer TrailerOf(const std::string& bytes) {
    sfx::Trailer trailer;
    std::string error;
    EXPECT_TRUE(
        sfx::DecodeTrailer(reinterpret_cast<const unsigned char*>(bytes.data()) + bytes.size() - sfx::kTrailerSize,
                           bytes.size(), trailer, error))
        << error;
    return trailer;
  }
};

// name -> contents of every file below a folder.
std::map<std::string, std::string> TreeOf(const fs::path& folder) {
  std::map<std::string, std::string> tree;
  for (const auto& item : fs::recursive_directory_iterator(folder))
    if (item.is_regular_file()) tree[fs::relative(item.path(), folder).string()] = ReadBytes(item.path());
  return tree;
}

TEST_F(Sfxmaker, ExtractsToTheSameTreeByteForByteWithModes) {
  MakeImage();
  WriteIni("setup.exe");
  const ToolRun made = Make();
  ASSERT_EQ(made.exitCode, 0) << made.err;
  const ToolRun run = RunProgram(Sfx(), {"--target", Host("x").string(), "--noexec"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(TreeOf(Host("x")), TreeOf(Host("out/network/temp")));
  EXPECT_NE(fs::status(Host("x/setup.exe")).permissions() & fs::perms::owner_exec, fs::perms::none);
  EXPECT_EQ(fs::status(Host("x/setup.ini")).permissions() & fs::perms::owner_exec, fs::perms::none);
  EXPECT_FALSE(fs::exists(Host("x/result")));  // --noexec: the command did not run
}

TEST_F(Sfxmaker, ListsEveryEntryInNameOrder) {
  MakeImage();
  WriteIni("setup.exe");
  ASSERT_EQ(Make().exitCode, 0);
  const ToolRun run = RunProgram(Sfx(), {"--list"});
  ASSERT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.out, "1\t.hidden\n100000\tlume.z\n36\tsetup.exe\n20\tsetup.ini\n4\tsub/deep.txt\n");
}

TEST_F(Sfxmaker, RunsTheCommandInTheExtractionFolderAndPassesItsExitStatus) {
  MakeImage();
  WriteIni("setup.exe \"" + Host("result").string() + "\"");
  ASSERT_EQ(Make().exitCode, 0);
  const ToolRun run = RunProgram(Sfx(), {"--target", Host("x").string()});
  EXPECT_EQ(run.exitCode, 7) << run.err;
  EXPECT_EQ(ReadBytes(Host("result")), fs::canonical(Host("x")).string() + "\n");

  // Without --target: a fresh temporary folder, removed afterwards.
  const ToolRun fresh = RunProgram(Sfx(), {});
  EXPECT_EQ(fresh.exitCode, 7) << fresh.err;
  const fs::path used = ReadBytes(Host("result")).substr(0, ReadBytes(Host("result")).size() - 1);
  EXPECT_NE(used, fs::canonical(Host("x")));
  EXPECT_THAT(used.filename().string(), HasSubstr("netsetup-"));
  EXPECT_FALSE(fs::exists(used));
}

TEST_F(Sfxmaker, CheckFindsAFlippedByteAnywhereAndRefusesToExtract) {
  MakeImage();
  WriteIni("setup.exe");
  ASSERT_EQ(Make().exitCode, 0);
  EXPECT_EQ(RunProgram(Sfx(), {"--check"}).exitCode, 0);
  const std::string bytes = ReadBytes(Sfx());
  const sfx::Trailer trailer = TrailerOf(bytes);
  const std::uint64_t end = bytes.size() - sfx::kTrailerSize;
  const struct {
    const char* why;
    std::uint64_t at;
  } flips[] = {
      {"the extractor's code, past its ELF header", 4096},
      {"the extractor's last byte", trailer.payloadOffset - 1},
      {"a zip header", trailer.payloadOffset + 40},
      {"file data", trailer.payloadOffset + trailer.payloadLength / 2},
      {"the command line", trailer.payloadOffset + trailer.payloadLength + 1},
      {"the trailer's format field", end + 21},
      {"the trailer's digest", end + 30},
  };
  for (const auto& flip : flips) {
    std::string damaged = bytes;
    damaged[flip.at] = static_cast<char>(damaged[flip.at] ^ 0x20);
    WriteBytes(Sfx(), damaged);
    fs::permissions(Sfx(), fs::perms::owner_exec, fs::perm_options::add);
    const ToolRun check = RunProgram(Sfx(), {"--check"});
    EXPECT_EQ(check.exitCode, 3) << flip.why;
    EXPECT_THAT(check.err, HasSubstr("corrupt")) << flip.why;
    for (const std::vector<std::string>& run :
         {std::vector<std::string>{"--target", Host("x").string()}, {"--noexec"}, {"--list"}})
      EXPECT_EQ(RunProgram(Sfx(), run).exitCode, 3) << flip.why << " " << run[0];
    EXPECT_FALSE(fs::exists(Host("x/setup.ini"))) << flip.why;
  }
  WriteBytes(Sfx(), bytes.substr(0, bytes.size() - 10));
  EXPECT_THAT(RunProgram(Sfx(), {"--check"}).err, HasSubstr("corrupt"));
}

TEST_F(Sfxmaker, LengthsThatWrapAroundAreRefusedAsCorrupt) {
  MakeImage();
  WriteIni("setup.exe");
  ASSERT_EQ(Make().exitCode, 0);
  const std::string bytes = ReadBytes(Sfx());
  const sfx::Trailer good = TrailerOf(bytes);
  const std::string body = bytes.substr(0, bytes.size() - sfx::kTrailerSize);
  // The sum of offset, lengths and trailer still gives the file's size, modulo
  // 2^64, while the command line would claim 4 GiB.
  sfx::Trailer bad = good;
  bad.commandLength = 0xFFFFFFFFu;
  bad.payloadLength = good.payloadLength + good.commandLength - bad.commandLength;
  const auto trailer = sfx::EncodeTrailer(bad);
  WriteBytes(Sfx(), body + std::string(trailer.begin(), trailer.end()));
  for (const std::vector<std::string>& arguments :
       {std::vector<std::string>{"--check"}, {"--list"}, {"--target", Host("x").string(), "--noexec"}}) {
    const ToolRun run = RunProgram(Sfx(), arguments);
    EXPECT_EQ(run.exitCode, 3) << arguments[0] << ": " << run.err;
    // Refused by the lengths themselves, before any buffer is sized by them.
    EXPECT_THAT(run.err, HasSubstr("corrupt: the archive does not fit the file")) << arguments[0];
  }
  EXPECT_FALSE(fs::exists(Host("x/setup.ini")));
}

TEST_F(Sfxmaker, EmptyCommandLineExtractsAndRunsNothing) {
  MakeImage();
  WriteIni("");
  ASSERT_EQ(Make().exitCode, 0);
  const ToolRun run = RunProgram(Sfx(), {"--target", Host("x").string()});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_TRUE(fs::exists(Host("x/sub/deep.txt")));
}

TEST_F(Sfxmaker, ExtractorExplainsItselfAndRefusesUnknownArguments) {
  MakeImage();
  WriteIni("setup.exe");
  ASSERT_EQ(Make().exitCode, 0);
  const ToolRun help = RunProgram(Sfx(), {"--help"});
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_THAT(help.out, HasSubstr("runs\n\"setup.exe\" there"));
  const ToolRun bad = RunProgram(Sfx(), {"--explode"});
  EXPECT_EQ(bad.exitCode, 2);
  EXPECT_THAT(bad.err, HasSubstr("unknown argument \"--explode\""));
}

TEST_F(Sfxmaker, SameInputsGiveTheSameBytes) {
  MakeImage();
  WriteIni("setup.exe");
  ASSERT_EQ(Make().exitCode, 0);
  const std::string first = ReadBytes(Sfx());
  ASSERT_EQ(Make().exitCode, 0);
  EXPECT_EQ(ReadBytes(Sfx()), first);
}

TEST_F(Sfxmaker, StoreKeepsDataAsIsAndCompressDeflates) {
  MakeImage();
  WriteIni("setup.exe", "0");
  ASSERT_EQ(Make().exitCode, 0);
  const std::string stored = ReadBytes(Sfx());
  // Stored data appears verbatim in the payload.
  EXPECT_NE(stored.find(std::string(100000, 'z')), std::string::npos);
  WriteIni("setup.exe", "1");
  ASSERT_EQ(Make().exitCode, 0);
  const std::string deflated = ReadBytes(Sfx());
  EXPECT_LT(TrailerOf(deflated).payloadLength + 90000, TrailerOf(stored).payloadLength);
  ASSERT_EQ(RunProgram(Sfx(), {"--target", Host("x").string(), "--noexec"}).exitCode, 0);
  EXPECT_EQ(TreeOf(Host("x")), TreeOf(Host("out/network/temp")));
}

TEST_F(Sfxmaker, IniPathWithSpacesWorksUnquoted) {
  MakeImage();
  WriteIni("setup.exe", "0", "My Kit/kitcomp/sfxmaker.ini");
  const ToolRun run = Make({"t:\\My", "Kit\\kitcomp\\sfxmaker.ini"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_TRUE(fs::exists(Sfx()));
}

struct SfxFailureCase {
  const char* name;
  std::string ini;  // empty: no INI file at all
  int exitCode;
  std::string message;
};
// Test names in listings show the case name, not the bytes.
void PrintTo(const SfxFailureCase& c, std::ostream* os) {
  *os << c.name;
}

class SfxmakerFailure : public Sfxmaker, public ::testing::WithParamInterface<SfxFailureCase> {};

TEST_P(SfxmakerFailure, WritesNothingAndSaysWhy) {
  MakeImage();
  if (!GetParam().ini.empty()) Put("kitcomp/sfxmaker.ini", GetParam().ini);
  const ToolRun run = Make();
  EXPECT_EQ(run.exitCode, GetParam().exitCode);
  EXPECT_THAT(run.err, HasSubstr(GetParam().message));
  EXPECT_FALSE(fs::exists(Sfx()));
  for (const auto& item : fs::recursive_directory_iterator(root_))
    EXPECT_EQ(item.path().filename().string().find(".tmp-"), std::string::npos) << item.path();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SfxmakerFailure,
    ::testing::Values(SfxFailureCase{"NoIniFile", "", 2, "t:\\kitcomp\\sfxmaker.ini: file not found"},
                      SfxFailureCase{"NoSrcDir", "[SFX Maker]\r\nDestDir=t:\\out\\network\\\r\n", 2, "no \"SrcDir\""},
                      SfxFailureCase{"MissingSrcDir",
                                     "[SFX Maker]\r\nSrcDir=t:\\gone\\\r\nDestDir=t:\\out\\network\\\r\n", 2,
                                     "t:\\gone: folder not found"},
                      SfxFailureCase{"MissingDestDir",
                                     "[SFX Maker]\r\nSrcDir=t:\\out\\network\\temp\\\r\nDestDir=t:\\elsewhere\\\r\n", 3,
                                     "folder not found"}),
    [](const auto& info) { return std::string(info.param.name); });

// A self-extracting file whose archive holds one hostile name, written by
// hand: the extractor of a good file, a zip made here, a valid trailer.
class HostileArchive : public Sfxmaker, public ::testing::WithParamInterface<const char*> {};

TEST_P(HostileArchive, IsRefusedAndNothingIsWritten) {
  MakeImage();
  WriteIni("setup.exe");
  ASSERT_EQ(Make().exitCode, 0);
  const std::string good = ReadBytes(Sfx());
  std::string file = good.substr(0, TrailerOf(good).payloadOffset);
  std::string payload;
  {
    ZipWriter zip([&](const void* data, std::size_t size) { payload.append(static_cast<const char*>(data), size); },
                  ZipMethod::Store, "hostile");
    zip.AddEntry("aaa.txt", "harmless", 0, 0644);
    zip.AddEntry(GetParam(), "escaped", 0, 0644);
    zip.Close();
  }
  const std::string command = "setup.exe";
  sfx::Trailer trailer;
  trailer.payloadOffset = file.size();
  trailer.payloadLength = payload.size();
  trailer.commandLength = static_cast<std::uint32_t>(command.size());
  file += payload + command;
  sfx::WholeFileDigest digest;
  digest.Update(file.data(), file.size());
  const auto trailerBytes = digest.Seal(trailer);
  file += std::string(trailerBytes.begin(), trailerBytes.end());
  const fs::path hostile = Host("hostile.exe");
  WriteBytes(hostile, file);
  fs::permissions(hostile, fs::perms::owner_exec, fs::perm_options::add);

  EXPECT_EQ(RunProgram(hostile.string(), {"--check"}).exitCode, 0);  // intact, just hostile
  const ToolRun run = RunProgram(hostile.string(), {"--target", Host("deep/x").string(), "--noexec"});
  EXPECT_EQ(run.exitCode, 4);
  // Zip stores "\\" as "/", so the name may come back with slashes.
  EXPECT_THAT(run.err, HasSubstr("refusing to extract \""));
  EXPECT_THAT(run.err, HasSubstr("escaped\": "));
  EXPECT_FALSE(fs::exists(Host("deep/x/aaa.txt")));
  EXPECT_FALSE(fs::exists(Host("deep/escaped")));
  EXPECT_FALSE(fs::exists(Host("deep/x/escaped")));
}

INSTANTIATE_TEST_SUITE_P(Names, HostileArchive,
                         ::testing::Values("../escaped", "sub/../../escaped", "/tmp/kc-absolute-escaped", "..\\escaped",
                                           "C:/escaped"));

TEST(SfxTrailer, RoundTripsAndRejectsOtherBytes) {
  sfx::Trailer trailer;
  trailer.payloadOffset = 0x0102030405060708ull;
  trailer.payloadLength = 5ull << 32;
  trailer.commandLength = 9;
  trailer.digest[0] = 0xab;
  trailer.digest[31] = 0xcd;
  const auto bytes = sfx::EncodeTrailer(trailer);
  EXPECT_EQ(bytes[0], 0x08);  // little-endian on every host
  EXPECT_EQ(bytes[20], 2);    // the format version
  const std::uint64_t fileSize = trailer.payloadOffset + trailer.payloadLength + 9 + sfx::kTrailerSize;
  sfx::Trailer decoded;
  std::string error;
  ASSERT_TRUE(sfx::DecodeTrailer(bytes.data(), fileSize, decoded, error)) << error;
  EXPECT_EQ(decoded.payloadOffset, trailer.payloadOffset);
  EXPECT_EQ(decoded.payloadLength, trailer.payloadLength);
  EXPECT_EQ(decoded.commandLength, 9u);
  EXPECT_EQ(decoded.digest, trailer.digest);
  struct {
    const char* why;
    std::size_t at;
    char value;
    const char* message;
  } const damaged[] = {{"another magic", 63, 'x', "no archive attached"},
                       {"the first format, whose check left most of the file out", 61, '1', "older sfxmaker"},
                       {"an unknown format version", 20, 3, "unknown format version 3"}};
  for (const auto& row : damaged) {
    auto other = bytes;
    other[row.at] = static_cast<unsigned char>(row.value);
    EXPECT_FALSE(sfx::DecodeTrailer(other.data(), fileSize, decoded, error)) << row.why;
    EXPECT_THAT(error, HasSubstr(row.message)) << row.why;
  }
}

// The blocks come back in file order across the slots' reuse, and a file that
// ends early is a failure, not a short success.
TEST(ReadAhead, GivesTheBytesInOrderAndTellsAShortFile) {
  constexpr std::uint64_t kMiB = 1 << 20;
  struct Row {
    const char* why;
    std::uint64_t fileSize, length;
    bool failed;
  } rows[] = {
      {"nothing to read", 10, 0, false},
      {"less than a block", 10, 10, false},
      {"more blocks than slots, the last one partial", 9 * kMiB + 5, 9 * kMiB + 5, false},
      {"fewer bytes than asked", kMiB + 3, 6 * kMiB, true},
  };
  std::string bytes(10 * kMiB, '\0');
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 7 + i / kMiB);
  for (const Row& row : rows) {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::tmpfile(), &std::fclose);
    ASSERT_EQ(std::fwrite(bytes.data(), 1, row.fileSize, file.get()), row.fileSize);
    std::rewind(file.get());
    std::string read;
    bool failed = false;
    {
      sfx::ReadAhead blocks(file.get(), row.length);
      for (auto block = blocks.Next(); block.size != 0; block = blocks.Next())
        read.append(reinterpret_cast<const char*>(block.data), block.size);
      failed = blocks.failed();
    }
    EXPECT_EQ(failed, row.failed) << row.why;
    if (!row.failed) {
      EXPECT_TRUE(read == bytes.substr(0, row.length)) << row.why;
    }
  }
}

}  // namespace
}  // namespace kc::tools::test
