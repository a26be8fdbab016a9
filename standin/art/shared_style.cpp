#include "standin/art/shared_style.h"

#include <cstring>

namespace standin {

SharedStyle& SharedStyle::operator=(const PathStyle& style) {
  // Byte-wise: the reserved bytes and NaN colours count, as a copy keeps them.
  if (std::memcmp(&get(), &style, sizeof(PathStyle)) == 0) return *this;
  // Edit() makes the new record before it lets the old one go: when there
  // is no memory for it, std::bad_alloc leaves this style as it was.
  Edit() = style;
  return *this;
}

}  // namespace standin
