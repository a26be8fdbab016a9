#include "cli/float_argument.h"

#include <charconv>

namespace morvelin {

std::optional<float> ParseFloatArgument(std::string_view text) {
  float value = 0.0f;
  const char* const end = text.data() + text.size();
  const auto result = std::from_chars(text.data(), end, value);
  if (result.ec != std::errc() || result.ptr != end) return std::nullopt;
  return value;
}

}  // namespace morvelin
