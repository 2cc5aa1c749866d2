// The thread's last error, and the translation of host errno values into the
// Windows codes callers test for.
#include "platform/win_types.h"

#include <cerrno>
#include <cstring>

namespace win {
namespace {

thread_local DWORD lastError = ERROR_SUCCESS;
// The errno behind the last error, when it came from a host call (0: none).
thread_local int lastErrno = 0;
// The reason given with the last error by the platform layer itself ("": none).
thread_local std::string lastDetail;

DWORD ErrorFromErrno(int err) {
  switch (err) {
    case 0:
      return ERROR_SUCCESS;
    case ENOENT:
      return ERROR_FILE_NOT_FOUND;
    case ENOTDIR:
      return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case ETXTBSY:
      return ERROR_ACCESS_DENIED;
    case EEXIST:
      return ERROR_ALREADY_EXISTS;
    case ENOTEMPTY:
      return ERROR_DIR_NOT_EMPTY;
    case ENOSPC:
    case EDQUOT:
      return ERROR_DISK_FULL;
    case ENOMEM:
      return ERROR_NOT_ENOUGH_MEMORY;
    case ENAMETOOLONG:
      return ERROR_FILENAME_EXCED_RANGE;
    case EBADF:
      return ERROR_INVALID_HANDLE;
    case EINVAL:
      return ERROR_INVALID_PARAMETER;
    case EBUSY:
      return ERROR_SHARING_VIOLATION;
    case ELOOP:
      return ERROR_BAD_PATHNAME;
    case EIO:
      return ERROR_WRITE_FAULT;
    case EXDEV:
      return ERROR_ACCESS_DENIED;
    default:
      return ERROR_ACCESS_DENIED;
  }
}

const char* ErrorSentence(DWORD code) {
  switch (code) {
    case ERROR_SUCCESS:
      return "The operation completed successfully.";
    case ERROR_FILE_NOT_FOUND:
      return "The system cannot find the file specified.";
    case ERROR_PATH_NOT_FOUND:
      return "The system cannot find the path specified.";
    case ERROR_ACCESS_DENIED:
      return "Access is denied.";
    case ERROR_INVALID_HANDLE:
      return "The handle is invalid.";
    case ERROR_NOT_ENOUGH_MEMORY:
      return "Not enough memory resources are available to process this command.";
    case ERROR_INVALID_DRIVE:
      return "The system cannot find the drive specified.";
    case ERROR_NO_MORE_FILES:
      return "There are no more files.";
    case ERROR_WRITE_FAULT:
      return "The system cannot write to the specified device.";
    case ERROR_SHARING_VIOLATION:
      return "The process cannot access the file because it is being used by another process.";
    case ERROR_FILE_EXISTS:
      return "The file exists.";
    case ERROR_INVALID_PARAMETER:
      return "The parameter is incorrect.";
    case ERROR_DISK_FULL:
      return "There is not enough space on the disk.";
    case ERROR_INVALID_NAME:
      return "The filename, directory name, or volume label syntax is incorrect.";
    case ERROR_DIR_NOT_EMPTY:
      return "The directory is not empty.";
    case ERROR_BAD_PATHNAME:
      return "The specified path is invalid.";
    case ERROR_ALREADY_EXISTS:
      return "Cannot create a file when that file already exists.";
    case ERROR_FILENAME_EXCED_RANGE:
      return "The filename or extension is too long.";
    case ERROR_DIRECTORY:
      return "The directory name is invalid.";
    case ERROR_NO_UNICODE_TRANSLATION:
      return "No mapping for the Unicode character exists in the target multi-byte code page.";
    default:
      return nullptr;
  }
}

}  // namespace

DWORD GetLastError() {
  return lastError;
}

void SetLastError(DWORD code) {
  lastError = code;
  lastErrno = 0;
  lastDetail.clear();
}

void SetLastError(DWORD code, std::string detail) {
  SetLastError(code);
  lastDetail = std::move(detail);
}

void SetLastErrorFromErrno(int err) {
  lastError = ErrorFromErrno(err);
  lastErrno = err;
  lastDetail.clear();
}

std::string LastErrorText() {
  std::string text;
  if (const char* sentence = ErrorSentence(lastError)) {
    text = sentence;
  } else {
    text = "Error " + std::to_string(lastError) + ".";
  }
  if (lastErrno != 0) {
    text += " (";
    text += std::strerror(lastErrno);
    text += ")";
  } else if (!lastDetail.empty()) {
    text += " (" + lastDetail + ")";
  }
  return text;
}

}  // namespace win
