// How the bytes of an INI file hold its text: ANSI (bytes as they are, the
// Windows profile functions' own form), UTF-8 behind a byte order mark, or
// UTF-16LE behind one (as Windows tools and the Unicode profile functions
// write them). The text layer of ini_text works on the decoded text, so every
// layout rule is the same in each form; a rewrite keeps the form and its byte
// order mark.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/text_encoding.h"

namespace win::ini {

enum class FileForm : std::uint8_t { kAnsi, kUtf8Bom, kUtf16LeBom };

struct FileText {
  FileForm form = FileForm::kAnsi;
  // The text the text layer reads: the bytes after the byte order mark, as
  // UTF-8 for a UTF-16 file.
  std::string text;
};

// Decodes a file's bytes. False for a UTF-16 file that holds what no narrow
// string can (an unpaired surrogate, half a code unit); `problem` says where.
// The bytes are taken over (an ANSI file's text is its bytes, not a copy).
bool DecodeFileText(std::string bytes, FileText& out, std::string& problem);
// The bytes of a file with this text in this form.
std::string EncodeFileText(FileForm form, std::string text);

// A name or value of a profile call as the text layer compares and stores it
// for a file of this form. A file that declares UTF-8 or UTF-16 takes narrow
// text by the narrow-text rule (bytes that are not UTF-8 are Windows-1252), so
// it never holds bytes of another encoding; an ANSI file takes the bytes as
// they are, as Windows does.
std::string ArgumentText(FileForm form, std::string_view argument);

// The encoding in which text typed for this file is best stored: Windows-1252
// for an ANSI file holding bytes that are not UTF-8 (written with the Windows
// code page), UTF-8 otherwise.
kc::platform::TextEncoding TypedTextEncoding(const FileText& file);

}  // namespace win::ini
