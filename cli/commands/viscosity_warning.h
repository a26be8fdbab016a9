// What the tool tells a person who asks for a viscosity the dialog does not
// offer. The effect takes such a value as the plug-in takes a stored "rate":
// a finite value other than 0 is used as it is, 0 and a value that is not
// finite (nan, inf) leave the drawing unchanged.
#pragma once

#include <string>

namespace morvelin {

// Empty for a viscosity within 1 to 100; otherwise one sentence, without a
// newline, naming the dialog's range and what the effect does with the value.
std::string ViscosityWarning(float viscosity);

}  // namespace morvelin
