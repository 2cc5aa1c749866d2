// Listing and extracting the payload.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "sfxmaker/stub/payload.h"

namespace kc::sfx {

struct PayloadEntry {
  std::string name;
  long long size = 0;
};

// Reads every entry header. false with `error` set when the archive is damaged.
bool ListEntries(Payload& payload, std::vector<PayloadEntry>& entries, std::string& error);

// Why an entry name must not be extracted ("absolute path", "\"..\" in the
// path"), or empty when it is safe.
std::string UnsafeNameReason(const std::string& name);

// Extracts into the current folder, keeping each entry's mode and time; names
// are checked first, so an unsafe name means nothing is extracted.
bool ExtractHere(Payload& payload, std::string& error);

}  // namespace kc::sfx
