// INI profile access with the behaviour of the Windows profile functions.
//
// Every call reads the file afresh; nothing is cached. Names match without
// regard to case, CR, LF and CRLF all end a line, and files are written as
// Windows INI text (CRLF). A write replaces the file atomically: a temporary
// file beside it, flushed, then renamed over it.
//
// Files in three forms (see ini_encoding.h): ANSI files are bytes, compared
// and stored as given. A UTF-8 byte order mark is skipped on reading and kept
// on rewriting. A UTF-16LE file (with its byte order mark) is read as UTF-8
// and rewritten in UTF-16LE; the names and values of calls on it, and on a
// UTF-8 file with a mark, are narrow text (UTF-8, or Windows-1252 where the
// bytes are not UTF-8). A UTF-16 file that holds what no narrow string can is
// neither read (the default comes back) nor rewritten: the write fails with
// ERROR_NO_UNICODE_TRANSLATION and the reason.
#pragma once

#include <string>

#include "platform/text_encoding.h"
#include "platform/win_types.h"

namespace win {

// Reads a value, or with a null key the section's key names, or with a null
// section the file's section names (each NUL-terminated, one more NUL after the
// last). A value that does not fit is cut to size-1 characters (returns size-1);
// a list that does not fit (or fits exactly) is cut to size-2 characters and
// ends with two NULs (returns size-2). Missing file, section or key, or a key
// list of an empty section: the default (trailing blanks dropped, a null
// default reads as "") is copied. Returns the characters copied,
// terminators not counted.
DWORD GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR defaultValue, LPSTR buffer, DWORD size,
                               LPCSTR fileName);

// Creates or replaces key=value in section; a null value deletes the key, a null
// key deletes the section. Returns FALSE, leaving the file untouched, when the
// file cannot be written, or when the section, key or value could not be read
// back as written (a line break anywhere; "=" in the key; a key beginning with
// "[" or ";"; "]" in the section name).
BOOL WritePrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR fileName);

// The reason a key, value or section name would be refused by
// WritePrivateProfileStringA, or an empty string when it is acceptable. Pages
// that store text a user typed use it to tell the user what is wrong.
std::string ProfileTextProblem(LPCSTR section, LPCSTR key, LPCSTR value);

// The encoding in which text that a user types for this INI file is stored:
// Windows-1252 when the file holds bytes that are not UTF-8 (a file written
// with the Windows code page), else UTF-8 (also for a missing file and for a
// UTF-16 file, whose text these functions give and take as UTF-8).
kc::platform::TextEncoding ProfileTextEncoding(LPCSTR fileName);

}  // namespace win
