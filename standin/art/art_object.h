// The stand-in's art objects: what an ArtHandle points to.
#pragma once

#include <cstddef>
#include <iterator>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "host_api/host_api.h"
#include "standin/art/segment_list.h"
#include "standin/art/shared_record.h"
#include "standin/art/shared_style.h"

struct ArtObject;

// An object's neighbours in its group: the one right below it and the one
// right above it in paint order, null at either end and for a root. The links
// belong to the group the object is in, so copying an object does not copy
// them: a copy starts outside any group.
struct SiblingLinks {
  ArtObject* below = nullptr;
  ArtObject* above = nullptr;

  SiblingLinks() = default;
  SiblingLinks(const SiblingLinks&) {}
  SiblingLinks& operator=(const SiblingLinks&) = delete;
};

// A group's children in paint order, lowest first, linked through the
// children's own SiblingLinks: adding or removing a child, placing one above
// or below another and stepping to a neighbour take constant time, whatever
// the size of the group. Reading reads like a vector of ArtObject*
// (iteration, size, front, back); indexing walks from the lowest child, so it
// is meant for small groups and tests.
//
// A copy of an object starts with no children (ArtStore::Copy copies them
// one by one); the list never owns its children, the art store does.
class ChildList {
 public:
  class iterator {
   public:
    using iterator_category = std::bidirectional_iterator_tag;
    using value_type = ArtObject*;
    using difference_type = std::ptrdiff_t;
    using pointer = ArtObject* const*;
    using reference = ArtObject*;

    iterator() = default;
    ArtObject* operator*() const { return at_; }
    inline iterator& operator++();
    inline iterator& operator--();
    iterator operator++(int) {
      iterator before = *this;
      ++*this;
      return before;
    }
    iterator operator--(int) {
      iterator before = *this;
      --*this;
      return before;
    }
    bool operator==(const iterator& other) const { return at_ == other.at_; }
    bool operator!=(const iterator& other) const { return at_ != other.at_; }
    // The number of steps from `from` up to `to`; walks them, so it costs
    // their number.
    friend difference_type operator-(iterator to, iterator from) {
      difference_type steps = 0;
      for (; from != to; ++from) ++steps;
      return steps;
    }

   private:
    friend class ChildList;
    iterator(const ChildList* list, ArtObject* at) : list_(list), at_(at) {}
    const ChildList* list_ = nullptr;
    ArtObject* at_ = nullptr;  // null: past the top child
  };
  using const_iterator = iterator;
  using value_type = ArtObject*;
  using size_type = std::size_t;

  ChildList() = default;
  ChildList(const ChildList&) {}
  ChildList& operator=(const ChildList&) = delete;

  iterator begin() const { return iterator(this, lowest_); }
  iterator end() const { return iterator(this, nullptr); }
  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  ArtObject* front() const { return lowest_; }
  ArtObject* back() const { return top_; }
  inline ArtObject* operator[](std::size_t index) const;
  ArtObject* at(std::size_t index) const {
    if (index >= size_) throw std::out_of_range("ChildList::at");
    return (*this)[index];
  }

  // Links `child`, which must be in no group, as the new top or lowest child,
  // or right above or below `sibling`, which must be in this list.
  inline void PushTop(ArtObject* child);
  inline void PushLowest(ArtObject* child);
  inline void InsertAbove(ArtObject* sibling, ArtObject* child);
  inline void InsertBelow(ArtObject* sibling, ArtObject* child);
  // Unlinks `child`, which must be in this list.
  inline void Remove(ArtObject* child);

 private:
  ArtObject* lowest_ = nullptr;
  ArtObject* top_ = nullptr;
  std::size_t size_ = 0;
};

// What an object keeps of the drawing it was read from, written back out
// with it.
struct ArtSource {
  // A label for tests and traces (e.g. an SVG id); not seen by the plug-in.
  std::string name;
  // Objects the host keeps without modelling them (text, images, SVG it does
  // not read): their source, written back out unchanged.
  std::string foreign;
  // Source (SVG) attributes the art does not model, raw XML text, written back unchanged.
  std::vector<std::pair<std::string, std::string>> attributes;
};

// One object of the art tree. Children are in paint order: children.front()
// is the lowest, each later child lies above the ones before it.
struct ArtObject {
  // The small fields first, packed into one 16-byte row.
  int16_t type = kArtTypeGroup;
  bool closed = false;  // paths
  bool guide = false;
  bool clip = false;
  // Which source element the object was read from (an index the reader
  // assigns; -1 for objects made since). Copies keep it.
  int32_t origin = -1;

  ArtObject* parent = nullptr;
  SiblingLinks siblings;  // neighbours in the parent's children
  ChildList children;     // groups and compound paths

  standin::SharedStyle style;  // paths and compound paths; shared by copies
  // Its name and what the host keeps of its source; most objects (every
  // bridge) have none, and copies share one record.
  standin::SharedRecord<ArtSource> source;
  standin::SegmentList segments;  // paths; up to four in the object itself

  // Sets the name. Giving an object the name it has already (most objects
  // have none) keeps the record it shares and allocates nothing.
  void SetName(std::string name) {
    if (source->name != name) source.Edit().name = std::move(name);
  }
};

ChildList::iterator& ChildList::iterator::operator++() {
  at_ = at_->siblings.above;
  return *this;
}

ChildList::iterator& ChildList::iterator::operator--() {
  at_ = at_ == nullptr ? list_->top_ : at_->siblings.below;
  return *this;
}

ArtObject* ChildList::operator[](std::size_t index) const {
  ArtObject* child = lowest_;
  for (; index > 0; --index) child = child->siblings.above;
  return child;
}

void ChildList::PushTop(ArtObject* child) {
  child->siblings.below = top_;
  child->siblings.above = nullptr;
  (top_ != nullptr ? top_->siblings.above : lowest_) = child;
  top_ = child;
  ++size_;
}

void ChildList::PushLowest(ArtObject* child) {
  if (lowest_ == nullptr) return PushTop(child);
  InsertBelow(lowest_, child);
}

void ChildList::InsertAbove(ArtObject* sibling, ArtObject* child) {
  ArtObject* next = sibling->siblings.above;
  if (next == nullptr) return PushTop(child);
  InsertBelow(next, child);
}

void ChildList::InsertBelow(ArtObject* sibling, ArtObject* child) {
  ArtObject* previous = sibling->siblings.below;
  child->siblings.below = previous;
  child->siblings.above = sibling;
  (previous != nullptr ? previous->siblings.above : lowest_) = child;
  sibling->siblings.below = child;
  ++size_;
}

void ChildList::Remove(ArtObject* child) {
  ArtObject* previous = child->siblings.below;
  ArtObject* next = child->siblings.above;
  (previous != nullptr ? previous->siblings.above : lowest_) = next;
  (next != nullptr ? next->siblings.below : top_) = previous;
  child->siblings.below = nullptr;
  child->siblings.above = nullptr;
  --size_;
}
