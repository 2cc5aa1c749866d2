// SHA-256 through OpenSSL's low-level functions, which use the processor's SHA
// instructions where it has them. They need nothing of OpenSSL's providers or
// configuration, so the self-extractor can link them statically; everything
// that hashes in the tools and the verifier goes through this one class.
#pragma once

#include <array>
#include <cstddef>
#include <memory>
#include <string>

struct SHA256state_st;

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
  std::unique_ptr<SHA256state_st> context_;
};

std::string HexOf(const Digest& digest);

}  // namespace kc::tools
