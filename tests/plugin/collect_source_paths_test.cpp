// The walk that collects the closed, painted source paths.
#include "blend/collect_source_paths.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/held_suites.h"
#include "tests/support/scene.h"

using namespace testscene;

namespace {

constexpr HostError kInjected = HOST_FOURCC('T', 'E', 'S', 'T');

// Counts the source paths from `art`, then fills a list of that size as the
// go-live handler does; the counts of both walks and the names in the list.
struct Collected {
  int16_t counted = 0;
  int16_t filled = 0;
  std::vector<std::string> names;
};

Collected Collect(ArtHandle art) {
  Collected result;
  CollectSourcePaths(art, &result.counted, nullptr, 0);
  if (result.counted <= 0) return result;
  std::vector<ArtHandle> list(result.counted, nullptr);
  CollectSourcePaths(art, &result.filled, list.data(), result.counted);
  for (ArtHandle path : list) result.names.push_back(path == nullptr ? "(none)" : path->source->name);
  return result;
}

using Names = std::vector<std::string>;

TEST(CollectSourcePaths, WalksDepthFirstInChildOrder) {
  Scene scene({Group("input",
                     {Circle("A", 0, 0, 10), Group("inner", {Circle("B", 30, 0, 10), Circle("C", 60, 0, 10)}),
                      Circle("D", 90, 0, 10)})});
  HeldSuites suites(scene.host());
  const Collected walk = Collect(scene["input"]);
  EXPECT_EQ(walk.counted, 4);
  EXPECT_EQ(walk.filled, 4);
  EXPECT_EQ(walk.names, (Names{"A", "B", "C", "D"}));
}

TEST(CollectSourcePaths, ASinglePathWithoutSiblingsCountsOne) {
  Scene scene({Circle("A", 0, 0, 10)});
  HeldSuites suites(scene.host());
  const Collected walk = Collect(scene["A"]);
  EXPECT_EQ(walk.counted, 1);
  EXPECT_EQ(walk.names, (Names{"A"}));
}

TEST(CollectSourcePaths, FindsPathsThreeGroupsDeep) {
  Scene scene({Group("g1", {Group("g2", {Group("g3", {Circle("A", 0, 0, 10), Circle("B", 30, 0, 10)})})})});
  HeldSuites suites(scene.host());
  const Collected walk = Collect(scene["g1"]);
  EXPECT_EQ(walk.counted, 2);
  EXPECT_EQ(walk.names, (Names{"A", "B"}));
}

TEST(CollectSourcePaths, TakesOnlyClosedPaintedPlainPaths) {
  Scene scene({Group("input", {
                                  Compound("compound", {Circle("in1", 0, 0, 5), Circle("in2", 20, 0, 5)}),
                                  Circle("open", 0, 0, 5).Open(),
                                  Circle("guide", 0, 0, 5).Guide(),
                                  Circle("clip", 0, 0, 5).Clip(),
                                  Circle("unpainted", 0, 0, 5).Unpainted(),
                                  Other("text", kArtTypeText),
                                  Other("placed", kArtTypePlaced),
                                  Circle("strokeOnly", 0, 0, 5).NoFill().Stroked(),
                                  Circle("fillOnly", 0, 0, 5),
                              })});
  HeldSuites suites(scene.host());
  scene.journal().Clear();
  const Collected walk = Collect(scene["input"]);
  EXPECT_EQ(walk.counted, 2);
  EXPECT_EQ(walk.names, (Names{"strokeOnly", "fillOnly"}));
  // The compound path is not looked into.
  EXPECT_EQ(scene.journal().Dump().find("in1"), std::string::npos);
}

TEST(CollectSourcePaths, AsksThePathQueriesInOrderAndStopsAtTheFirstExclusion) {
  Scene scene({Circle("clip", 0, 0, 5).Clip(), Circle("guide", 0, 0, 5).Guide(),
               Circle("open", 0, 0, 5).Open(), Circle("A", 0, 0, 5), Other("text")});
  HeldSuites suites(scene.host());
  scene.journal().Clear();
  int16_t counter = 0;
  CollectSourcePaths(scene["clip"], &counter, nullptr, 0);
  EXPECT_EQ(counter, 1);
  EXPECT_EQ(scene.journal().Dump(),
            "AI Art Suite.GetArtType(clip)\n"
            "AI Path Suite.GetPathIsClip(clip)\n"
            "AI Art Suite.GetArtSibling(clip)\n"
            "AI Art Suite.GetArtType(guide)\n"
            "AI Path Suite.GetPathIsClip(guide)\n"
            "AI Path Suite.GetPathGuide(guide)\n"
            "AI Art Suite.GetArtSibling(guide)\n"
            "AI Art Suite.GetArtType(open)\n"
            "AI Path Suite.GetPathIsClip(open)\n"
            "AI Path Suite.GetPathGuide(open)\n"
            "AI Path Suite.GetPathClosed(open)\n"
            "AI Art Suite.GetArtSibling(open)\n"
            "AI Art Suite.GetArtType(A)\n"
            "AI Path Suite.GetPathIsClip(A)\n"
            "AI Path Suite.GetPathGuide(A)\n"
            "AI Path Suite.GetPathClosed(A)\n"
            "AI Path Style Suite.GetPathStyle(A)\n"
            "AI Art Suite.GetArtSibling(A)\n"
            "AI Art Suite.GetArtType(text)\n"
            "AI Art Suite.GetArtSibling(text)\n");
}

TEST(CollectSourcePaths, AnEmptyGroupIsPassedAndTheWalkGoesOn) {
  Scene scene({Group("empty"), Circle("A", 0, 0, 10)});
  HeldSuites suites(scene.host());
  const Collected walk = Collect(scene["empty"]);
  EXPECT_EQ(walk.counted, 1);
  EXPECT_EQ(walk.names, (Names{"A"}));
}

TEST(CollectSourcePaths, ANegativeCounterOrNoArtDoesNothing) {
  Scene scene({Circle("A", 0, 0, 10)});
  HeldSuites suites(scene.host());
  scene.journal().Clear();
  int16_t counter = -1;
  ArtHandle list[1] = {nullptr};
  CollectSourcePaths(scene["A"], &counter, list, 1);
  EXPECT_EQ(counter, -1);
  EXPECT_EQ(list[0], nullptr);
  counter = 0;
  CollectSourcePaths(nullptr, &counter, list, 1);
  EXPECT_EQ(counter, 0);
  EXPECT_TRUE(scene.journal().entries().empty());
}

// The fill pass writes no further than the list's room: when the art holds
// more paths than the list was sized for, the walk fails at the first path
// that does not fit and the entry behind the list is untouched.
TEST(CollectSourcePaths, AFullListFailsTheWalkInsteadOfOverrunningIt) {
  Scene scene({Group(
      "input", {Circle("A", 0, 0, 10), Group("inner", {Circle("B", 30, 0, 10)}), Circle("C", 60, 0, 10)})});
  HeldSuites suites(scene.host());
  for (int16_t capacity : {0, 1, 2}) {
    SCOPED_TRACE(capacity);
    ArtHandle list[4] = {};
    ArtHandle* const guard = &list[capacity];
    int16_t counter = 0;
    CollectSourcePaths(scene["input"], &counter, list, capacity);
    EXPECT_EQ(counter, -1);
    EXPECT_EQ(*guard, nullptr);
  }
  ArtHandle list[3] = {};
  int16_t counter = 0;
  CollectSourcePaths(scene["input"], &counter, list, 3);
  EXPECT_EQ(counter, 3);
  EXPECT_EQ(list[2], scene["C"]);
}

// A host error while walking the second of three sibling groups ends the
// whole walk, whichever of the walk's queries fails.
class CollectSourcePathsFailure : public testing::TestWithParam<std::pair<const char*, const char*>> {};

TEST_P(CollectSourcePathsFailure, EndsTheWalkWithMinusOne) {
  const auto [op, argument] = GetParam();
  Scene scene({Group("input", {Group("first", {Circle("A", 0, 0, 10)}),
                               Group("second", {Circle("B", 30, 0, 10), Circle("C", 60, 0, 10)}),
                               Group("third", {Circle("D", 90, 0, 10)})})});
  HeldSuites suites(scene.host());
  scene.journal().Clear();
  scene.journal().FailNth(op, 1, kInjected, argument);
  int16_t counter = 0;
  ArtHandle list[4] = {};
  CollectSourcePaths(scene["input"], &counter, list, 4);
  EXPECT_EQ(counter, -1);
  // Nothing after the failing call was asked.
  const auto& entries = scene.journal().entries();
  ASSERT_FALSE(entries.empty());
  EXPECT_EQ(entries.back().op, op);
  EXPECT_EQ(entries.back().injected, kInjected);
  EXPECT_EQ(scene.journal().Dump().find("third"), std::string::npos) << scene.journal().Dump();
}

INSTANTIATE_TEST_SUITE_P(
    EachQuery, CollectSourcePathsFailure,
    testing::Values(std::make_pair("GetArtFirstChild", "second"), std::make_pair("GetArtType", "B"),
                    std::make_pair("GetPathIsClip", "B"), std::make_pair("GetPathGuide", "B"),
                    std::make_pair("GetPathClosed", "C"), std::make_pair("GetPathStyle", "C"),
                    std::make_pair("GetArtSibling", "B"), std::make_pair("GetArtSibling", "second")));

// The counter is 16 bits wide: 32767 paths are counted, one more fails the
// walk rather than wrapping the counter or overrunning a list of 32767. The
// paths lie in 128 groups of 256 so that no sibling list gets long.
TEST(CollectSourcePaths, MoreThan32767PathsFailTheWalk) {
  Scene scene({Group("input")});
  const ArtDescription path = Polygon("", {{0, 0}, {1, 0}, {1, 1}});
  ArtHandle input = scene["input"];
  ArtHandle group = nullptr;
  for (int i = 0; i < 32767; ++i) {
    if (i % 256 == 0) group = scene.Add(Group(""), input);
    scene.Add(path, group);
  }
  HeldSuites suites(scene.host());

  int16_t counter = 0;
  std::vector<ArtHandle> list(32767, nullptr);
  CollectSourcePaths(input, &counter, list.data(), 32767);
  EXPECT_EQ(counter, 32767);
  EXPECT_EQ(list.back(), group->children.back());

  scene.Add(path, group);
  scene.journal().Clear();
  counter = 0;
  CollectSourcePaths(input, &counter, nullptr, 0);
  EXPECT_EQ(counter, -1);
  // The walk stopped at the path that did not fit: nothing after it was asked.
  EXPECT_EQ(scene.journal().entries().back().op, "GetPathStyle");
  counter = 0;
  CollectSourcePaths(input, &counter, list.data(), 32767);
  EXPECT_EQ(counter, -1);
}

}  // namespace
