// The objects behind HANDLE values handed out by the platform layer. Every live
// handle is registered, so that a stale, foreign or twice-closed handle is
// refused with ERROR_INVALID_HANDLE instead of being followed.
#pragma once

#include <memory>

#include "platform/win_types.h"

namespace win::detail {

class HandleObject {
 public:
  virtual ~HandleObject() = default;
};

HANDLE RegisterHandle(std::unique_ptr<HandleObject> object);

// The object behind a live handle when it is of type T, else nullptr (and
// ERROR_INVALID_HANDLE). The pointer stays valid until the handle is released.
HandleObject* LookUpHandle(HANDLE handle);
template <typename T>
T* LookUp(HANDLE handle) {
  auto* object = dynamic_cast<T*>(LookUpHandle(handle));
  if (!object) SetLastError(ERROR_INVALID_HANDLE);
  return object;
}

// Takes a handle out of the registry and gives its object back for destruction;
// nullptr (and ERROR_INVALID_HANDLE) when it is not live or not of type T.
template <typename T>
std::unique_ptr<T> ReleaseHandle(HANDLE handle);

std::unique_ptr<HandleObject> ReleaseAnyHandle(HANDLE handle, bool (*accepts)(HandleObject*));

template <typename T>
std::unique_ptr<T> ReleaseHandle(HANDLE handle) {
  auto object = ReleaseAnyHandle(handle, [](HandleObject* o) { return dynamic_cast<T*>(o) != nullptr; });
  if (!object) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  return std::unique_ptr<T>(static_cast<T*>(object.release()));
}

}  // namespace win::detail
