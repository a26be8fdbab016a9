#include "cli/svg/float_text.h"

#include "cli/svg/number_chars.h"
#include <limits>

namespace morvelin {

std::string FloatText(float value) {
  char text[32];
  const auto result = WriteChars(text, text + sizeof text, value);
  return std::string(text, result.ptr);
}

std::optional<float> ParseFloatArgument(std::string_view text) {
  float value = 0.0f;
  const char* const end = text.data() + text.size();
  const auto result = ReadChars(text.data(), end, value);
  if (result.ec != std::errc() || result.ptr != end) return std::nullopt;
  return value;
}

std::string FloatArgumentProblem(std::string_view text) {
  float value = 0.0f;
  const char* const end = text.data() + text.size();
  const auto result = ReadChars(text.data(), end, value);
  const std::string quoted = "\"" + std::string(text) + "\"";
  if (result.ec == std::errc() && result.ptr == end) return std::string();
  if (result.ec != std::errc::result_out_of_range || result.ptr != end) return quoted + " is not a number";
  // A number, but not one a float holds: too large or too close to zero.
  // As a double it says which; beyond a double too, by the exponent's sign
  // or, without one, by whether a digit before the point is not zero.
  double wide = 0.0;
  bool tooLarge = false;
  if (ReadChars(text.data(), end, wide).ec == std::errc()) {
    tooLarge = wide > 1.0 || wide < -1.0;
  } else if (const std::size_t exponent = text.find_first_of("eE"); exponent != std::string_view::npos) {
    tooLarge = exponent + 1 < text.size() && text[exponent + 1] != '-';
  } else {
    const std::string_view whole = text.substr(0, text.find('.'));
    tooLarge = whole.find_first_of("123456789") != std::string_view::npos;
  }
  if (tooLarge)
    return quoted + " is beyond the 32-bit float range (largest " +
           FloatText(std::numeric_limits<float>::max()) + ")";
  return quoted + " is too close to zero for a 32-bit float (smallest " +
         FloatText(std::numeric_limits<float>::denorm_min()) + ")";
}

}  // namespace morvelin
