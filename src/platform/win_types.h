// Windows base types, constants and the thread's last error, as the rest of the
// system names them. Only the platform layer gives them meaning on POSIX.
#pragma once

#include <cstdint>
#include <string>

namespace win {

using BOOL = int;
using DWORD = std::uint32_t;
using UINT = unsigned int;
using LPCSTR = const char*;
using LPSTR = char*;
using HANDLE = void*;
using LPVOID = void*;

inline constexpr BOOL TRUE = 1;
inline constexpr BOOL FALSE = 0;

// A path buffer holds at most MAX_PATH - 1 characters and the terminator.
inline constexpr DWORD MAX_PATH = 260;

inline const HANDLE INVALID_HANDLE_VALUE = reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(-1));

// Error codes used by the platform layer (the Windows values).
inline constexpr DWORD ERROR_SUCCESS = 0;
inline constexpr DWORD ERROR_FILE_NOT_FOUND = 2;
inline constexpr DWORD ERROR_PATH_NOT_FOUND = 3;
inline constexpr DWORD ERROR_ACCESS_DENIED = 5;
inline constexpr DWORD ERROR_INVALID_HANDLE = 6;
inline constexpr DWORD ERROR_NOT_ENOUGH_MEMORY = 8;
inline constexpr DWORD ERROR_INVALID_DRIVE = 15;
inline constexpr DWORD ERROR_NO_MORE_FILES = 18;
inline constexpr DWORD ERROR_WRITE_FAULT = 29;
inline constexpr DWORD ERROR_SHARING_VIOLATION = 32;
inline constexpr DWORD ERROR_FILE_EXISTS = 80;
inline constexpr DWORD ERROR_INVALID_PARAMETER = 87;
inline constexpr DWORD ERROR_DISK_FULL = 112;
inline constexpr DWORD ERROR_INVALID_NAME = 123;
inline constexpr DWORD ERROR_DIR_NOT_EMPTY = 145;
inline constexpr DWORD ERROR_BAD_PATHNAME = 161;
inline constexpr DWORD ERROR_ALREADY_EXISTS = 183;
inline constexpr DWORD ERROR_FILENAME_EXCED_RANGE = 206;
inline constexpr DWORD ERROR_DIRECTORY = 267;
inline constexpr DWORD ERROR_NO_UNICODE_TRANSLATION = 1113;

DWORD GetLastError();
void SetLastError(DWORD code);
// The same with the particular reason, which LastErrorText appends.
void SetLastError(DWORD code, std::string detail);

// Maps an errno value onto the nearest Windows error code and records it, so
// callers see the codes they would see on Windows.
void SetLastErrorFromErrno(int err);

// A readable sentence for the thread's last error ("The system cannot find the
// file specified."), for failure reports; the host's own reason, or the detail
// given with the code, is appended when one was recorded ("... (No such file or
// directory)").
std::string LastErrorText();

}  // namespace win
