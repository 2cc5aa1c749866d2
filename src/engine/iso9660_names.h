// The three names a file has on a disk image: the ISO 9660 name every reader
// knows (level 1: eight characters, a dot, three; upper case letters, digits
// and "_"), the Joliet name Windows shows (UTF-16, big-endian) and the Rock
// Ridge name other systems show (the host's own bytes).
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace kc::engine::iso {

// A Joliet name holds 64 UTF-16 units; a longer one is cut by the writers
// that allow it, and Windows would look for the file under the cut name.
inline constexpr std::size_t kJolietNameUnits = 64;

// Why a host file name cannot be the same name on Windows (Joliet): not UTF-8
// text, longer than 64 UTF-16 units, or holding a character Joliet names
// cannot (a control character, * / : ; ? \). nullopt when it can.
std::optional<std::string> JolietNameProblem(const std::string& utf8Name);

// The UTF-16 big-endian bytes of well-formed UTF-8 text.
std::string Utf16BigEndian(const std::string& utf8);

// Level 1 names for the files of one directory, in the order given, each
// distinct ("SETUP.EXE;1"; a clash keeps the first and numbers the others:
// "A_B.INI;1", "A_B000.INI;1").
std::vector<std::string> PrimaryNames(const std::vector<std::string>& hostNames);

// The order of directory records: by the name before the last ".", then by
// the extension, each compared as if padded with blanks. `unitSize` is 1 for
// ISO 9660 names and 2 for Joliet's UTF-16; the ";1" version is left out of
// the comparison.
bool RecordNameLess(const std::string& a, const std::string& b, std::size_t unitSize);

}  // namespace kc::engine::iso
