#include "cli/svg/float_text.h"

#include "cli/svg/number_chars.h"

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

}  // namespace morvelin
