// The line `morvelin --version` prints.
#pragma once

#include <string>

namespace morvelin {

// "morvelin 0.3b (plug-in Morvelin.aip 0.3b, file version 0.3.1.1)": the tool
// carries the plug-in's version, and both come from the version record the
// plug-in's resources are built from.
std::string VersionText();

}  // namespace morvelin
