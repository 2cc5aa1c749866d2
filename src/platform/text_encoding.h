// Text encodings the program meets in files written by Windows tools: UTF-8,
// the Windows-1252 code page and UTF-16LE. Narrow strings are bytes; these
// helpers say what the bytes mean and convert between the forms, never
// altering a character silently.
//
// The rule that holds for narrow text everywhere: bytes that are valid UTF-8
// are UTF-8, any others are Windows-1252. Every byte has a Windows-1252
// meaning (the five bytes the code page leaves undefined stand for the C1
// controls U+0081, U+008D, U+008F, U+0090 and U+009D, as Windows' own
// conversion gives them), so reading bytes as text never fails and the text
// encodes back to the same bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kc::platform {

enum class TextEncoding : std::uint8_t { kUtf8, kWindows1252 };

inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
inline constexpr std::string_view kUtf16LeBom = "\xFF\xFE";

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool IsUtf8(std::string_view bytes);

// Windows-1252 bytes as UTF-8.
std::string Windows1252ToUtf8(std::string_view bytes);
// The text of narrow bytes as UTF-8, by the rule above.
std::string NarrowToUtf8(std::string_view bytes);

// UTF-8 text in `encoding`. nullopt when a character has no code there (only
// possible for Windows-1252) or the text is not UTF-8; `refused` then gets the
// first character that cannot be held (as UTF-8; the raw byte for text that is
// not UTF-8).
std::optional<std::string> EncodeUtf8As(std::string_view utf8, TextEncoding encoding, std::string* refused = nullptr);

// UTF-16LE bytes (no byte order mark) as UTF-8. nullopt for an odd number of
// bytes or an unpaired surrogate, which no narrow string can hold; `badOffset`
// then gets the offset of the offending unit.
std::optional<std::string> Utf16LeToUtf8(std::string_view bytes, std::size_t* badOffset = nullptr);
// The text of narrow bytes (by the rule above) as UTF-16LE bytes, no byte
// order mark.
std::string NarrowToUtf16Le(std::string_view bytes);

}  // namespace kc::platform
