#include "config/profile_access.h"

#include "platform/profile.h"

namespace kc::config {

std::string ReadValue(const std::string& file, const char* section, const char* key, unsigned capacity) {
  std::string buffer(capacity, '\0');
  const win::DWORD n = win::GetPrivateProfileStringA(section, key, "", buffer.data(), capacity, file.c_str());
  buffer.resize(n);
  return buffer;
}

bool WriteValue(const std::string& file, const char* section, const char* key, const char* value) {
  return win::WritePrivateProfileStringA(section, key, value, file.c_str()) != win::FALSE;
}

namespace {

std::vector<std::string> SplitList(const char* data, win::DWORD length) {
  std::vector<std::string> names;
  const char* p = data;
  const char* end = data + length;
  while (p < end && *p != '\0') {
    std::string name(p);
    p += name.size() + 1;
    names.push_back(std::move(name));
  }
  return names;
}

}  // namespace

std::vector<std::string> ReadKeyList(const std::string& file, const char* section, unsigned capacity) {
  std::string buffer(capacity + 2, '\0');
  const win::DWORD n = win::GetPrivateProfileStringA(section, nullptr, "", buffer.data(), capacity, file.c_str());
  return SplitList(buffer.data(), n);
}

std::vector<std::string> ReadAllKeys(const std::string& file, const char* section) {
  // A list that fills capacity - 2 characters may have been cut; grow until it fits.
  for (win::DWORD capacity = 4096;; capacity *= 4) {
    std::string buffer(capacity, '\0');
    const win::DWORD n = win::GetPrivateProfileStringA(section, nullptr, "", buffer.data(), capacity, file.c_str());
    if (n + 2 < capacity || capacity >= (1u << 30)) {
      return SplitList(buffer.data(), n);
    }
  }
}

bool IsPlatform16(const std::string& choicesFile, unsigned capacity) {
  return IsExactly(ReadValue(choicesFile, kGlobal, kPlatform, capacity), kPlatform16);
}

const char* PlatformSection(const std::string& choicesFile, unsigned capacity) {
  return IsPlatform16(choicesFile, capacity) ? kChoices16 : kChoices32;
}

}  // namespace kc::config
