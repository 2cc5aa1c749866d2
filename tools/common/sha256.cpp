// The low-level SHA-256 functions are deprecated in favour of EVP, but EVP
// pulls in the provider machinery (configuration files, dlopen), which a
// statically linked extractor must not carry.
#define OPENSSL_SUPPRESS_DEPRECATED
#include "common/sha256.h"

#include <openssl/sha.h>

#include <stdexcept>

namespace kc::tools {

Sha256::Sha256() : context_(new SHA256_CTX) {
  if (SHA256_Init(context_.get()) != 1) throw std::runtime_error("SHA-256 is not available");
}

Sha256::~Sha256() = default;

void Sha256::Update(const void* data, std::size_t size) {
  if (size != 0 && SHA256_Update(context_.get(), data, size) != 1) throw std::runtime_error("SHA-256 update failed");
}

Digest Sha256::Final() {
  Digest digest{};
  if (SHA256_Final(digest.data(), context_.get()) != 1) throw std::runtime_error("SHA-256 final failed");
  return digest;
}

std::string HexOf(const Digest& digest) {
  static const char kHex[] = "0123456789abcdef";
  std::string hex;
  hex.reserve(digest.size() * 2);
  for (unsigned char byte : digest) {
    hex += kHex[byte >> 4];
    hex += kHex[byte & 15];
  }
  return hex;
}

}  // namespace kc::tools
