#include "standin/art/segment_list.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace standin {

void SegmentList::Free() {
  if (OnHeap()) ::operator delete(data_);
  data_ = inline_;
  capacity_ = kInline;
  size_ = 0;
}

void SegmentList::Take(SegmentList& other) noexcept {
  size_ = other.size_;
  if (other.OnHeap()) {
    data_ = other.data_;
    capacity_ = other.capacity_;
  } else if (size_ > 0) {
    std::memcpy(inline_, other.inline_, size_ * sizeof(PathSegment));
  }
  other.data_ = other.inline_;
  other.capacity_ = kInline;
  other.size_ = 0;
}

void SegmentList::reserve(std::size_t count) {
  if (count <= capacity_) return;
  // The new block is filled before the old one goes, so a failed allocation
  // leaves the list as it was.
  auto* block = static_cast<PathSegment*>(::operator new(count * sizeof(PathSegment)));
  if (size_ > 0) std::memcpy(block, data_, size_ * sizeof(PathSegment));
  if (OnHeap()) ::operator delete(data_);
  data_ = block;
  capacity_ = static_cast<uint32_t>(count);
}

void SegmentList::resize(std::size_t count) {
  reserve(count);
  if (count > size_) std::memset(data_ + size_, 0, (count - size_) * sizeof(PathSegment));
  size_ = static_cast<uint32_t>(count);
}

void SegmentList::assign(const PathSegment* first, const PathSegment* last) {
  const auto count = static_cast<std::size_t>(last - first);
  if (count > capacity_) {
    SegmentList fresh;
    fresh.reserve(count);
    *this = std::move(fresh);
  }
  if (count > 0) std::memcpy(data_, first, count * sizeof(PathSegment));
  size_ = static_cast<uint32_t>(count);
}

SegmentList::iterator SegmentList::insert(const_iterator at, const PathSegment* first,
                                          const PathSegment* last) {
  const auto index = static_cast<std::size_t>(at - data_);
  const auto count = static_cast<std::size_t>(last - first);
  if (count == 0) return data_ + index;
  if (size_ + count > capacity_) {
    // Into a new block: the inserted range is read before the old block goes,
    // wherever it lies.
    SegmentList grown;
    grown.reserve(std::max<std::size_t>(size_ + count, 2 * static_cast<std::size_t>(capacity_)));
    std::memcpy(grown.data_, data_, index * sizeof(PathSegment));
    std::memcpy(grown.data_ + index, first, count * sizeof(PathSegment));
    std::memcpy(grown.data_ + index + count, data_ + index, (size_ - index) * sizeof(PathSegment));
    grown.size_ = static_cast<uint32_t>(size_ + count);
    *this = std::move(grown);
    return data_ + index;
  }
  // In place. A range inside this list is copied out first, since moving the
  // tail up may overwrite it.
  if (first >= data_ && first < data_ + size_) {
    const std::vector<PathSegment> copied(first, last);
    return insert(at, copied.data(), copied.data() + count);
  }
  std::memmove(data_ + index + count, data_ + index, (size_ - index) * sizeof(PathSegment));
  std::memcpy(data_ + index, first, count * sizeof(PathSegment));
  size_ += static_cast<uint32_t>(count);
  return data_ + index;
}

SegmentList::iterator SegmentList::erase(const_iterator first, const_iterator last) {
  const auto index = static_cast<std::size_t>(first - data_);
  const auto count = static_cast<std::size_t>(last - first);
  std::memmove(data_ + index, data_ + index + count, (size_ - index - count) * sizeof(PathSegment));
  size_ -= static_cast<uint32_t>(count);
  return data_ + index;
}

}  // namespace standin
