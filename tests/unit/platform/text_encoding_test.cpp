// The narrow-text rule (UTF-8, else Windows-1252) on literal bytes; typed text
// and UTF-16 are tried through the controls and the profile functions.
#include "platform/text_encoding.h"

#include <gtest/gtest.h>

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
      {"code-page e acute and guillemets",
       "Caf\xE9 \xAB"
       "Edition\xBB",
       false,
       "Caf\xC3\xA9 \xC2\xAB"
       "Edition\xC2\xBB"},
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
  std::string refused;
  EXPECT_EQ(EncodeUtf8As("a\xF0\x9F\x98\x80", TextEncoding::kWindows1252, &refused), std::nullopt);
  EXPECT_EQ(refused, "\xF0\x9F\x98\x80");  // the whole character, for the message
}

}  // namespace
