// The extractor program, built as its own executable and embedded into
// sfxmaker at build time (embedded_stub.cpp), so that sfxmaker.exe is complete
// on its own.
#pragma once

#include <cstddef>

namespace kc::sfx {

const unsigned char* EmbeddedStubData();
std::size_t EmbeddedStubSize();

}  // namespace kc::sfx
