// Reading each kind of image into ImageContents. Paths are Windows paths.
// `scratch` is a private folder (Windows path) that receives copies of the
// settings files read out of a container; the image itself is only read.
#pragma once

#include <string>

#include "verify/image_contents.h"

namespace kc::verify {

// Why the file at a Windows path cannot be read as a file of an image ("" when
// it can): a FIFO, socket or device would block or never end.
std::string NotAPlainFile(const std::string& windowsPath);

// A CD image: the files of the folder (subfolders are recorded, not entered).
ImageContents ReadFolderImage(const std::string& folder);

// A disk image: the files of its ISO file.
ImageContents ReadDiskImage(const std::string& isoFile, const std::string& scratch);

// A network image: the self-extracting file's trailer and whole-file digest,
// then the files of its payload, read from the file itself.
ImageContents ReadNetworkImage(const std::string& sfxFile, const std::string& scratch);

}  // namespace kc::verify
