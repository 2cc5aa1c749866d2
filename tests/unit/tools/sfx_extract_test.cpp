// The extractor against crafted archives and hostile disks: special files,
// links that leave the folder, setuid bits, a full or read-only file system
// (mounted for the test), and sfxmaker's refusals of what it must not pack.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <filesystem>

#include "common/sfx_trailer.h"
#include "common/zip_format.h"
#include "tool_run.h"

namespace kc::tools::test {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

struct CraftedEntry {
  std::string name;
  std::uint32_t mode;  // type and permission bits, as stored
  std::string data;
};

// A zip written byte by byte, independent of our writer: stored entries with
// any mode a hostile maker could put there.
std::string CraftZip(const std::vector<CraftedEntry>& entries) {
  using zip::PutLe;
  std::string out, directory;
  for (const CraftedEntry& entry : entries) {
    const auto crc = static_cast<std::uint32_t>(
        crc32(0, reinterpret_cast<const Bytef*>(entry.data.data()), static_cast<uInt>(entry.data.size())));
    const std::uint64_t offset = out.size();
    for (std::string* record : {&out, &directory}) {
      const bool central = record == &directory;
      PutLe(*record, central ? zip::kCentralSignature : zip::kLocalSignature, 4);
      if (central) PutLe(*record, 0x0314, 2);
      PutLe(*record, 20, 2);
      PutLe(*record, 0, 2);  // flags
      PutLe(*record, 0, 2);  // stored
      PutLe(*record, 0, 4);  // DOS time
      PutLe(*record, crc, 4);
      PutLe(*record, entry.data.size(), 4);
      PutLe(*record, entry.data.size(), 4);
      PutLe(*record, entry.name.size(), 2);
      PutLe(*record, 0, 2);  // extra
      if (central) {
        PutLe(*record, 0, 6);  // comment length, disk, internal attributes
        PutLe(*record, static_cast<std::uint64_t>(entry.mode) << 16, 4);
        PutLe(*record, offset, 4);
      }
      *record += entry.name;
    }
    out += entry.data;
  }
  const std::uint64_t directoryOffset = out.size();
  out += directory;
  PutLe(out, zip::kEndSignature, 4);
  PutLe(out, 0, 4);
  PutLe(out, entries.size(), 2);
  PutLe(out, entries.size(), 2);
  PutLe(out, directory.size(), 4);
  PutLe(out, directoryOffset, 4);
  PutLe(out, 0, 2);
  return out;
}

class SfxExtract : public ScratchDrive {
 protected:
  void SetUp() override {
    ScratchDrive::SetUp();
    Put("src/temp/setup.ini", "[Setup]\r\n");
    Put("kitcomp/sfxmaker.ini", "[SFX Maker]\r\nSrcDir=t:\\src\\temp\\\r\nDestDir=t:\\src\\\r\nCmdLine=\r\n");
  }
  ToolRun Make() { return RunProgram("sfxmaker.exe", {"t:\\kitcomp\\sfxmaker.ini"}); }
  // A self-extracting file holding the crafted archive, intact by its check.
  fs::path Crafted(const std::vector<CraftedEntry>& entries) {
    EXPECT_EQ(Make().exitCode, 0);
    const std::string good = ReadBytes(Host("src/netsetup.exe"));
    sfx::Trailer trailer;
    std::string error;
    sfx::DecodeTrailer(reinterpret_cast<const unsigned char*>(good.data()) + good.size() - sfx::kTrailerSize,
                       good.size(), trailer, error);
    std::string file = good.substr(0, trailer.payloadOffset);
    const std::string payload = CraftZip(entries);
    trailer.payloadLength = payload.size();
    trailer.commandLength = 0;
    file += payload;
    sfx::WholeFileDigest digest;
    digest.Update(file.data(), file.size());
    const auto sealed = digest.Seal(trailer);
    file.append(sealed.begin(), sealed.end());
    const fs::path path = Host("crafted.exe");
    WriteBytes(path, file);
    fs::permissions(path, fs::perms::owner_all);
    return path;
  }
  // Mounts a small tmpfs below the scratch folder; false where mounting is impossible.
  bool MountSmall(const std::string& relative, const char* options) {
    if (::geteuid() != 0) return false;
    fs::create_directories(Host(relative));
    if (::mount("tmpfs", Host(relative).c_str(), "tmpfs", 0, options) != 0) return false;
    mounted_.push_back(Host(relative));
    return true;
  }
  void TearDown() override {
    for (const fs::path& point : mounted_) ::umount(point.c_str());
    ScratchDrive::TearDown();
  }
  std::vector<fs::path> mounted_;
};

TEST_F(SfxExtract, CraftedEntriesAreRefusedBeforeAnythingIsWritten) {
  const struct {
    const char* why;
    CraftedEntry entry;
    const char* message;
  } rows[] = {
      {"a FIFO would block whoever reads it", {"pipe", 0010644, ""}, "a FIFO"},
      {"a character device", {"tty", 0020666, ""}, "a device node"},
      {"a block device", {"disk", 0060660, ""}, "a device node"},
      {"a socket", {"sock", 0140755, ""}, "a socket"},
      {"a link to an absolute path", {"passwd", 0120777, "/etc/passwd"}, "absolute path"},
      {"a link that climbs out", {"up", 0120777, "../outside"}, "leads out of the extraction folder"},
      {"a link in a subfolder that climbs out", {"sub/up", 0120777, "../../outside"}, "leads out"},
      {"a \"..\" after a name can climb out through another link", {"l", 0120777, "sub/../../x"}, "climbs back"},
  };
  for (const auto& row : rows) {
    const fs::path file = Crafted({{"aaa.txt", 0100644, "harmless"}, row.entry});
    const ToolRun run = RunProgram(file.string(), {"--target", Host("out").string(), "--noexec"});
    EXPECT_EQ(run.exitCode, 4) << row.why;
    EXPECT_THAT(run.err, HasSubstr("refusing to extract \"" + row.entry.name + "\": ")) << row.why;
    EXPECT_THAT(run.err, HasSubstr(row.message)) << row.why;
    EXPECT_FALSE(fs::exists(Host("out/aaa.txt"))) << row.why;
  }
}

TEST_F(SfxExtract, ModesKeepPermissionBitsOnlyAndInsideLinksAreMade) {
  const fs::path file = Crafted({{"setuid", 0104755, "s"},
                                 {"setgid", 0102755, "g"},
                                 {"ro/", 0040555, ""},
                                 {"ro/inside.txt", 0100644, "made before its folder is closed"},
                                 {"sub/", 0041777, ""},
                                 {"sub/data.txt", 0100644, "data"},
                                 {"sub/same", 0120777, "data.txt"},
                                 {"up", 0120777, "sub/data.txt"}});
  const ToolRun run = RunProgram(file.string(), {"--target", Host("out").string(), "--noexec"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(fs::status(Host("out/setuid")).permissions(), static_cast<fs::perms>(0755));
  EXPECT_EQ(fs::status(Host("out/setgid")).permissions(), static_cast<fs::perms>(0755));
  EXPECT_EQ(fs::status(Host("out/sub")).permissions(), static_cast<fs::perms>(0777));
  EXPECT_EQ(fs::status(Host("out/ro")).permissions(), static_cast<fs::perms>(0555));
  EXPECT_EQ(ReadBytes(Host("out/ro/inside.txt")), "made before its folder is closed");
  EXPECT_EQ(fs::read_symlink(Host("out/up")), "sub/data.txt");
  EXPECT_EQ(ReadBytes(Host("out/sub/same")), "data");

  // An entry below a link is not written through the link.
  const fs::path through = Crafted({{"alias", 0120777, "sub"}, {"alias/x", 0100644, "x"}});
  const ToolRun refused = RunProgram(through.string(), {"--target", Host("out2").string(), "--noexec"});
  EXPECT_EQ(refused.exitCode, 4);
  EXPECT_THAT(refused.err, HasSubstr("alias/x: cannot be written: a link or a file is in the way"));
}

TEST_F(SfxExtract, FullOrReadOnlyDiskStopsWithAMessageAndAFreshFolderIsRemoved) {
  if (!MountSmall("small", "size=1m") || !MountSmall("readonly", "size=1m,ro"))
    GTEST_SKIP() << "mounting a small file system needs root";
  // Across file systems the kernel copy may be refused: the data still arrives.
  const fs::path small = Crafted({{"across.txt", 0100644, "copied across file systems"}});
  ASSERT_EQ(RunProgram(small.string(), {"--target", Host("small/ok").string(), "--noexec"}).exitCode, 0);
  EXPECT_EQ(ReadBytes(Host("small/ok/across.txt")), "copied across file systems");
  fs::remove_all(Host("small/ok"));

  // Declared sizes beyond the free space: refused before anything is written.
  const fs::path large = Crafted({{"big.bin", 0100644, std::string(1500000, 'b')}});
  const ToolRun tooLarge = RunProgram(large.string(), {"--target", Host("small/x").string(), "--noexec"});
  EXPECT_EQ(tooLarge.exitCode, 4);
  EXPECT_THAT(tooLarge.err, HasSubstr("not enough room in "));
  EXPECT_FALSE(fs::exists(Host("small/x/big.bin")));

  // Small declared sizes, but each file takes a page of the file system: the
  // disk fills midway, and the failed write is reported, not zero-filled.
  std::vector<CraftedEntry> many;
  for (int i = 0; i < 400; ++i) many.push_back({"f" + std::to_string(1000 + i), 0100644, "x"});
  const fs::path crowded = Crafted(many);
  const ToolRun full = RunProgram(crowded.string(), {"--target", Host("small/y").string(), "--noexec"});
  EXPECT_EQ(full.exitCode, 4);
  EXPECT_THAT(full.err, HasSubstr("cannot be written: No space left on device"));

  const ToolRun readOnly = RunProgram(large.string(), {"--target", Host("readonly").string(), "--noexec"});
  EXPECT_EQ(readOnly.exitCode, 4);
  EXPECT_THAT(readOnly.err, HasSubstr("Read-only file system"));

  // The same into a fresh temporary folder: it is removed again.
  fs::remove_all(Host("small/x"));
  fs::remove_all(Host("small/y"));
  ::setenv("TMPDIR", Host("small").c_str(), 1);
  const ToolRun fresh = RunProgram(crowded.string(), {"--noexec"});
  ::unsetenv("TMPDIR");
  EXPECT_EQ(fresh.exitCode, 4);
  EXPECT_TRUE(fs::is_empty(Host("small"))) << "the partial extraction is left behind";
}

TEST_F(SfxExtract, SfxmakerRefusesSpecialFilesAndLinksLeadingOutside) {
  ASSERT_EQ(::mkfifo(Host("src/temp/pipe").c_str(), 0644), 0);
  ToolRun run = Make();
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_THAT(run.err, HasSubstr("pipe: is a FIFO, not a file"));
  fs::remove(Host("src/temp/pipe"));

  Put("elsewhere/secret.txt", "secret");
  fs::create_symlink(Host("elsewhere/secret.txt"), Host("src/temp/leak"));
  run = Make();
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_THAT(run.err, HasSubstr("leak: the link leads outside the folder being packed"));
  EXPECT_FALSE(fs::exists(Host("src/netsetup.exe")));
  fs::remove(Host("src/temp/leak"));

  // Links inside the folder, absolute or not, arrive as relative links.
  Put("src/temp/sub/deep.txt", "deep");
  fs::create_symlink(Host("src/temp/sub/deep.txt"), Host("src/temp/current"));
  fs::create_directory_symlink("sub", Host("src/temp/alias"));
  ASSERT_EQ(Make().exitCode, 0);
  const ToolRun extracted = RunProgram(Host("src/netsetup.exe").string(), {"--target", Host("x").string(), "--noexec"});
  ASSERT_EQ(extracted.exitCode, 0) << extracted.err;
  EXPECT_EQ(fs::read_symlink(Host("x/current")), "sub/deep.txt");
  EXPECT_EQ(fs::read_symlink(Host("x/alias")), "sub");
  EXPECT_EQ(ReadBytes(Host("x/alias/deep.txt")), "deep");
}

}  // namespace
}  // namespace kc::tools::test
