#include "verify/image_contents.h"

#include "common/names.h"

namespace kc::verify {

namespace {

bool EndsWithNoCase(const std::string& name, const char* suffix) {
  const std::string end(suffix);
  return name.size() > end.size() && tools::EqualNoCase(name.substr(name.size() - end.size()), end);
}

}  // namespace

const ImageFile* ImageContents::Find(const std::string& name) const {
  for (const ImageFile& file : files) {
    if (file.name == name) return &file;
  }
  for (const ImageFile& file : files) {
    if (tools::EqualNoCase(file.name, name)) return &file;
  }
  return nullptr;
}

bool IsSettingsName(const std::string& name) {
  return EndsWithNoCase(name, ".ini") || EndsWithNoCase(name, ".pkg");
}

bool IsArchiveName(const std::string& name) {
  return EndsWithNoCase(name, ".z");
}

}  // namespace kc::verify
