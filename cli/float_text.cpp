#include "cli/float_text.h"

#include <charconv>

namespace morvelin {

std::string FloatText(float value) {
  char text[32];
  const auto result = std::to_chars(text, text + sizeof text, value);
  return std::string(text, result.ptr);
}

}  // namespace morvelin
