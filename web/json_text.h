// JSON text for the page: the replies of the playground's C functions.
#pragma once

#include <string>

namespace morvelin {

// `text` (UTF-8) as a JSON string, quotes included; control characters,
// quotes and backslashes escaped.
std::string JsonString(const std::string& text);

}  // namespace morvelin
