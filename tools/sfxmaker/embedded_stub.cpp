#include "sfxmaker/embedded_stub.h"

// KC_SFX_STUB_PATH is the extractor's file in the build tree (set by CMake,
// which also rebuilds this file when the extractor changes).
__asm__(
    ".section .rodata\n"
    ".balign 16\n"
    ".globl kc_sfx_stub_begin\n"
    ".hidden kc_sfx_stub_begin\n"
    "kc_sfx_stub_begin:\n"
    ".incbin \"" KC_SFX_STUB_PATH
    "\"\n"
    ".globl kc_sfx_stub_end\n"
    ".hidden kc_sfx_stub_end\n"
    "kc_sfx_stub_end:\n"
    ".previous\n");

extern "C" const unsigned char kc_sfx_stub_begin[];
extern "C" const unsigned char kc_sfx_stub_end[];

namespace kc::sfx {

const unsigned char* EmbeddedStubData() {
  return kc_sfx_stub_begin;
}
std::size_t EmbeddedStubSize() {
  return static_cast<std::size_t>(kc_sfx_stub_end - kc_sfx_stub_begin);
}

}  // namespace kc::sfx
