// 32-bit floats as text: the shortest decimal text that reads back as the
// same float, and the reading of a float argument.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace morvelin {

// "1.5", "-0.1", "1e+20", "nan"; -0 prints as "-0".
std::string FloatText(float value);

// The whole of `text` read as the nearest 32-bit float (std::from_chars
// syntax: no leading '+' or blanks, "inf" and "nan" allowed). Nothing when the
// text is not such a number, has trailing characters, or lies outside the
// float range.
std::optional<float> ParseFloatArgument(std::string_view text);

// Why ParseFloatArgument refuses `text`, for a message: "\"1e39\" is beyond
// the 32-bit float range (largest 3.4028235e+38)", "\"1e-50\" is too close to
// zero for a 32-bit float (smallest 1e-45)" or "\"abc\" is not a number";
// empty when it takes it.
std::string FloatArgumentProblem(std::string_view text);

}  // namespace morvelin
