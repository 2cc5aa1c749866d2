#include "platform/text_encoding.h"

namespace kc::platform {
namespace {

// Code points of the bytes 0x80 to 0x9F; the rest of the upper half is Latin-1.
constexpr char32_t kWindows1252High[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                           0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                           0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                           0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// Decodes the UTF-8 sequence at bytes[i]; returns its length, 0 when invalid.
std::size_t DecodeUtf8(std::string_view bytes, std::size_t i, char32_t& c) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(bytes[k]); };
  const unsigned char lead = byte(i);
  std::size_t length = 0;
  char32_t min = 0;
  if (lead < 0x80) {
    c = lead;
    return 1;
  }
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, c = lead & 0x1F, min = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, c = lead & 0x0F, min = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, c = lead & 0x07, min = 0x10000;
  } else {
    return 0;
  }
  if (i + length > bytes.size()) return 0;
  for (std::size_t k = 1; k < length; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) return 0;
    c = (c << 6) | (byte(i + k) & 0x3F);
  }
  if (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return 0;
  return length;
}

std::optional<unsigned char> Windows1252Byte(char32_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<unsigned char>(c);
  for (unsigned k = 0; k < 32; ++k) {
    if (kWindows1252High[k] == c) return static_cast<unsigned char>(0x80 + k);
  }
  return std::nullopt;
}

}  // namespace

bool IsUtf8(std::string_view bytes) {
  char32_t c = 0;
  for (std::size_t i = 0; i < bytes.size();) {
    if (static_cast<unsigned char>(bytes[i]) < 0x80) {
      ++i;
      continue;
    }
    const std::size_t n = DecodeUtf8(bytes, i, c);
    if (n == 0) return false;
    i += n;
  }
  return true;
}

std::string Windows1252ToUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 2);
  for (char b : bytes) {
    const auto u = static_cast<unsigned char>(b);
    AppendUtf8(out, u >= 0x80 && u < 0xA0 ? kWindows1252High[u - 0x80] : char32_t{u});
  }
  return out;
}

std::string NarrowToUtf8(std::string_view bytes) {
  return IsUtf8(bytes) ? std::string(bytes) : Windows1252ToUtf8(bytes);
}

std::optional<std::string> EncodeUtf8As(std::string_view utf8, TextEncoding encoding, std::string* refused) {
  std::string out;
  out.reserve(utf8.size());
  char32_t c = 0;
  for (std::size_t i = 0; i < utf8.size();) {
    const std::size_t n = DecodeUtf8(utf8, i, c);
    if (n == 0) {
      if (refused) *refused = std::string(1, utf8[i]);
      return std::nullopt;
    }
    if (encoding == TextEncoding::kUtf8) {
      out.append(utf8.substr(i, n));
      i += n;
      continue;
    }
    const std::optional<unsigned char> b = Windows1252Byte(c);
    if (!b) {
      if (refused) *refused = std::string(utf8.substr(i, n));
      return std::nullopt;
    }
    out += static_cast<char>(*b);
    i += n;
  }
  return out;
}

std::optional<std::string> Utf16LeToUtf8(std::string_view bytes, std::size_t* badOffset) {
  const auto unit = [&](std::size_t k) {
    return static_cast<char32_t>(static_cast<unsigned char>(bytes[k]) |
                                 (static_cast<unsigned char>(bytes[k + 1]) << 8));
  };
  std::string out;
  out.reserve(bytes.size() / 2 + bytes.size() / 8);
  std::size_t i = 0;
  for (; i + 1 < bytes.size(); i += 2) {
    char32_t c = unit(i);
    if (c >= 0xD800 && c <= 0xDBFF && i + 3 < bytes.size() && unit(i + 2) >= 0xDC00 && unit(i + 2) <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (unit(i + 2) - 0xDC00);
      i += 2;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      if (badOffset) *badOffset = i;
      return std::nullopt;
    }
    AppendUtf8(out, c);
  }
  if (i != bytes.size()) {  // half a unit at the end
    if (badOffset) *badOffset = i;
    return std::nullopt;
  }
  return out;
}

std::string NarrowToUtf16Le(std::string_view bytes) {
  const std::string utf8 = NarrowToUtf8(bytes);
  std::string out;
  out.reserve(utf8.size() * 2);
  const auto put = [&](char32_t u) {
    out += static_cast<char>(u & 0xFF);
    out += static_cast<char>(u >> 8);
  };
  char32_t c = 0;
  for (std::size_t i = 0; i < utf8.size();) {
    i += DecodeUtf8(utf8, i, c);  // valid throughout: never 0
    if (c >= 0x10000) {
      put(0xD800 + ((c - 0x10000) >> 10));
      put(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
      put(c);
    }
  }
  return out;
}

}  // namespace kc::platform
