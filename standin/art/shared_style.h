// An art object's path style, shared between objects that carry the same
// record (see SharedRecord): copying an object shares its style instead of
// copying 216 bytes. A change to one object's style (SetPathStyle, the SVG
// reader, tests) gives that object its own record first. An object that never
// had a style set reads the all-zero record.
#pragma once

#include "host_api/path_style_suite.h"
#include "standin/art/shared_record.h"

namespace standin {

class SharedStyle : public SharedRecord<PathStyle> {
 public:
  SharedStyle() = default;
  SharedStyle(const SharedStyle&) = default;
  SharedStyle& operator=(const SharedStyle&) = default;
  // Sets the whole record; an equal record keeps what is shared. Throws
  // std::bad_alloc when a record of its own cannot be made, and then leaves
  // the style as it was.
  SharedStyle& operator=(const PathStyle& style);
};

}  // namespace standin
