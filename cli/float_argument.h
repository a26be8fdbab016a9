// Numbers typed on the command line.
#pragma once

#include <optional>
#include <string_view>

namespace morvelin {

// The whole of `text` read as the nearest 32-bit float (std::from_chars
// syntax: no leading '+' or blanks, "inf" and "nan" allowed). Nothing when the
// text is not such a number, has trailing characters, or lies outside the
// float range.
std::optional<float> ParseFloatArgument(std::string_view text);

}  // namespace morvelin
