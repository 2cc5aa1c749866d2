// The narrow-text rule (UTF-8, else Windows-1252), the Windows-1252 encoding
// of typed text and the UTF-16LE conversions, on literal bytes.
#include "platform/text_encoding.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

using namespace std::string_literals;
using kc::platform::EncodeUtf8As;
using kc::platform::TextEncoding;

struct NarrowCase {
  const char* why;
  std::string bytes;
  bool utf8;
  std::string text;  // NarrowToUtf8
};

TEST(NarrowText, ValidUtf8StaysAndOtherBytesReadAsWindows1252) {
  const NarrowCase cases[] = {
      {"ASCII", "Setup", true, "Setup"},
      {"UTF-8 e acute", "Caf\xC3\xA9", true, "Caf\xC3\xA9"},
      {"code-page e acute and guillemets", "Caf\xE9 \xAB" "Edition\xBB", false,
       "Caf\xC3\xA9 \xC2\xAB" "Edition\xC2\xBB"},
      {"euro sign and curly quotes of the 0x80 row", "\x80\x93\x94", false, "\xE2\x82\xAC\xE2\x80\x9C\xE2\x80\x9D"},
      {"undefined code-page byte is its C1 control", "\x81", false, "\xC2\x81"},
      {"overlong slash is not UTF-8", "\xC0\xAF", false, "\xC3\x80\xC2\xAF"},
      {"encoded surrogate is not UTF-8", "\xED\xA0\x80", false, "\xC3\xAD\xC2\xA0\xE2\x82\xAC"},
      {"cut UTF-8 sequence is not UTF-8", "Caf\xC3", false, "Caf\xC3\x83"},
      {"four-byte UTF-8", "\xF0\x9F\x98\x80", true, "\xF0\x9F\x98\x80"},
      {"above U+10FFFF is not UTF-8", "\xF4\x90\x80\x80", false, "\xC3\xB4\xC2\x90\xE2\x82\xAC\xE2\x82\xAC"},
  };
  for (const NarrowCase& c : cases) {
    SCOPED_TRACE(c.why);
    EXPECT_EQ(kc::platform::IsUtf8(c.bytes), c.utf8);
    EXPECT_EQ(kc::platform::NarrowToUtf8(c.bytes), c.text);
    // Reading bytes as Windows-1252 text never loses them: they encode back.
    EXPECT_EQ(EncodeUtf8As(kc::platform::Windows1252ToUtf8(c.bytes), TextEncoding::kWindows1252), c.bytes);
  }
}

struct EncodeCase {
  const char* why;
  std::string utf8;
  TextEncoding encoding;
  std::optional<std::string> stored;
  std::string refused;  // the character named when not stored
};

TEST(TypedText, IsStoredInTheFilesEncodingOrRefusedWithItsCharacter) {
  const EncodeCase cases[] = {
      {"ASCII in the code page", "Setup", TextEncoding::kWindows1252, "Setup", ""},
      {"e acute in the code page", "Caf\xC3\xA9", TextEncoding::kWindows1252, "Caf\xE9", ""},
      {"euro sign in the code page", "\xE2\x82\xAC", TextEncoding::kWindows1252, "\x80", ""},
      {"L with stroke is not in the code page", "\xC5\x81" "odz", TextEncoding::kWindows1252, std::nullopt, "\xC5\x81"},
      {"emoji is not in the code page", "a\xF0\x9F\x98\x80", TextEncoding::kWindows1252, std::nullopt,
       "\xF0\x9F\x98\x80"},
      {"anything in UTF-8", "\xC5\x81\xF0\x9F\x98\x80", TextEncoding::kUtf8, "\xC5\x81\xF0\x9F\x98\x80", ""},
      {"bytes that are not UTF-8 are no text to encode", "a\xE9", TextEncoding::kUtf8, std::nullopt, "\xE9"},
  };
  for (const EncodeCase& c : cases) {
    SCOPED_TRACE(c.why);
    std::string refused;
    EXPECT_EQ(EncodeUtf8As(c.utf8, c.encoding, &refused), c.stored);
    EXPECT_EQ(refused, c.refused);
  }
}

struct Utf16Case {
  const char* why;
  std::string utf16le;
  std::optional<std::string> utf8;
  std::size_t badOffset;
};

TEST(Utf16Text, DecodesToUtf8AndBackOrNamesTheUnitNoNarrowStringHolds) {
  const Utf16Case cases[] = {
      {"ASCII with CRLF", "[\0s\0]\0\r\0\n\0"s, "[s]\r\n", 0},
      {"e acute", "\xE9\0"s, "\xC3\xA9", 0},
      {"a NUL character is kept", "a\0\0\0b\0"s, "a\0b"s, 0},
      {"surrogate pair", "\x3D\xD8\x00\xDE"s, "\xF0\x9F\x98\x80", 0},
      {"lone high surrogate", "a\0\x3D\xD8" "b\0"s, std::nullopt, 2},
      {"lone low surrogate", "\x00\xDE"s, std::nullopt, 0},
      {"half a unit at the end", "a\0b"s, std::nullopt, 2},
  };
  for (const Utf16Case& c : cases) {
    SCOPED_TRACE(c.why);
    std::size_t bad = 0;
    EXPECT_EQ(kc::platform::Utf16LeToUtf8(c.utf16le, &bad), c.utf8);
    if (c.utf8) {
      EXPECT_EQ(kc::platform::NarrowToUtf16Le(*c.utf8), c.utf16le);
    } else {
      EXPECT_EQ(bad, c.badOffset);
    }
  }
  // Narrow text that is not UTF-8 goes to UTF-16 as the Windows-1252 text it is.
  EXPECT_EQ(kc::platform::NarrowToUtf16Le("Caf\xE9\x80"), "C\0a\0f\0\xE9\0\xAC\x20"s);
}

}  // namespace
