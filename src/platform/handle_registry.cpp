#include "platform/handle_registry.h"

#include <map>
#include <mutex>

namespace win::detail {
namespace {

std::mutex registryMutex;
std::map<HANDLE, std::unique_ptr<HandleObject>>& Registry() {
  static std::map<HANDLE, std::unique_ptr<HandleObject>> registry;
  return registry;
}

}  // namespace

HANDLE RegisterHandle(std::unique_ptr<HandleObject> object) {
  HANDLE handle = object.get();
  std::lock_guard lock(registryMutex);
  Registry().emplace(handle, std::move(object));
  return handle;
}

HandleObject* LookUpHandle(HANDLE handle) {
  std::lock_guard lock(registryMutex);
  auto it = Registry().find(handle);
  return it == Registry().end() ? nullptr : it->second.get();
}

std::unique_ptr<HandleObject> ReleaseAnyHandle(HANDLE handle, bool (*accepts)(HandleObject*)) {
  std::lock_guard lock(registryMutex);
  auto it = Registry().find(handle);
  if (it == Registry().end() || !accepts(it->second.get())) return nullptr;
  auto object = std::move(it->second);
  Registry().erase(it);
  return object;
}

}  // namespace win::detail
