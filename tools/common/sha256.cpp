#include "common/sha256.h"

#include <openssl/evp.h>

#include <stdexcept>

namespace kc::tools {

Sha256::Sha256() : context_(EVP_MD_CTX_new()) {
  if (!context_ || EVP_DigestInit_ex(context_, EVP_sha256(), nullptr) != 1)
    throw std::runtime_error("SHA-256 is not available");
}

Sha256::~Sha256() {
  EVP_MD_CTX_free(context_);
}

void Sha256::Update(const void* data, std::size_t size) {
  if (size != 0 && EVP_DigestUpdate(context_, data, size) != 1) throw std::runtime_error("SHA-256 update failed");
}

Digest Sha256::Final() {
  Digest digest{};
  unsigned int length = 0;
  if (EVP_DigestFinal_ex(context_, digest.data(), &length) != 1 || length != digest.size())
    throw std::runtime_error("SHA-256 final failed");
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
