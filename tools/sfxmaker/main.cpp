// sfxmaker: the self-extracting network installer.
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "common/tool_cli.h"
#include "common/tool_failure.h"
#include "sfxmaker/embedded_stub.h"
#include "sfxmaker/sfx_settings.h"
#include "sfxmaker/sfx_writer.h"

namespace {

constexpr const char* kHelp = R"(Usage:
  sfxmaker.exe INIFILE

Packs a folder into one self-extracting executable. INIFILE is a Windows path
(drive letter, backslashes), mapped through the drive table (KITCOMP_DRIVES);
all arguments together, joined with single spaces, are taken as that path, so
a path with blanks works quoted or not. --version prints the version.
Section [SFX Maker] of INIFILE holds:
  SrcDir=<folder to pack, trailing backslash allowed>
  DestDir=<folder that receives netsetup.exe>
  CmdLine=<command run in the extraction folder, e.g. setup.exe>
  Compress=<"0" or missing: store the files as they are; anything else: deflate>

Output: DestDir\netsetup.exe, written to a temporary file and renamed into
place, made executable. Layout:
  [extractor program][zip archive of SrcDir][CmdLine][64-byte trailer]
The zip holds every file below SrcDir (subfolders and hidden files included)
under its relative path with "/" separators, in name order without regard to
case, with its own modification time, mode 0644 or 0755, owner 0:0; links that
stay inside SrcDir are kept as links. Refused (exit 2): FIFOs, sockets, device
nodes and links leading outside SrcDir. Temporary files left by an interrupted
copy or write (".<name>.tmp-<hex>", ".<name>.copy-<hex>") are skipped.
Trailer (format 2), little-endian: archive offset (u64), archive length (u64),
CmdLine length (u32), format version 2 (u32), SHA-256 (32 bytes) of every byte
of the file except these 32, magic "KCSFX2\r\n".

Running netsetup.exe verifies the checksum, extracts into a fresh temporary
folder (or --target DIR), refusing absolute names, "..", special files, links
leading out and files beyond the free space, and runs CmdLine there; see
netsetup.exe --help for --list, --check, --target, --noexec, --keep.

Exit status: 0 done; 2 bad usage, INIFILE or a key missing, SrcDir missing, a
file unreadable or refused; 3 the output could not be written.
)";

}  // namespace

int main(int argc, char** argv) {
  using namespace kc::tools;
  return RunTool("sfxmaker", [&] {
    std::string iniPath;
    if (const std::optional<int> finished =
            ParseJoinedPath("sfxmaker", kHelp, std::vector<std::string>(argv + 1, argv + argc), iniPath))
      return *finished;
    if (iniPath.empty()) throw ToolFailure(kExitBadInput, "no INI file given (see sfxmaker --help)");
    const SfxSettings settings = ReadSfxSettings(iniPath);
    const SfxWritten written = WriteSelfExtractor(settings, kc::sfx::EmbeddedStubData(), kc::sfx::EmbeddedStubSize());
    std::printf("%s: %zu files, %llu bytes of archive\n", written.path.c_str(), written.entries,
                static_cast<unsigned long long>(written.payloadBytes));
    return kExitOk;
  });
}
