#include "standin/art/shared_style.h"

#include <cstring>

namespace standin {

const PathStyle& SharedStyle::Zero() {
  static const PathStyle zero{};
  return zero;
}

SharedStyle& SharedStyle::operator=(const PathStyle& style) {
  // Byte-wise: the reserved bytes and NaN colours count, as a copy keeps them.
  if (std::memcmp(&get(), &style, sizeof(PathStyle)) == 0) return *this;
  // Edit() makes the new record before it lets the old one go: when there
  // is no memory for it, std::bad_alloc leaves this style as it was.
  Edit() = style;
  return *this;
}

PathStyle& SharedStyle::Edit() {
  if (record_ == nullptr || record_->sharers > 1) {
    Record* own = new Record{get(), 1};
    Release();
    record_ = own;
  }
  return record_->style;
}

}  // namespace standin
