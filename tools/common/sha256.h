// SHA-256 through OpenSSL's EVP interface, which uses the processor's SHA
// instructions where it has them.
#pragma once

#include <array>
#include <cstddef>
#include <string>

struct evp_md_ctx_st;

namespace kc::tools {

using Digest = std::array<unsigned char, 32>;

class Sha256 {
 public:
  Sha256();
  ~Sha256();
  Sha256(const Sha256&) = delete;
  Sha256& operator=(const Sha256&) = delete;

  void Update(const void* data, std::size_t size);
  Digest Final();

 private:
  evp_md_ctx_st* context_;
};

std::string HexOf(const Digest& digest);

}  // namespace kc::tools
