// INI profile access with the behaviour of the Windows profile functions.
//
// Every call reads the file afresh; nothing is cached. Names match without
// regard to case, CR, LF and CRLF all end a line, and files are written as
// Windows INI text (CRLF). A write replaces the file atomically: a temporary
// file beside it, flushed, then renamed over it.
#pragma once

#include <string>

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

}  // namespace win
