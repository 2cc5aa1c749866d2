// Text as UTF-8 for the calling thread, whatever locale the process runs in.
// Libraries that convert file names between character sets (libarchive's ISO
// reader gives Joliet's UTF-16 names) convert through the thread's locale;
// under "C" (a build server without LANG) every name outside ASCII would
// fail, and under a Latin-1 locale it would be read otherwise.
// Host file names are UTF-8, so the conversion is pinned to it while this
// object lives. Only the thread's locale changes; no other thread sees it.
#pragma once

namespace kc::platform {

class Utf8TextScope {
 public:
  Utf8TextScope();
  ~Utf8TextScope();
  Utf8TextScope(const Utf8TextScope&) = delete;
  Utf8TextScope& operator=(const Utf8TextScope&) = delete;

 private:
  void* previous_ = nullptr;  // locale_t
  void* utf8_ = nullptr;      // locale_t; null when the system has no UTF-8 locale
};

}  // namespace kc::platform
