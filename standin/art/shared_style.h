// An art object's path style, shared between objects that carry the same
// record: copying an object (DuplicateArt makes every bridge this way) shares
// its style instead of copying 216 bytes, so an object's fixed part holds one
// pointer. A change to one object's style (SetPathStyle, the SVG reader,
// tests) gives that object its own record first: no other object sees it.
//
// Reading reads like a PathStyle (`art->style->fillPaint`, or the record as
// `const PathStyle&`); `Edit()` gives a record to change in place. An object
// that never had a style set reads the all-zero record, without allocating.
// The count of sharers is not atomic: the stand-in's art is used from one
// thread at a time.
#pragma once

#include <cstdint>

#include "host_api/path_style_suite.h"

namespace standin {

class SharedStyle {
 public:
  SharedStyle() = default;
  SharedStyle(const SharedStyle& other) : record_(other.record_) {
    if (record_ != nullptr) ++record_->sharers;
  }
  SharedStyle& operator=(const SharedStyle& other) {
    if (other.record_ != nullptr) ++other.record_->sharers;
    Release();
    record_ = other.record_;
    return *this;
  }
  // Sets the whole record; an equal record keeps what is shared. Throws
  // std::bad_alloc when a record of its own cannot be made, and then leaves
  // the style as it was; so does Edit().
  SharedStyle& operator=(const PathStyle& style);
  ~SharedStyle() { Release(); }

  const PathStyle& get() const { return record_ != nullptr ? record_->style : Zero(); }
  operator const PathStyle&() const { return get(); }
  const PathStyle* operator->() const { return &get(); }
  // The record, this object's own from now on, to change in place.
  PathStyle& Edit();

  // Objects sharing this record (0 for the unset, all-zero style).
  uint32_t Sharers() const { return record_ != nullptr ? record_->sharers : 0; }

 private:
  struct Record {
    PathStyle style;
    uint32_t sharers;
  };
  static const PathStyle& Zero();
  void Release() {
    if (record_ != nullptr && --record_->sharers == 0) delete record_;
    record_ = nullptr;
  }
  Record* record_ = nullptr;
};

}  // namespace standin
