#include "sfxmaker/sfx_writer.h"

#include "common/atomic_output.h"
#include "common/host_path.h"
#include "common/names.h"
#include "common/sfx_trailer.h"
#include "common/source_tree.h"
#include "common/tool_failure.h"
#include "common/zip_writer.h"

namespace kc::tools {
namespace {

std::string WithoutTrailingSeparator(std::string folder) {
  while (folder.size() > 1 && (folder.back() == '\\' || folder.back() == '/') && folder[folder.size() - 2] != ':')
    folder.pop_back();
  return folder;
}

}  // namespace

SfxWritten WriteSelfExtractor(const SfxSettings& settings, const unsigned char* stub, std::size_t stubSize) {
  // Everything below SrcDir goes in, hidden files too: it is the image itself.
  // Links are kept as links, and only when they stay inside the folder.
  const FolderScan scan = ScanFolder(WithoutTrailingSeparator(settings.srcDir), "*.*", true, LinkPolicy::KeepInside);
  for (const std::string& leftover : scan.skippedLeftovers)
    std::fprintf(stderr, "sfxmaker: warning: %s: skipped, a temporary file left by an interrupted write\n",
                 leftover.c_str());

  SfxWritten written;
  const std::string destDir = WithoutTrailingSeparator(settings.destDir);
  written.path = destDir + (destDir.back() == '\\' || destDir.back() == '/' ? "" : "\\") + kSfxFileName;
  AtomicOutput output(HostPathOf(written.path), written.path);
  sfx::WholeFileDigest digest;
  output.Write(stub, stubSize);
  digest.Update(stub, stubSize);

  ZipWriter zip(
      [&](const void* data, std::size_t size) {
        output.Write(data, size);
        digest.Update(data, size);
      },
      settings.compress ? ZipMethod::Deflate : ZipMethod::Store, written.path);
  for (const SourceFile& file : scan.files) zip.AddFile(file);
  zip.Close();

  sfx::Trailer trailer;
  trailer.payloadOffset = stubSize;
  trailer.payloadLength = zip.bytesWritten();
  trailer.commandLength = static_cast<std::uint32_t>(settings.cmdLine.size());
  output.Write(settings.cmdLine.data(), settings.cmdLine.size());
  digest.Update(settings.cmdLine.data(), settings.cmdLine.size());
  const auto trailerBytes = digest.Seal(trailer);
  output.Write(trailerBytes.data(), trailerBytes.size());
  output.Commit(/*executable=*/true);

  written.entries = scan.files.size();
  written.payloadBytes = trailer.payloadLength;
  return written;
}

}  // namespace kc::tools
