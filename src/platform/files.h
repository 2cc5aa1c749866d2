// Files and folders with the Windows semantics the system relies on. Every path
// argument is a Windows path (see drives.h); paths of MAX_PATH characters or
// more are refused with ERROR_FILENAME_EXCED_RANGE.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string_view>

#include "platform/win_types.h"

namespace win {

inline constexpr DWORD FILE_ATTRIBUTE_READONLY = 0x01;
inline constexpr DWORD FILE_ATTRIBUTE_HIDDEN = 0x02;
inline constexpr DWORD FILE_ATTRIBUTE_DIRECTORY = 0x10;
inline constexpr DWORD FILE_ATTRIBUTE_ARCHIVE = 0x20;
inline constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x80;
inline constexpr DWORD FILE_ATTRIBUTE_REPARSE_POINT = 0x400;  // a symbolic link
inline constexpr DWORD INVALID_FILE_ATTRIBUTES = 0xFFFFFFFF;

struct WIN32_FIND_DATAA {
  DWORD dwFileAttributes = 0;
  DWORD nFileSizeHigh = 0;
  DWORD nFileSizeLow = 0;
  std::int64_t ftLastWriteTime = 0;  // seconds since the Unix epoch
  char cFileName[MAX_PATH] = {};
};

// Copies a file, keeping its modification time. Fails when the target exists and
// failIfExists is set, and when source and target are one file (reached by two
// names): the file is left intact. The target is replaced atomically.
BOOL CopyFileA(LPCSTR existingFileName, LPCSTR newFileName, BOOL failIfExists);

// Deletes a file. Fails on a folder and on a read-only file (ERROR_ACCESS_DENIED).
// A symbolic link is deleted as a link, whatever it points at.
BOOL DeleteFileA(LPCSTR fileName);

// Creates one folder level. ERROR_ALREADY_EXISTS when something is there,
// ERROR_PATH_NOT_FOUND when the parent is missing.
BOOL CreateDirectoryA(LPCSTR pathName, LPVOID securityAttributes);

// Removes an empty folder; a symbolic link to a folder is removed as a link.
BOOL RemoveDirectoryA(LPCSTR pathName);

DWORD GetFileAttributesA(LPCSTR fileName);

// A file's modification time in whole seconds since the Unix epoch. Windows
// reaches it through a file handle; the system only needs it by name, to give a
// file it generated the time of the input it was made from.
BOOL GetFileWriteTime(LPCSTR fileName, std::int64_t* seconds);
BOOL SetFileWriteTime(LPCSTR fileName, std::int64_t seconds);

// Whether a file carries an execute permission bit. Windows has none; an image
// that keeps file modes (a disc's Rock Ridge names) needs it, so that an
// installer script still runs from the mounted image.
BOOL GetFileExecutable(LPCSTR fileName, BOOL* executable);

// Renames a file, also into another folder of the same volume. With
// MOVEFILE_REPLACE_EXISTING a file of the new name is replaced in one step (a
// folder of that name is ERROR_ACCESS_DENIED); without it, an existing target
// is ERROR_ALREADY_EXISTS.
inline constexpr DWORD MOVEFILE_REPLACE_EXISTING = 0x1;
BOOL MoveFileExA(LPCSTR existingFileName, LPCSTR newFileName, DWORD flags);

// Enumerates "<folder>\<pattern>" ("*.*", "*.z", "setup.*", "?"...) with the
// Windows matching rules ("*.*" matches every name; "." and ".." are returned
// for every folder but a drive root). Entries come sorted by name without regard
// to case, so that listings and images are the same from one run to the next.
HANDLE FindFirstFileA(LPCSTR fileName, WIN32_FIND_DATAA* findData);
// Whether a name matches a pattern by those rules (letter case ignored), for
// names that are not in a folder (the entries of an archive).
bool NameMatchesPattern(std::string_view pattern, std::string_view name);
BOOL FindNextFileA(HANDLE findFile, WIN32_FIND_DATAA* findData);
BOOL FindClose(HANDLE findFile);

// The process's real current directory, shown as a Windows path.
BOOL SetCurrentDirectoryA(LPCSTR pathName);
DWORD GetCurrentDirectoryA(DWORD bufferLength, LPSTR buffer);

// Makes a path absolute against the current directory (and drive), collapsing
// "." and ".." and doubled backslashes. Returns the length, or 0 on failure.
DWORD GetFullPathNameA(LPCSTR fileName, DWORD bufferLength, LPSTR buffer, LPSTR* filePart);

// Free space of the volume holding rootPathName ("D:\"). The four numbers stay
// as passed when the call fails (a drive that does not exist).
BOOL GetDiskFreeSpaceA(LPCSTR rootPathName, DWORD* sectorsPerCluster, DWORD* bytesPerSector,
                       DWORD* numberOfFreeClusters, DWORD* totalNumberOfClusters);

void Sleep(DWORD milliseconds);

// The runtime library's fopen on a Windows path. Without "b" in the mode the
// stream is in text mode as on Windows: "\n" is written as CRLF, and CRLF reads
// back as "\n".
std::FILE* fopen(LPCSTR fileName, LPCSTR mode);

}  // namespace win
