// The extractor at the front of every network image must start on a bare
// system: the shared libraries its ELF file asks for (DT_NEEDED) are the C
// library and libraries of every Debian base system, never libarchive or the
// compression libraries (those are linked in).
#include <elf.h>
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "tool_run.h"

namespace kc::tools::test {
namespace {

// The DT_NEEDED names of a 64-bit ELF file, read through its section headers
// (the stub is stripped of symbols, not of sections). Empty when malformed.
std::vector<std::string> NeededLibraries(const std::string& elf) {
  std::vector<std::string> needed;
  Elf64_Ehdr header;
  if (elf.size() < sizeof header || std::memcmp(elf.data(), ELFMAG, SELFMAG) != 0 || elf[EI_CLASS] != ELFCLASS64)
    return needed;
  std::memcpy(&header, elf.data(), sizeof header);
  auto section = [&](std::size_t index, Elf64_Shdr& out) {
    const std::size_t at = header.e_shoff + index * header.e_shentsize;
    if (index >= header.e_shnum || at + sizeof out > elf.size()) return false;
    std::memcpy(&out, elf.data() + at, sizeof out);
    return true;
  };
  for (std::size_t i = 0; i < header.e_shnum; ++i) {
    Elf64_Shdr dynamic, strings;
    if (!section(i, dynamic) || dynamic.sh_type != SHT_DYNAMIC || !section(dynamic.sh_link, strings)) continue;
    for (std::size_t at = dynamic.sh_offset;
         at + sizeof(Elf64_Dyn) <= dynamic.sh_offset + dynamic.sh_size && at + sizeof(Elf64_Dyn) <= elf.size();
         at += sizeof(Elf64_Dyn)) {
      Elf64_Dyn entry;
      std::memcpy(&entry, elf.data() + at, sizeof entry);
      if (entry.d_tag == DT_NULL) break;
      const std::size_t name = strings.sh_offset + entry.d_un.d_val;
      if (entry.d_tag == DT_NEEDED && name < elf.size()) needed.emplace_back(elf.c_str() + name);
    }
  }
  return needed;
}

TEST(SfxStub, NeedsOnlyTheCLibrary) {
  // The C library and its loader: what every Linux system has.
  const std::set<std::string> base = {"libc.so.6", "libm.so.6", "ld-linux-x86-64.so.2", "ld-linux-aarch64.so.1"};
  const std::vector<std::string> needed = NeededLibraries(ReadBytes(KC_SFX_STUB_FILE));
  ASSERT_FALSE(needed.empty()) << KC_SFX_STUB_FILE << " is no dynamically linked 64-bit ELF file";
  for (const std::string& library : needed)
    EXPECT_TRUE(base.count(library)) << library << " is not on a bare Debian system: the extractor would not start";
}

}  // namespace
}  // namespace kc::tools::test
