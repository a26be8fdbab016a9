#include "cli/float_text.h"

#include "cli/number_chars.h"

namespace morvelin {

std::string FloatText(float value) {
  char text[32];
  const auto result = WriteChars(text, text + sizeof text, value);
  return std::string(text, result.ptr);
}

}  // namespace morvelin
