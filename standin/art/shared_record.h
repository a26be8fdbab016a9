// A record shared between the objects that carry the same one: copying an
// object (DuplicateArt makes every bridge this way) shares the record instead
// of copying it, so the object itself holds one pointer. A change made
// through one object (`Edit()`) gives that object its own record first: no
// other object sees it.
//
// Reading reads like the record (`art->style->fillPaint`, or the record as
// `const T&`); an object that never had one set reads the value-initialised
// record, without allocating. The count of sharers is not atomic: the
// stand-in's art is used from one thread at a time.
#pragma once

#include <cstdint>

namespace standin {

template <typename T>
class SharedRecord {
 public:
  SharedRecord() = default;
  SharedRecord(const SharedRecord& other) : record_(other.record_) {
    if (record_ != nullptr) ++record_->sharers;
  }
  SharedRecord& operator=(const SharedRecord& other) {
    if (other.record_ != nullptr) ++other.record_->sharers;
    Release();
    record_ = other.record_;
    return *this;
  }
  ~SharedRecord() { Release(); }

  const T& get() const { return record_ != nullptr ? record_->value : Empty(); }
  operator const T&() const { return get(); }
  const T* operator->() const { return &get(); }

  // The record, this object's own from now on, to change in place. Throws
  // std::bad_alloc when an own record cannot be made, and then leaves the
  // shared one as it was.
  T& Edit() {
    if (record_ == nullptr || record_->sharers > 1) {
      Record* own = new Record{get(), 1};
      Release();
      record_ = own;
    }
    return record_->value;
  }

  // Objects sharing this record (0 for the unset one).
  uint32_t Sharers() const { return record_ != nullptr ? record_->sharers : 0; }

 private:
  struct Record {
    T value;
    uint32_t sharers;
  };
  static const T& Empty() {
    static const T empty{};
    return empty;
  }
  void Release() {
    if (record_ != nullptr && --record_->sharers == 0) delete record_;
    record_ = nullptr;
  }
  Record* record_ = nullptr;
};

}  // namespace standin
