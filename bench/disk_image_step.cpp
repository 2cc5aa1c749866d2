// The disk image's ISO step alone, for bench/disk_image_vs_cp.sh: writes the
// ISO file of a folder's files as the build does (engine::WriteDiskImage).
//   disk_image_step FOLDER IMAGE     (Windows paths, mapped by KITCOMP_DRIVES)
#include <cstdio>

#include "engine/disk_image.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: disk_image_step FOLDER IMAGE\n");
    return 2;
  }
  if (auto problem = kc::engine::WriteDiskImage(argv[1], argv[2], "BENCH")) {
    std::fprintf(stderr, "disk_image_step: %s: %s\n", problem->file.c_str(), problem->reason.c_str());
    return 1;
  }
  return 0;
}
