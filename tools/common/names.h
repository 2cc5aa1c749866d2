// Entry names as the installer sees them: Windows names, equal without regard
// to letter case. Archives and listings use this order so that the same inputs
// always give the same bytes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/names.h"

namespace kc::tools {

std::string LowerCase(std::string_view text);
using platform::EqualNoCase;
// Name order without regard to case; names that differ only in case are put in
// byte order so that the order is total.
bool NameLess(std::string_view a, std::string_view b);

// A path's parts at its last backslash or slash.
using platform::DirectoryPart;
using platform::FileNamePart;

// Arguments joined with single spaces: the engine passes some paths unquoted, so
// a path with blanks arrives cut into several arguments.
std::string JoinArguments(const std::vector<std::string>& pieces);

}  // namespace kc::tools
