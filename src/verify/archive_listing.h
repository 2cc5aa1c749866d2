// A module archive opened through its central directory, every entry's data
// read once and checked against its size and CRC.
#pragma once

#include "common/zip_directory.h"
#include "verify/image_contents.h"

namespace kc::verify {

ArchiveListing ListArchive(const zip::ZipSource& source);

}  // namespace kc::verify
