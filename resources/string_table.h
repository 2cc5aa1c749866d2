// The program's string table: texts used by several parts, by entry number.
#pragma once

namespace kc {

inline constexpr int IDS_NEW_CONFIGURATION = 1;
inline constexpr int IDS_NO_SPACE = 2;
inline constexpr int IDS_INVALID_OUTPUT_DRIVE = 3;
inline constexpr int IDS_INVALID_BASE_PATH = 4;
inline constexpr int IDS_INVALID_PROFILE_PATH = 5;
inline constexpr int IDS_INSTALLING = 6;
inline constexpr int IDS_CONFIGURING = 7;
inline constexpr int IDS_COPYING = 8;
inline constexpr int IDS_FILES = 9;
inline constexpr int IDS_DIALUP_FILTER = 10;
inline constexpr int IDS_INVALID_DIALUP = 11;
inline constexpr int IDS_NEED_DESCRIPTION = 12;
inline constexpr int IDS_NEED_EXECUTABLE = 13;
inline constexpr int IDS_NEED_SIZE = 14;
inline constexpr int IDS_INVALID_INSTALLER_PATH = 15;

// The text of an entry, or an empty string for an unknown one.
const char* LoadString(int id);

}  // namespace kc
