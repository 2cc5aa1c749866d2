// How the system reads and writes its INI state: one profile call per value,
// an empty default, a fixed capacity per group of reads, exact comparisons, and
// the platform section rule.
#pragma once

#include <string>
#include <vector>

#include "config/keys.h"

namespace kc::config {

// Reads one value with an empty default into a buffer of `capacity` characters,
// so a value longer than capacity - 1 comes back cut to that length.
std::string ReadValue(const std::string& file, const char* section, const char* key,
                      unsigned capacity = kCapacityDefault);

// Writes one value; a null value deletes the key, a null key the section.
// Returns false when the write was refused or failed.
bool WriteValue(const std::string& file, const char* section, const char* key, const char* value);
inline bool WriteValue(const std::string& file, const char* section, const char* key, const std::string& value) {
  return WriteValue(file, section, key, value.c_str());
}

// The key names of a section read into a buffer of `capacity` characters, as a
// fixed buffer would hold them: a list that does not fit ends with a name cut
// short.
std::vector<std::string> ReadKeyList(const std::string& file, const char* section, unsigned capacity);

// The whole list of key names of a section, however long.
std::vector<std::string> ReadAllKeys(const std::string& file, const char* section);

// Exact, case-sensitive comparison of a value read with a value word.
inline bool IsExactly(const std::string& value, const char* word) {
  return value == word;
}

// "Choices-16" when [Global] "Platform" of the choices file is exactly "16",
// else "Choices-32". The capacity is that of the reading part (12 on the dialog
// control page, 260 elsewhere).
const char* PlatformSection(const std::string& choicesFile, unsigned capacity = kCapacityDefault);
bool IsPlatform16(const std::string& choicesFile, unsigned capacity = kCapacityDefault);

// "YES" or "NO" for a check state; the three-word reboot choice.
inline const char* YesNo(bool checked) {
  return checked ? kYes : kNo;
}
inline const char* EnabledDisabled(bool locked) {
  return locked ? kDisabled : kEnabled;
}

}  // namespace kc::config
