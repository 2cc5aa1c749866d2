// fopen on a Windows path, with the Windows text mode: without "b" in the mode,
// "\n" is written as CRLF and CRLF is read as "\n" (a lone CR stays a CR).
// Positions in a text stream are those of the translated bytes, so seeking in
// one is only reliable back to a position ftell gave, as on Windows.
#include <stdio.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "platform/files.h"
#include "platform/host_files.h"

namespace win {
namespace {

ssize_t ReadText(void* cookie, char* buffer, size_t size) {
  auto* file = static_cast<FILE*>(cookie);
  size_t n = 0;
  while (n < size) {
    int c = ::getc_unlocked(file);
    if (c == EOF) break;
    if (c == '\r') {
      int after = ::getc_unlocked(file);
      if (after == '\n') {
        c = '\n';
      } else if (after != EOF) {
        ::ungetc(after, file);
      }
    }
    buffer[n++] = static_cast<char>(c);
  }
  if (n == 0 && std::ferror(file)) return -1;
  return static_cast<ssize_t>(n);
}

ssize_t WriteText(void* cookie, const char* buffer, size_t size) {
  auto* file = static_cast<FILE*>(cookie);
  for (size_t i = 0; i < size; ++i) {
    if (buffer[i] == '\n' && ::putc_unlocked('\r', file) == EOF) return i == 0 ? -1 : static_cast<ssize_t>(i);
    if (::putc_unlocked(buffer[i], file) == EOF) return i == 0 ? -1 : static_cast<ssize_t>(i);
  }
  return static_cast<ssize_t>(size);
}

int SeekText(void* cookie, off64_t* position, int whence) {
  auto* file = static_cast<FILE*>(cookie);
  if (::fseeko(file, *position, whence) != 0) return -1;
  *position = ::ftello(file);
  return 0;
}

int CloseText(void* cookie) {
  return std::fclose(static_cast<FILE*>(cookie));
}

}  // namespace

std::FILE* fopen(LPCSTR fileName, LPCSTR mode) {
  if (!mode) {
    errno = EINVAL;
    return nullptr;
  }
  auto path = detail::MapArgument(fileName);
  if (!path) {
    errno = GetLastError() == ERROR_FILENAME_EXCED_RANGE ? ENAMETOOLONG
            : GetLastError() == ERROR_INVALID_PARAMETER  ? EINVAL
                                                         : ENOENT;
    return nullptr;
  }
  // The C runtime's own flags ("t", "c", "n", ccs=) mean nothing to the host.
  std::string hostMode;
  for (const char* m = mode; *m && *m != ','; ++m) {
    if (std::strchr("rwa+bx", *m)) hostMode += *m;
  }
  std::FILE* file = ::fopen(path->c_str(), hostMode.c_str());
  if (!file) {
    SetLastErrorFromErrno(errno);
    return nullptr;
  }
  // The host opens a folder for reading; Windows does not. Pages that check a
  // file "can be opened" rely on a folder failing that check.
  struct stat st {};
  if (::fstat(::fileno(file), &st) == 0 && S_ISDIR(st.st_mode)) {
    std::fclose(file);
    SetLastError(ERROR_ACCESS_DENIED);
    errno = EACCES;
    return nullptr;
  }
  if (hostMode.find('b') != std::string::npos) return file;
  cookie_io_functions_t functions{ReadText, WriteText, SeekText, CloseText};
  std::FILE* text = ::fopencookie(file, hostMode.c_str(), functions);
  if (!text) {
    int saved = errno;
    std::fclose(file);
    errno = saved;
    return nullptr;
  }
  return text;
}

}  // namespace win
