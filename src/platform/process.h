// Child processes as the Windows process functions start and await them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/win_types.h"

namespace win {

inline constexpr DWORD DETACHED_PROCESS = 0x00000008;
inline constexpr DWORD INFINITE = 0xFFFFFFFF;
inline constexpr DWORD WAIT_OBJECT_0 = 0;
inline constexpr DWORD WAIT_TIMEOUT = 258;
inline constexpr DWORD WAIT_FAILED = 0xFFFFFFFF;
inline constexpr DWORD STILL_ACTIVE = 259;

struct STARTUPINFOA {
  DWORD cb = 0;
  // The remaining fields of the Windows structure are not used by the system.
  DWORD dwFlags = 0;
  HANDLE hStdInput = nullptr;
  HANDLE hStdOutput = nullptr;
  HANDLE hStdError = nullptr;
};

struct PROCESS_INFORMATION {
  HANDLE hProcess = nullptr;
  HANDLE hThread = nullptr;
  DWORD dwProcessId = 0;
  DWORD dwThreadId = 0;
};

// Starts a program without a shell. A bare applicationName is resolved in the
// current directory (not on PATH), a Windows path through the drive table; with
// no applicationName the first argument of the command line names the program.
// The command line is split by the C runtime's rules (CommandLineToArgs) and the
// arguments are passed on unchanged. currentDirectory null inherits ours.
// With DETACHED_PROCESS the child gets no terminal: its standard input and
// output are the null device, and the end of what it writes to standard error
// is kept for GetProcessErrorOutput (read as it comes: a flood costs no
// memory). It runs in a process group of its own, which a Ctrl+C on our
// terminal does not reach, and it ends with us: the kernel kills it when the
// thread that started it dies, and EndChildrenWhenInterrupted (interruption.h)
// ends its group when we are interrupted.
BOOL CreateProcessA(LPCSTR applicationName, LPSTR commandLine, LPVOID processAttributes, LPVOID threadAttributes,
                    BOOL inheritHandles, DWORD creationFlags, LPVOID environment, LPCSTR currentDirectory,
                    STARTUPINFOA* startupInfo, PROCESS_INFORMATION* processInformation);

DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds);

// STILL_ACTIVE while running; the exit status, or 128 + signal for a child
// killed by a signal.
BOOL GetExitCodeProcess(HANDLE process, DWORD* exitCode);

BOOL CloseHandle(HANDLE handle);

// What a detached child wrote to standard error (at most the last 64 KiB):
// all of it once the child has ended, what has come so far while it runs;
// empty for other handles.
std::string GetProcessErrorOutput(HANDLE process);

// Splits a command line into arguments by the Microsoft C runtime's rules:
// blanks separate arguments; "..." groups; 2n backslashes before a quote give n
// backslashes and the quote toggles grouping; 2n+1 give n and a literal quote;
// "" inside a group gives a literal quote; other backslashes are literal; "" is
// an empty argument.
std::vector<std::string> CommandLineToArgs(std::string_view commandLine);

// The reverse: quotes an argument so that CommandLineToArgs gives it back.
std::string QuoteArgument(std::string_view argument);

}  // namespace win
