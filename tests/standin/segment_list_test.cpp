// A path's segment list against std::vector: the same edits give the same
// segments, whether they stay inline, move to the heap or read a range of the
// list itself.
#include "standin/art/segment_list.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <utility>
#include <vector>

using standin::SegmentList;

namespace {

PathSegment Numbered(int n) {
  const auto x = static_cast<HostReal>(n);
  return PathSegment{{x, -x}, {x, 1}, {1, x}, static_cast<HostBoolean>(n & 1)};
}

std::vector<PathSegment> Numbers(int from, int count) {
  std::vector<PathSegment> out;
  for (int i = 0; i < count; ++i) out.push_back(Numbered(from + i));
  return out;
}

bool Same(const SegmentList& list, const std::vector<PathSegment>& want) {
  return list.size() == want.size() &&
         (want.empty() || std::memcmp(list.data(), want.data(), want.size() * sizeof(PathSegment)) == 0);
}

// One edit, made on both: `list` and `oracle` hold the same segments before.
struct Edit {
  const char* what;
  std::function<void(SegmentList&)> onList;
  std::function<void(std::vector<PathSegment>&)> onVector;
};

// The same edit through each type's own calls.
#define BOTH(what, ...)                                                                         \
  Edit {                                                                                        \
    what, [](SegmentList& s) { __VA_ARGS__; }, [](std::vector<PathSegment>& s) { __VA_ARGS__; } \
  }

}  // namespace

TEST(SegmentList, EditsGiveWhatAVectorGives) {
  const std::vector<Edit> edits = {
    BOTH("three appended", for (const PathSegment& p
                                : Numbers(1, 3)) s.push_back(p)),
    BOTH("a fourth still inline", s.push_back(Numbered(4))),
    BOTH("a fifth onto the heap", s.push_back(Numbered(5))),
    // A vector may not insert a range of itself, so its side copies the range first.
    Edit{"its own middle inserted at its front",
         [](SegmentList& s) { s.insert(s.begin(), s.data() + 1, s.data() + 3); },
         [](std::vector<PathSegment>& s) {
           const std::vector<PathSegment> range(s.begin() + 1, s.begin() + 3);
           s.insert(s.begin(), range.begin(), range.end());
         }},
    BOTH("one of its own inserted before itself", s.insert(s.begin() + 3, s[3])),
    Edit{"its whole self appended (grows)",
         [](SegmentList& s) { s.insert(s.end(), s.data(), s.data() + s.size()); },
         [](std::vector<PathSegment>& s) {
           const std::vector<PathSegment> range(s);
           s.insert(s.end(), range.begin(), range.end());
         }},
    BOTH("a middle range erased", s.erase(s.begin() + 2, s.begin() + 9)),
    BOTH("the tail erased", s.erase(s.begin() + 1, s.end())),
    BOTH("grown with zeros", s.resize(6)),
    BOTH("emptied", s.clear()),
    BOTH("refilled", for (const PathSegment& p
                          : Numbers(20, 9)) s.push_back(p)),
  };
  SegmentList list;
  std::vector<PathSegment> oracle;
  for (const Edit& edit : edits) {
    edit.onList(list);
    edit.onVector(oracle);
    ASSERT_TRUE(Same(list, oracle)) << edit.what;
  }
}

TEST(SegmentList, CopiesAndMovesKeepTheSegmentsInlineOrOnTheHeap) {
  for (int count : {0, 1, 4, 5, 40}) {
    SCOPED_TRACE(std::to_string(count) + " segments");
    const std::vector<PathSegment> want = Numbers(7, count);
    const SegmentList original(want);
    SegmentList copy(original);
    EXPECT_TRUE(Same(copy, want));
    EXPECT_NE(copy.data(), original.data());
    SegmentList assigned = Numbers(90, 6);
    assigned = copy;
    EXPECT_TRUE(Same(assigned, want));
    const SegmentList moved(std::move(copy));
    EXPECT_TRUE(Same(moved, want));
    EXPECT_TRUE(copy.empty());  // NOLINT(bugprone-use-after-move): a moved-from list is empty
    SegmentList target = Numbers(50, 3);
    target = std::move(assigned);
    EXPECT_TRUE(Same(target, want));
    EXPECT_EQ(std::vector<PathSegment>(target).size(), want.size());
  }
}
