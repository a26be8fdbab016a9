// Records shared between copies (path styles, what an object keeps of its
// source): a change reaches only the object changed, however it is made, and
// every copy reads the record it was given.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <new>
#include <string>
#include <vector>

#include "standin/art/art_store.h"
#include "standin/art/art_suites.h"
#include "standin/art/shared_style.h"
#include "tests/support/refused_allocations.h"
#include "tests/support/scene.h"

using namespace testscene;

namespace {

bool Same(const PathStyle& a, const PathStyle& b) { return std::memcmp(&a, &b, sizeof(PathStyle)) == 0; }

PathStyle Red() {
  PathStyle style{};
  style.fillColor = HostColor{1, 0, 0, 1};
  style.lineJoin = kLineJoinRound;
  return style;
}

TEST(SharedStyle, AChangeReachesOnlyTheObjectChanged) {
  struct Case {
    std::string what;
    std::function<void(standin::SharedStyle&)> change;
  };
  const std::vector<Case> cases = {
      {"a whole record set", [](standin::SharedStyle& s) { s = Red(); }},
      {"one field edited", [](standin::SharedStyle& s) { s.Edit().strokeWidth = 7; }},
      {"another object's record taken", [](standin::SharedStyle& s) { s = standin::SharedStyle(); }},
  };
  for (const Case& c : cases) {
    PathStyle original{};
    original.strokePaint = 1;
    original.strokeWidth = 2;
    standin::SharedStyle first;
    first = original;
    standin::SharedStyle second = first;  // a copy shares
    standin::SharedStyle third;
    third = second;
    EXPECT_EQ(first.Sharers(), 3u) << c.what;
    c.change(second);
    EXPECT_TRUE(Same(first, original)) << c.what;
    EXPECT_TRUE(Same(third, original)) << c.what;
    EXPECT_FALSE(Same(second, original)) << c.what;
    EXPECT_EQ(first.Sharers(), 2u) << c.what;
  }
}

TEST(SharedStyle, UnsetReadsZeroAndAnEqualRecordKeepsTheSharing) {
  const standin::SharedStyle unset;
  EXPECT_TRUE(Same(unset, PathStyle{}));
  EXPECT_EQ(unset.Sharers(), 0u);

  standin::SharedStyle first;
  first = Red();
  standin::SharedStyle second = first;
  second = Red();  // equal bytes: nothing to unshare
  EXPECT_EQ(first.Sharers(), 2u);
  // The only holder of a record changes it in place.
  standin::SharedStyle alone;
  alone = Red();
  const PathStyle* where = &alone.get();
  alone.Edit().strokeWidth = 3;
  alone = PathStyle{};
  EXPECT_EQ(&alone.get(), where);
  EXPECT_TRUE(Same(alone, PathStyle{}));
}

// Through the host's calls: DuplicateArt shares, SetPathStyle on the copy
// or on the original leaves the other as it was, GetPathStyle reads each.
TEST(SharedStyle, DuplicatesKeepTheirOwnStyleThroughTheSuites) {
  for (const bool changeCopy : {true, false}) {
    Scene scene({Circle("A", 0, 0, 10).Stroked(3)});
    ArtHandle copy = nullptr;
    ASSERT_EQ(standin::StandinArtSuite().DuplicateArt(scene["A"], kPlaceAbove, scene["A"], &copy),
              kHostNoError);
    const PathStyle original = scene["A"]->style;
    EXPECT_EQ(copy->style.Sharers(), 2u);
    ArtHandle changed = changeCopy ? copy : scene["A"];
    ArtHandle kept = changeCopy ? scene["A"] : copy;
    const PathStyle red = Red();
    ASSERT_EQ(standin::StandinPathStyleSuite().SetPathStyle(changed, &red), kHostNoError);
    PathStyle read{};
    ASSERT_EQ(standin::StandinPathStyleSuite().GetPathStyle(changed, &read), kHostNoError);
    EXPECT_TRUE(Same(read, red)) << changeCopy;
    ASSERT_EQ(standin::StandinPathStyleSuite().GetPathStyle(kept, &read), kHostNoError);
    EXPECT_TRUE(Same(read, original)) << changeCopy;
  }
}

// A copy that cannot get a record of its own keeps the shared one, and the
// call says it ran out of memory rather than failing some other way.
TEST(SharedStyle, NoMemoryForAnOwnRecordLeavesTheStyleAndSaysSo) {
  Scene scene({Circle("A", 0, 0, 10).Stroked(3)});
  scene.host().journal().SetRecording(false);
  ArtHandle copy = nullptr;
  ASSERT_EQ(standin::StandinArtSuite().DuplicateArt(scene["A"], kPlaceAbove, scene["A"], &copy),
            kHostNoError);
  const PathStyle original = copy->style;
  const PathStyle red = Red();
  refusal::RefuseAll();
  const HostError result = standin::StandinPathStyleSuite().SetPathStyle(copy, &red);
  refusal::Allow();
  EXPECT_EQ(result, kHostErrOutOfMemory);
  EXPECT_TRUE(Same(copy->style, original));
  EXPECT_EQ(copy->style.Sharers(), 2u);
}

// DuplicateArt: a copy shares its original's source record but never its
// name; a named copy needs a record of its own, and when there is no memory
// for it (or for the copy) no part of the copy stays and the call says so.
TEST(SharedSource, DuplicatesDropTheNameAndRunningOutOfMemoryLeavesNothing) {
  struct Case {
    const char* what;
    bool named;
    bool memory;
    HostError result;
  };
  const Case cases[] = {
      {"an unnamed path", false, true, kHostNoError},
      {"a named group", true, true, kHostNoError},
      {"an unnamed path without memory", false, false, kHostNoError},
      {"a named group without memory", true, false, kHostErrOutOfMemory},
  };
  for (const Case& c : cases) {
    Scene scene({Group("G", {Circle("A", 0, 0, 10), Circle("B", 30, 0, 10)})});
    scene.host().journal().SetRecording(false);
    ArtHandle original = scene["G"];
    original->source.Edit().attributes.emplace_back("class", "kept");
    if (!c.named) {
      original = scene["A"];
      original->source.Edit().name.clear();
    }
    const int live = scene.host().art().Live();
    ArtHandle copy = nullptr;
    if (!c.memory) refusal::RefuseAll();
    const HostError result = standin::StandinArtSuite().DuplicateArt(original, kPlaceAbove, original, &copy);
    refusal::Allow();
    ASSERT_EQ(result, c.result) << c.what;
    EXPECT_EQ(original->source->name, c.named ? "G" : "") << c.what;
    if (result != kHostNoError) {
      EXPECT_EQ(scene.host().art().Live(), live) << c.what;
      continue;
    }
    EXPECT_TRUE(copy->source->name.empty()) << c.what;
    EXPECT_EQ(copy->source->attributes, original->source->attributes) << c.what;
    for (ArtHandle child : copy->children) EXPECT_TRUE(child->source->name.empty()) << c.what;
  }
}

}  // namespace
