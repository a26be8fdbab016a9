// Shortest decimal text of a 32-bit float that reads back as the same float.
#pragma once

#include <string>

namespace morvelin {

// "1.5", "-0.1", "1e+20", "nan"; -0 prints as "-0".
std::string FloatText(float value);

}  // namespace morvelin
