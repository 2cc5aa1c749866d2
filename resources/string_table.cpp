#include "string_table.h"

namespace kc {

const char* LoadString(int id) {
  switch (id) {
    case IDS_NEW_CONFIGURATION:
      return "New Install Configuration";
    case IDS_NO_SPACE:
      return "There is not enough space to create an installer on the output drive, or the ouput drive does not "
             "exist.";
    case IDS_INVALID_OUTPUT_DRIVE:
      return "The output drive is invalid.";
    case IDS_INVALID_BASE_PATH:
      return "The base path is invalid.";
    case IDS_INVALID_PROFILE_PATH:
      return "The profile path is invalid.";
    case IDS_INSTALLING:
      return "Installing";
    case IDS_CONFIGURING:
      return "Configuring";
    case IDS_COPYING:
      return "Copying";
    case IDS_FILES:
      return "files...";
    case IDS_DIALUP_FILTER:
      return "Dialup module main file";
    case IDS_INVALID_DIALUP:
      return "The Custom Dial-Up package folder is invalid.";
    case IDS_NEED_DESCRIPTION:
      return "You must enter a descriptive module name.";
    case IDS_NEED_EXECUTABLE:
      return "You must specify the path to the executable.";
    case IDS_NEED_SIZE:
      return "You must specify a size value for the installer.";
    case IDS_INVALID_INSTALLER_PATH:
      return "The installer path you specified is invalid.";
    default:
      return "";
  }
}

}  // namespace kc
