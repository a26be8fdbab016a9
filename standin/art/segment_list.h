// A path object's segments. Up to four of them (a circle, every bridge) live
// in the object itself; a longer path keeps them in one block on the heap. So
// making, copying and disposing of the objects a go-live execution makes by
// the hundred thousand touches no heap at all, and each costs its slot only.
//
// It reads like a std::vector<PathSegment> (size, indexing, iteration over
// contiguous segments, insert and erase of ranges) and converts to one. Any
// call that grows the list may throw std::bad_alloc; the list is then left as
// it was.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <vector>

#include "host_api/path_suite.h"

namespace standin {

class SegmentList {
 public:
  using value_type = PathSegment;
  using size_type = std::size_t;
  using iterator = PathSegment*;
  using const_iterator = const PathSegment*;
  static constexpr std::size_t kInline = 4;

  SegmentList() = default;
  SegmentList(const SegmentList& other) { assign(other.begin(), other.end()); }
  SegmentList(SegmentList&& other) noexcept { Take(other); }
  SegmentList(const std::vector<PathSegment>& segments) {  // NOLINT: reads as a vector
    assign(segments.data(), segments.data() + segments.size());
  }
  SegmentList(std::initializer_list<PathSegment> segments) { assign(segments.begin(), segments.end()); }
  SegmentList& operator=(const SegmentList& other) {
    if (this != &other) assign(other.begin(), other.end());
    return *this;
  }
  SegmentList& operator=(SegmentList&& other) noexcept {
    if (this != &other) {
      Free();
      Take(other);
    }
    return *this;
  }
  SegmentList& operator=(const std::vector<PathSegment>& segments) {
    assign(segments.data(), segments.data() + segments.size());
    return *this;
  }
  ~SegmentList() { Free(); }

  operator std::vector<PathSegment>() const { return {begin(), end()}; }  // NOLINT: reads as a vector

  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  std::size_t capacity() const { return capacity_; }
  PathSegment* data() { return data_; }
  const PathSegment* data() const { return data_; }
  iterator begin() { return data_; }
  iterator end() { return data_ + size_; }
  const_iterator begin() const { return data_; }
  const_iterator end() const { return data_ + size_; }
  PathSegment& operator[](std::size_t i) { return data_[i]; }
  const PathSegment& operator[](std::size_t i) const { return data_[i]; }
  PathSegment& front() { return data_[0]; }
  const PathSegment& front() const { return data_[0]; }
  PathSegment& back() { return data_[size_ - 1]; }
  const PathSegment& back() const { return data_[size_ - 1]; }

  void reserve(std::size_t count);
  // New segments are all-zero.
  void resize(std::size_t count);
  void clear() { size_ = 0; }
  void push_back(const PathSegment& segment) { insert(end(), &segment, &segment + 1); }
  // Replaces the contents with [first, last), which may not lie in this list.
  void assign(const PathSegment* first, const PathSegment* last);
  // Inserts [first, last) before `at`; the range may lie in this list.
  iterator insert(const_iterator at, const PathSegment* first, const PathSegment* last);
  iterator insert(const_iterator at, const PathSegment& segment) {
    return insert(at, &segment, &segment + 1);
  }
  iterator erase(const_iterator first, const_iterator last);

 private:
  bool OnHeap() const { return data_ != inline_; }
  void Free();
  // Moves `other`'s segments into this empty list and leaves `other` empty.
  void Take(SegmentList& other) noexcept;

  PathSegment* data_ = inline_;  // inline_ or a block of capacity_ segments
  uint32_t size_ = 0;
  uint32_t capacity_ = kInline;
  PathSegment inline_[kInline];
};

}  // namespace standin
