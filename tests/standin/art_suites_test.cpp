// The stand-in's art, path, path style and real math suites.
#include "standin/art/art_suites.h"

#include <gtest/gtest.h>

#include "standin/art/art_store.h"
#include "tests/support/scene.h"

using namespace testscene;

namespace {

const ArtSuite& Art() { return standin::StandinArtSuite(); }
const PathSuite& Paths() { return standin::StandinPathSuite(); }
const PathStyleSuite& Styles() { return standin::StandinPathStyleSuite(); }
const RealMathSuite& Math() { return standin::StandinRealMathSuite(); }

constexpr HostError kInjected = HOST_FOURCC('T', 'E', 'S', 'T');

// Every operation of the four suites on `art`, with the code each returned.
std::vector<HostError> CallEveryOperation(ArtHandle art, ArtHandle other) {
  int16_t type = 0, count = 0;
  ArtHandle handle = nullptr;
  HostRect bounds{};
  PathSegment segment{};
  HostBoolean flag = 0;
  PathStyle style{};
  return {Art().GetArtType(art, &type),
          Art().GetArtFirstChild(art, &handle),
          Art().GetArtSibling(art, &handle),
          Art().GetArtParent(art, &handle),
          Art().DuplicateArt(art, kPlaceAbove, other, &handle),
          Art().DuplicateArt(other, kPlaceAbove, art, &handle),
          Art().GetArtTransformBounds(art, nullptr, kBoundsGeometric, &bounds),
          Paths().GetPathSegmentCount(art, &count),
          Paths().GetPathSegments(art, 0, 1, &segment),
          Paths().SetPathSegments(art, 0, 1, &segment),
          Paths().InsertPathSegments(art, 0, 1, &segment),
          Paths().DeletePathSegments(art, 0, 1),
          Paths().GetPathClosed(art, &flag),
          Paths().GetPathGuide(art, &flag),
          Paths().GetPathIsClip(art, &flag),
          Styles().GetPathStyle(art, &style),
          Styles().SetPathStyle(art, &style),
          Art().DisposeArt(art)};
}

TEST(ArtSuites, HandlesTheStoreDoesNotHoldGiveBadParameter) {
  Scene scene({Circle("A", 0, 0, 10), Circle("B", 30, 0, 10)});
  ArtHandle disposed = scene["B"];
  ASSERT_EQ(Art().DisposeArt(disposed), kHostNoError);
  const int live = scene.host().art().Live();

  ArtHandle neverGiven = reinterpret_cast<ArtHandle>(0x5EED0);
  for (ArtHandle bad : {neverGiven, disposed, static_cast<ArtHandle>(nullptr)}) {
    for (HostError code : CallEveryOperation(bad, scene["A"])) EXPECT_EQ(code, kHostErrBadParameter);
  }
  EXPECT_EQ(scene.host().art().Live(), live);
  EXPECT_EQ(scene["A"]->segments.size(), 4u);
}

TEST(ArtSuites, TheStoreTellsItsObjectsFromAnyOtherPointerAcrossManySlabs) {
  // Enough objects for dozens of the store's slabs, so that its table of
  // slabs grows several times; every third one disposed of again.
  standin::ArtStore store;
  std::vector<ArtObject*> made;
  for (int i = 0; i < 40000; ++i) made.push_back(store.NewGroup());
  for (std::size_t i = 0; i < made.size(); i += 3) store.Dispose(made[i]);
  for (std::size_t i = 0; i < made.size(); ++i) {
    ASSERT_EQ(store.IsLive(made[i]), i % 3 != 0) << "object " << i;
    // A pointer into an object is not a handle.
    const auto* inside = reinterpret_cast<const unsigned char*>(made[i]) + 8;
    ASSERT_FALSE(store.IsLive(reinterpret_cast<const ArtObject*>(inside))) << "object " << i;
  }
  EXPECT_EQ(store.Live(), 40000 - 13334);
  // Slots are reused: new objects are live, and the count is balanced.
  for (int i = 0; i < 13334; ++i) EXPECT_TRUE(store.IsLive(store.NewGroup()));
  EXPECT_EQ(store.Live(), 40000);
}

TEST(ArtSuites, PathOperationsOnOtherKindsGiveUnsupported) {
  Scene scene(
      {Group("G", {Circle("A", 0, 0, 10)}), Other("T", kArtTypeText), Compound("K", {Circle("C", 0, 0, 5)})});
  PathSegment segment{};
  HostBoolean flag = 0;
  int16_t count = 0;
  PathStyle style{};
  HostRect bounds{};
  for (const char* name : {"G", "T", "K"}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(Paths().GetPathSegmentCount(scene[name], &count), kHostErrUnsupported);
    EXPECT_EQ(Paths().GetPathSegments(scene[name], 0, 1, &segment), kHostErrUnsupported);
    EXPECT_EQ(Paths().GetPathClosed(scene[name], &flag), kHostErrUnsupported);
  }
  EXPECT_EQ(Styles().GetPathStyle(scene["G"], &style), kHostErrUnsupported);
  EXPECT_EQ(Styles().GetPathStyle(scene["K"], &style), kHostNoError);
  EXPECT_EQ(Art().GetArtTransformBounds(scene["T"], nullptr, kBoundsGeometric, &bounds), kHostErrUnsupported);
  EXPECT_EQ(Art().GetArtTransformBounds(scene["A"], nullptr, 0, &bounds), kHostErrBadParameter);
}

TEST(ArtSuites, SegmentIndicesOutsideThePathGiveRange) {
  Scene scene({Circle("A", 0, 0, 10)});
  ArtHandle a = scene["A"];
  const std::vector<PathSegment> before = a->segments;
  PathSegment four[4] = {};
  EXPECT_EQ(Paths().GetPathSegments(a, 3, 2, four), kHostErrRange);
  EXPECT_EQ(Paths().GetPathSegments(a, -1, 1, four), kHostErrRange);
  EXPECT_EQ(Paths().SetPathSegments(a, 4, 1, four), kHostErrRange);
  EXPECT_EQ(Paths().DeletePathSegments(a, 2, 3), kHostErrRange);
  EXPECT_EQ(Paths().InsertPathSegments(a, 4, 1, four), kHostErrRange);
  EXPECT_EQ(Paths().InsertPathSegments(a, -2, 1, four), kHostErrRange);
  EXPECT_EQ(Paths().GetPathSegments(a, 0, -1, four), kHostErrRange);
  ASSERT_EQ(a->segments.size(), before.size());
  EXPECT_EQ(0, memcmp(a->segments.data(), before.data(), sizeof(PathSegment) * before.size()));
}

TEST(ArtSuites, InsertAndDeleteWorkAroundTheGivenIndex) {
  Scene scene({Polygon("P", {{0, 0}, {1, 0}, {2, 0}})});
  ArtHandle p = scene["P"];
  const PathSegment marker{{9, 9}, {9, 9}, {9, 9}, 0};
  ASSERT_EQ(Paths().InsertPathSegments(p, 2, 1, &marker), kHostNoError);   // after the last: appended
  ASSERT_EQ(Paths().InsertPathSegments(p, -1, 1, &marker), kHostNoError);  // at the front
  int16_t count = 0;
  ASSERT_EQ(Paths().GetPathSegmentCount(p, &count), kHostNoError);
  ASSERT_EQ(count, 5);
  EXPECT_EQ(p->segments[0].p.h, 9);
  EXPECT_EQ(p->segments[1].p.h, 0);
  EXPECT_EQ(p->segments[4].p.h, 9);
  ASSERT_EQ(Paths().DeletePathSegments(p, 1, 3), kHostNoError);
  ASSERT_EQ(p->segments.size(), 2u);
  EXPECT_EQ(p->segments[0].p.h, 9);
  EXPECT_EQ(p->segments[1].p.h, 9);
}

TEST(ArtSuites, DuplicateArtPlacesADeepCopyDirectlyAboveTheReference) {
  Scene scene({Circle("A", 0, 0, 10).Stroked(3), Group("G", {Circle("B", 5, 5, 1), Circle("C", 6, 6, 1)}),
               Circle("D", 0, 0, 1)});
  ArtHandle copy = nullptr;
  ASSERT_EQ(Art().DuplicateArt(scene["A"], kPlaceAbove, scene["A"], &copy), kHostNoError);
  EXPECT_EQ(Scene::ChildNames(scene.layer()), (std::vector<std::string>{"A", "", "G", "D"}));
  ASSERT_NE(copy, scene["A"]);
  EXPECT_EQ(copy->parent, scene.layer());
  EXPECT_EQ(0, memcmp(&copy->style.get(), &scene["A"]->style.get(), sizeof(PathStyle)));
  ASSERT_EQ(copy->segments.size(), 4u);
  EXPECT_EQ(0, memcmp(copy->segments.data(), scene["A"]->segments.data(), 4 * sizeof(PathSegment)));
  EXPECT_TRUE(copy->closed);
  EXPECT_EQ(scene.host().art().MadeByHost(), 1);

  // A group is copied with its children, and the copy is independent.
  ASSERT_EQ(Art().DuplicateArt(scene["G"], kPlaceAbove, scene["D"], &copy), kHostNoError);
  EXPECT_EQ(Scene::ChildNames(scene.layer()), (std::vector<std::string>{"A", "", "G", "D", ""}));
  ASSERT_EQ(copy->children.size(), 2u);
  EXPECT_NE(copy->children[0], scene["B"]);
  EXPECT_EQ(copy->children[0]->parent, copy);
  EXPECT_EQ(scene.host().art().MadeByHost(), 4);
  ASSERT_EQ(Art().DisposeArt(scene["G"]), kHostNoError);
  EXPECT_EQ(copy->children.size(), 2u);
  EXPECT_FALSE(scene.Has("B"));

  // Beside the layer, which has no group: a code, and no copy left behind.
  const int live = scene.host().art().Live();
  copy = nullptr;
  EXPECT_EQ(Art().DuplicateArt(scene["D"], kPlaceAbove, scene.layer(), &copy), kHostErrBadParameter);
  EXPECT_EQ(copy, nullptr);
  EXPECT_EQ(scene.host().art().Live(), live);
}

// Names of a group's children as the plug-in walks them (first child, then
// siblings) and, reversed, as the list links them from the top down; the two
// must agree with each other and with the list's size and parent links.
std::vector<std::string> WalkedNames(ArtHandle group) {
  std::vector<std::string> up;
  ArtHandle child = nullptr;
  EXPECT_EQ(Art().GetArtFirstChild(group, &child), kHostNoError);
  while (child != nullptr) {
    EXPECT_EQ(child->parent, group);
    up.push_back(child->source->name);
    EXPECT_EQ(Art().GetArtSibling(child, &child), kHostNoError);
  }
  std::vector<std::string> down;
  for (auto at = group->children.end(); at != group->children.begin();)
    down.insert(down.begin(), (*--at)->source->name);
  EXPECT_EQ(up, down);
  EXPECT_EQ(up.size(), group->children.size());
  return up;
}

TEST(ArtSuites, PlacingDisposingAndWalkingKeepOnePaintOrder) {
  Scene scene({Circle("A", 0, 0, 1), Group("G", {Circle("B", 0, 0, 1)}), Circle("C", 0, 0, 1)});
  standin::ArtStore& store = scene.host().art();
  // Each step moves one object (a fresh copy named N when `art` is empty) as
  // the paint order says relative to `prep`, then the layer and G read so.
  struct Step {
    const char* art;
    int16_t order;
    const char* prep;
    std::vector<std::string> layer, group;
  };
  const Step steps[] = {
      {"", kPlaceAbove, "A", {"A", "N", "G", "C"}, {"B"}},
      {"", kPlaceAbove, "C", {"A", "N", "G", "C", "N"}, {"B"}},
      {"", kPlaceBelow, "A", {"N", "A", "N", "G", "C", "N"}, {"B"}},
      {"A", kPlaceInsideOnTop, "G", {"N", "N", "G", "C", "N"}, {"B", "A"}},
      {"C", kPlaceInsideOnBottom, "G", {"N", "N", "G", "N"}, {"C", "B", "A"}},
      {"B", kPlaceBelow, "G", {"N", "N", "B", "G", "N"}, {"C", "A"}},
      {"A", kPlaceAbove, "C", {"N", "N", "B", "G", "N"}, {"C", "A"}},
      {"C", kPlaceAbove, "A", {"N", "N", "B", "G", "N"}, {"A", "C"}},
  };
  for (const Step& step : steps) {
    ArtObject* art = nullptr;
    if (*step.art == '\0') {
      art = store.Copy(scene["A"]);
      art->SetName("N");
    } else {
      art = scene[step.art];
    }
    ASSERT_TRUE(store.Place(art, step.order, scene[step.prep])) << step.art << " " << step.prep;
    EXPECT_EQ(WalkedNames(scene.layer()), step.layer) << step.art << " " << step.prep;
    EXPECT_EQ(WalkedNames(scene["G"]), step.group) << step.art << " " << step.prep;
  }
  // Disposing of the group takes its children; the objects around it close up.
  ASSERT_EQ(Art().DisposeArt(scene["G"]), kHostNoError);
  EXPECT_EQ(WalkedNames(scene.layer()), (std::vector<std::string>{"N", "N", "B", "N"}));
  ASSERT_EQ(Art().DisposeArt(scene.layer()->children.back()), kHostNoError);
  ASSERT_EQ(Art().DisposeArt(scene.layer()->children.front()), kHostNoError);
  EXPECT_EQ(WalkedNames(scene.layer()), (std::vector<std::string>{"N", "B"}));
}

// One cubic piece from (0, 0) to (10, 0) whose handles reach up to v = 10:
// the curve itself only rises to 7.5, at its middle.
PathSegment Corner(HostPoint p, HostPoint in, HostPoint out) { return PathSegment{p, in, out, 1}; }

TEST(ArtSuites, BoundsAreThoseOfTheCurvesNotOfTheirHandles) {
  Scene scene({Path("arch", {Corner({0, 0}, {0, 0}, {0, 10}), Corner({10, 0}, {10, 10}, {10, 0})}).Open(),
               // Closed, the piece back from the last anchor to the first counts too.
               Path("lens", {Corner({0, 0}, {0, -10}, {0, 10}), Corner({10, 0}, {10, 10}, {10, -10})}),
               Circle("C", 30, 0, 10).Stroked(4)});
  HostRect r{};
  ASSERT_EQ(Art().GetArtTransformBounds(scene["arch"], nullptr, kBoundsGeometric, &r), kHostNoError);
  EXPECT_FLOAT_EQ(r.left, 0);
  EXPECT_FLOAT_EQ(r.right, 10);
  EXPECT_FLOAT_EQ(r.top, 7.5f);
  EXPECT_FLOAT_EQ(r.bottom, 0);

  ASSERT_EQ(Art().GetArtTransformBounds(scene["lens"], nullptr, kBoundsGeometric, &r), kHostNoError);
  EXPECT_FLOAT_EQ(r.top, 7.5f);
  EXPECT_FLOAT_EQ(r.bottom, -7.5f);

  // A circle's bounds are exact; the stroke adds half its width only when asked.
  ASSERT_EQ(Art().GetArtTransformBounds(scene["C"], nullptr, kBoundsGeometric, &r), kHostNoError);
  EXPECT_EQ(r.left, 20);
  EXPECT_EQ(r.top, 10);
  EXPECT_EQ(r.right, 40);
  EXPECT_EQ(r.bottom, -10);
  ASSERT_EQ(Art().GetArtTransformBounds(scene["C"], nullptr, kBoundsWithStroke, &r), kHostNoError);
  EXPECT_EQ(r.left, 18);
  EXPECT_EQ(r.top, 12);

  // Through a matrix: a quarter turn and a shift, (h, v) -> (-v + 100, h).
  const HostMatrix turn{0, 1, -1, 0, 100, 0};
  ASSERT_EQ(Art().GetArtTransformBounds(scene["arch"], &turn, kBoundsGeometric, &r), kHostNoError);
  EXPECT_FLOAT_EQ(r.left, 92.5f);
  EXPECT_FLOAT_EQ(r.right, 100);
  EXPECT_FLOAT_EQ(r.top, 10);
  EXPECT_FLOAT_EQ(r.bottom, 0);

  // A group's bounds cover all its paths.
  scene.Add(Group("G", {Circle("D", 0, 0, 1), Circle("E", 10, 5, 2)}));
  ASSERT_EQ(Art().GetArtTransformBounds(scene["G"], nullptr, kBoundsGeometric, &r), kHostNoError);
  EXPECT_EQ(r.left, -1);
  EXPECT_EQ(r.top, 7);
  EXPECT_EQ(r.right, 12);
  EXPECT_EQ(r.bottom, -1);
}

TEST(ArtSuites, AnInjectedCodeIsReturnedAndNothingIsDone) {
  Scene scene({Circle("A", 0, 0, 10)});
  scene.journal().FailNth("DuplicateArt", 1, kInjected);
  scene.journal().FailNth("SetPathSegments", 0, kInjected);
  ArtHandle copy = nullptr;
  EXPECT_EQ(Art().DuplicateArt(scene["A"], kPlaceAbove, scene["A"], &copy), kInjected);
  EXPECT_EQ(copy, nullptr);
  EXPECT_EQ(scene.layer()->children.size(), 1u);
  const PathSegment zero{};
  EXPECT_EQ(Paths().SetPathSegments(scene["A"], 0, 1, &zero), kInjected);
  EXPECT_EQ(scene["A"]->segments[0].p.h, 10);
  // Only the first duplicate was made to fail.
  EXPECT_EQ(Art().DuplicateArt(scene["A"], kPlaceAbove, scene["A"], &copy), kHostNoError);
  EXPECT_EQ(scene.journal().Dump(),
            "AI Art Suite.DuplicateArt(A, 1, A) -> 'TEST'\n"
            "AI Path Suite.SetPathSegments(A, 0, 1) -> 'TEST'\n"
            "AI Art Suite.DuplicateArt(A, 1, A)\n");
}

TEST(ArtSuites, WithRecordingOffCallsStillCountAndFaultsStillApply) {
  Scene scene({Circle("A", 0, 0, 10), Circle("B", 30, 0, 10)});
  scene.journal().SetRecording(false);
  // Entry 2 from here, and the second path read whose arguments name B.
  scene.journal().FailAt(2, kInjected);
  scene.journal().FailNth("GetPathSegments", 2, kInjected, "B");
  PathSegment segment{};
  int16_t type = 0;
  const std::vector<HostError> got = {Paths().GetPathSegments(scene["B"], 0, 1, &segment),
                                      Art().GetArtType(scene["A"], &type),
                                      Art().GetArtType(scene["A"], &type),
                                      Paths().GetPathSegments(scene["A"], 0, 1, &segment),
                                      Paths().GetPathSegments(scene["B"], 0, 1, &segment),
                                      Paths().GetPathSegments(scene["B"], 0, 1, &segment)};
  EXPECT_EQ(got, (std::vector<HostError>{kHostNoError, kHostNoError, kInjected, kHostNoError, kInjected,
                                         kHostNoError}));
  EXPECT_TRUE(scene.journal().entries().empty());
  // Without faults nothing is looked at; recording again picks up from here.
  scene.journal().ClearFaults();
  EXPECT_EQ(Art().GetArtType(scene["A"], &type), kHostNoError);
  scene.journal().SetRecording(true);
  EXPECT_EQ(Art().GetArtType(scene["B"], &type), kHostNoError);
  EXPECT_EQ(scene.journal().Dump(), "AI Art Suite.GetArtType(B)\n");
}

// Names come from drawings: the journal prints a plain name as it is and
// any other quoted and escaped, so that none reads as a handle ("#1",
// "null") or as more arguments, and nothing in one reaches a terminal as a
// control: C0 controls, DEL, C1 controls, bidirectional controls and bytes
// that are not UTF-8 become \xNN.
TEST(ArtSuites, JournalNamesNeverReadAsHandlesOrActOnTheTerminal) {
  struct Case {
    const char* name;
    const char* shown;
  };
  const Case cases[] = {
      {"c1", "c1"},
      {"layer_2.a:b-c", "layer_2.a:b-c"},
      {"#1", "\"#1\""},
      {"null", "\"null\""},
      {"1", "\"1\""},
      {"a, #2", "\"a, #2\""},
      {"say \"hi\" \\o/", "\"say \\\"hi\\\" \\\\o/\""},
      {"red\x1B[31m", "\"red\\x1B[31m\""},
      {"\x1B]0;title\x07", "\"\\x1B]0;title\\x07\""},
      {"cr\rlf\ntab\t", "\"cr\\x0Dlf\\x0Atab\\x09\""},
      {"del\x7F", "\"del\\x7F\""},
      {"csi\xC2\x9B"
       "31m",
       "\"csi\\xC2\\x9B31m\""},
      {"rtl\xE2\x80\xAE"
       "txt",
       "\"rtl\\xE2\\x80\\xAEtxt\""},
      {"bad\xFF\xC3", "\"bad\\xFF\\xC3\""},
      {"caf\xC3\xA9", "\"caf\xC3\xA9\""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Scene scene({Circle(c.name, 0, 0, 10)});
    int16_t type = 0;
    ASSERT_EQ(Art().GetArtType(scene[c.name], &type), kHostNoError);
    EXPECT_EQ(scene.journal().entries().back().args, c.shown);
    EXPECT_EQ(scene.journal().Dump(), std::string("AI Art Suite.GetArtType(") + c.shown + ")\n");
  }
  // Whatever an entry's arguments hold, the dump shows no control.
  Scene scene;
  scene.journal().Enter("Suite", "Op", "\x1B[2J\r\x9B", false);
  EXPECT_EQ(scene.journal().Dump(), "Suite.Op(\\x1B[2J\\x0D\\x9B)\n");
}

TEST(ArtSuites, RealMathRoundsDoubleResultsOnceAndCannotFail) {
  Scene scene;
  scene.journal().FailNth("PointDistance", 0, kInjected);
  const HostPoint origin{0, 0}, corner{3, 4}, up{0, 30}, back{-1, 0};
  EXPECT_EQ(Math().PointDistance(&origin, &corner), 5.0f);
  EXPECT_EQ(Math().PointAngle(&origin, &up), static_cast<float>(1.5707963267948966));
  EXPECT_EQ(Math().PointAngle(&origin, &back), static_cast<float>(3.141592653589793));
  // Squares this small vanish in float but not in double.
  const HostPoint tiny{1e-30f, 1e-30f};
  EXPECT_FLOAT_EQ(Math().PointDistance(&origin, &tiny), 1.41421356e-30f);
  ASSERT_EQ(scene.journal().entries().size(), 4u);
  EXPECT_EQ(scene.journal().entries()[0].args, "(0, 0), (3, 4)");
  EXPECT_FALSE(scene.journal().entries()[0].returnsCode);
  EXPECT_EQ(scene.journal().entries()[0].injected, 0);
}

}  // namespace
