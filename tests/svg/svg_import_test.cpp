// Reading SVG into the art tree: path data, shapes, transforms, paint,
// pass-through of what the tool does not model, and errors.
#include "cli/svg/svg_import.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>

#include "cli/svg/svg_css.h"
#include "cli/svg/svg_path_data.h"
#include "cli/svg/svg_shapes.h"
#include "cli/svg/svg_transform.h"

namespace morvelin {
namespace {

constexpr float kHandle = 0.5522847f;

std::string Svg(const std::string& body) {
  return "<svg xmlns=\"http://www.w3.org/2000/svg\">" + body + "</svg>";
}

// The anchors of the only subpath of `d`, after rounding to floats.
std::vector<PathSegment> Segments(const std::string& d) {
  const auto subpaths = ParsePathData(d);
  EXPECT_EQ(subpaths.size(), 1u) << d;
  return ToHostSegments(subpaths.at(0), SvgMatrix{});
}

void ExpectPoint(HostPoint p, float h, float v, const char* what = "") {
  EXPECT_NEAR(p.h, h, 1e-4) << what;
  EXPECT_NEAR(p.v, v, 1e-4) << what;
}

bool Retracted(const PathSegment& s) {
  return s.in.h == s.p.h && s.in.v == s.p.v && s.out.h == s.p.h && s.out.v == s.p.v;
}

std::size_t DataErrorOffset(const std::string& d) {
  try {
    ParsePathData(d);
  } catch (const SvgDataError& error) {
    return error.index;
  }
  ADD_FAILURE() << "no error for " << d;
  return 0;
}

class Import : public ::testing::Test {
 protected:
  const ArtObject& Load(const std::string& text) {
    drawing = ParseSvg(text, "drawing.svg", store);
    return *drawing.root;
  }
  standin::ArtStore store;
  SvgDrawing drawing;
};

TEST(PathData, LinesAbsoluteRelativeAndImplicitRepeats) {
  // After M further pairs are lines; after m relative lines; H/V keep the
  // other coordinate.
  auto s = Segments("M10 10 20 10 h5 v5 H0 V10 l1 1 L 3 3");
  ASSERT_EQ(s.size(), 8u);
  ExpectPoint(s[1].p, 20, 10);
  ExpectPoint(s[2].p, 25, 10);
  ExpectPoint(s[3].p, 25, 15);
  ExpectPoint(s[4].p, 0, 15);
  ExpectPoint(s[5].p, 0, 10);
  ExpectPoint(s[6].p, 1, 11);
  ExpectPoint(s[7].p, 3, 3);
  for (const auto& segment : s) EXPECT_TRUE(Retracted(segment));

  s = Segments("m1 2 3 4 5 6");
  ASSERT_EQ(s.size(), 3u);
  ExpectPoint(s[2].p, 9, 12);
}

TEST(PathData, CompactNumbers) {
  auto s = Segments("M-.5.5L1e-3-2e1l.5.5");
  ASSERT_EQ(s.size(), 3u);
  ExpectPoint(s[0].p, -0.5f, 0.5f);
  ExpectPoint(s[1].p, 0.001f, -20);
  ExpectPoint(s[2].p, 0.501f, -19.5f);
  s = Segments("M1,2,3,4");
  ExpectPoint(s[1].p, 3, 4);
}

TEST(PathData, CubicsAndSmoothReflection) {
  auto s = Segments("M0 0 C0 10 10 10 10 0 S20 -10 20 0 s10 10 10 0");
  ASSERT_EQ(s.size(), 4u);
  ExpectPoint(s[0].out, 0, 10);
  ExpectPoint(s[1].in, 10, 10);
  // S mirrors the previous second handle about the current point.
  ExpectPoint(s[1].out, 10, -10);
  ExpectPoint(s[2].in, 20, -10);
  ExpectPoint(s[2].out, 20, 10);
  ExpectPoint(s[3].in, 30, 10);
  ExpectPoint(s[3].p, 30, 0);
  // S after a line starts its curve with a handle on the current point.
  s = Segments("M0 0 L10 0 S20 10 30 0");
  ExpectPoint(s[1].out, 10, 0);
}

TEST(PathData, QuadraticsAreExactCubics) {
  auto s = Segments("M0 0 Q30 30 60 0 T120 0 q0 30 30 30");
  ASSERT_EQ(s.size(), 4u);
  // Handles two thirds of the way to the control point.
  ExpectPoint(s[0].out, 20, 20);
  ExpectPoint(s[1].in, 40, 20);
  // T reflects the control point: (90, -30).
  ExpectPoint(s[1].out, 80, -20);
  ExpectPoint(s[2].in, 100, -20);
  ExpectPoint(s[2].out, 120, 20);
  ExpectPoint(s[3].in, 130, 30);
  ExpectPoint(s[3].p, 150, 30);
}

TEST(PathData, ArcsBecomeQuarterCubicsEndingOnTheEndPoint) {
  // A quarter circle of radius 10 is one cubic with the quarter handle.
  auto s = Segments("M10 0 A10 10 0 0 1 0 10");
  ASSERT_EQ(s.size(), 2u);
  ExpectPoint(s[0].out, 10, 10 * kHandle);
  ExpectPoint(s[1].in, 10 * kHandle, 10);
  EXPECT_EQ(s[1].p.h, 0.0f);
  EXPECT_EQ(s[1].p.v, 10.0f);

  // Large arc, opposite sweep: three quarters, three pieces, each anchor on
  // the circle around (0, 0).
  s = Segments("M10 0 A10 10 0 1 0 0 10");
  ASSERT_EQ(s.size(), 4u);
  for (const auto& segment : s) EXPECT_NEAR(std::hypot(segment.p.h, segment.p.v), 10, 1e-4);
  ExpectPoint(s[1].p, 0, -10);
  EXPECT_EQ(s[3].p.h, 0.0f);
  EXPECT_EQ(s[3].p.v, 10.0f);

  // Radii too small for the chord grow to a half ellipse; flags need no
  // separators; a rotated ellipse still lands on the end point.
  s = Segments("M0 0a1 1 0 0010 0");
  ASSERT_EQ(s.size(), 3u);
  ExpectPoint(s[1].p, 5, 5);
  s = Segments("M0 0 A30 10 45 1 1 17 3");
  ExpectPoint(s.back().p, 17, 3);

  // Zero radius draws a line; an arc to the current point draws nothing.
  s = Segments("M0 0 A0 5 0 0 1 10 0 A5 5 0 0 1 10 0");
  ASSERT_EQ(s.size(), 2u);
  EXPECT_TRUE(Retracted(s[1]));
}

TEST(PathData, SubpathsCloseAndRestartAtTheirStart) {
  const auto subpaths = ParsePathData("M0 0 L10 0 L10 10 Z l5 5 M20 20 L30 20 L20 20 z");
  ASSERT_EQ(subpaths.size(), 3u);
  EXPECT_TRUE(subpaths[0].closed);
  // A command after Z without a move starts from the closed subpath's start.
  ASSERT_EQ(subpaths[1].anchors.size(), 2u);
  EXPECT_EQ(subpaths[1].anchors[1].p, (DPoint{5, 5}));
  EXPECT_FALSE(subpaths[1].closed);
  // Ending on the first anchor before Z merges the two.
  EXPECT_EQ(ToHostSegments(subpaths[2], SvgMatrix{}).size(), 2u);
  const auto loop = Segments("M0 0 C10 0 10 10 0 10 C-10 10 -10 0 0 0 Z");
  ASSERT_EQ(loop.size(), 2u);
  ExpectPoint(loop[0].in, -10, 0);
  EXPECT_EQ(loop[0].corner, 0);
}

TEST(PathData, FaultsReportTheirOffset) {
  EXPECT_EQ(DataErrorOffset("L10 10"), 0u);
  EXPECT_EQ(DataErrorOffset("M10 10 L5"), 9u);
  EXPECT_EQ(DataErrorOffset("M10 10 X"), 7u);
  EXPECT_EQ(DataErrorOffset("M0 0 A5 5 0 2 0 1 1"), 12u);
  EXPECT_EQ(DataErrorOffset("M0 0 Z 5"), 7u);
  EXPECT_TRUE(ParsePathData("  ").empty());
}

TEST(Shapes, CircleAnchorsAndHandles) {
  const auto s = ToHostSegments(EllipseSubpath(100, 50, 20, 20), SvgMatrix{});
  ASSERT_EQ(s.size(), 4u);
  const float h = 20 * kHandle;
  ExpectPoint(s[0].p, 120, 50);
  ExpectPoint(s[1].p, 100, 70);
  ExpectPoint(s[2].p, 80, 50);
  ExpectPoint(s[3].p, 100, 30);
  ExpectPoint(s[0].out, 120, 50 + h);
  ExpectPoint(s[1].in, 100 + h, 70);
  ExpectPoint(s[1].out, 100 - h, 70);
  ExpectPoint(s[3].out, 100 + h, 30);
  ExpectPoint(s[0].in, 120, 50 - h);
  for (const auto& segment : s) EXPECT_EQ(segment.corner, 0);
}

TEST_F(Import, RectanglesWithAndWithoutRoundedCorners) {
  const auto& root =
      Load(Svg("<rect x='10' y='20' width='40' height='30'/>"
               "<rect x='0' y='0' width='40' height='30' rx='5'/>"
               "<rect x='0' y='0' width='40' height='30' rx='100' ry='5'/>"));
  ASSERT_EQ(root.children.size(), 3u);
  const auto& square = root.children[0]->segments;
  ASSERT_EQ(square.size(), 4u);
  ExpectPoint(square[0].p, 10, 20);
  ExpectPoint(square[2].p, 50, 50);
  EXPECT_TRUE(root.children[0]->closed);

  // rx alone sets ry too: eight anchors, from (x + rx, y).
  const auto& rounded = root.children[1]->segments;
  ASSERT_EQ(rounded.size(), 8u);
  ExpectPoint(rounded[0].p, 5, 0);
  ExpectPoint(rounded[1].p, 35, 0);
  ExpectPoint(rounded[1].out, 35 + 5 * kHandle, 0);
  ExpectPoint(rounded[2].p, 40, 5);
  ExpectPoint(rounded[0].in, 5 - 5 * kHandle, 0);

  // Radii clamp to half the sides; the horizontal sides vanish, leaving six
  // anchors.
  const auto& pill = root.children[2]->segments;
  ASSERT_EQ(pill.size(), 6u);
  ExpectPoint(pill[0].p, 20, 0);
  ExpectPoint(pill[2].p, 40, 25);
  ExpectPoint(pill[3].p, 20, 30);
}

TEST_F(Import, ElementsThatDoNotRenderAreKeptUnmodelled) {
  const auto& root =
      Load(Svg("<circle r='0'/><rect width='10'/><path d=''/><circle r='5' display='none'/>"
               "<circle r='5' style='display:none'/><circle r='5%'/><ellipse rx='4'/>"));
  ASSERT_EQ(root.children.size(), 7u);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(root.children[i]->type, kArtTypeForeign) << i;
  EXPECT_EQ(root.children[0]->source->foreign, "<circle r=\"0\"/>");
  // An ellipse with one radius uses it for both.
  ASSERT_EQ(root.children[6]->type, kArtTypePath);
  ExpectPoint(root.children[6]->segments[1].p, 0, 4);
}

TEST(Transforms, ListsApplyRightmostFirst) {
  const auto apply = [](const char* text, DPoint p) { return ParseTransform(text).Apply(p); };
  DPoint p = apply("translate(10,0) scale(2)", {1, 1});
  EXPECT_DOUBLE_EQ(p.x, 12);
  EXPECT_DOUBLE_EQ(p.y, 2);
  p = apply("rotate(90 10 10)", {20, 10});
  EXPECT_NEAR(p.x, 10, 1e-12);
  EXPECT_NEAR(p.y, 20, 1e-12);
  p = apply("skewX(45)", {0, 1});
  EXPECT_NEAR(p.x, 1, 1e-12);
  p = apply("skewY(45),translate(5)", {1, 0});
  EXPECT_NEAR(p.x, 6, 1e-12);
  EXPECT_NEAR(p.y, 6, 1e-12);
  p = apply("matrix(1 2 3 4 5 6)", {1, 1});
  EXPECT_DOUBLE_EQ(p.x, 9);
  EXPECT_DOUBLE_EQ(p.y, 12);
  EXPECT_THROW(ParseTransform("rotate(1 2)"), SvgDataError);
  EXPECT_THROW(ParseTransform("spin(3)"), SvgDataError);
  EXPECT_THROW(ParseTransform("scale(2"), SvgDataError);
}

TEST_F(Import, TransformsComposeThroughGroupsAndScaleStrokes) {
  const auto& root =
      Load(Svg("<g id='outer' transform='translate(100 0)'><g transform='scale(2)'>"
               "<path id='p' d='M1 1 L2 1' transform='rotate(90)' stroke='red' stroke-width='3'/>"
               "</g></g>"));
  ASSERT_EQ(root.children.size(), 1u);
  const ArtObject& outer = *root.children[0];
  EXPECT_EQ(outer.source->name, "outer");
  EXPECT_EQ(outer.type, kArtTypeGroup);
  // No transform is kept: it is in the coordinates.
  EXPECT_TRUE(outer.source->attributes.empty());
  const ArtObject& path = *outer.children.at(0)->children.at(0);
  EXPECT_EQ(path.source->name, "p");
  ExpectPoint(path.segments[0].p, 98, 2);
  ExpectPoint(path.segments[1].p, 98, 4);
  EXPECT_FLOAT_EQ(path.style->strokeWidth, 6);
}

TEST_F(Import, PaintDefaultsAndInheritance) {
  const auto& root = Load(Svg(
      "<path d='M0 0 L1 1'/>"
      "<g fill='#f80' stroke='rgb(0, 0, 255)' stroke-width='2' stroke-linejoin='round' opacity='0.5'>"
      "  <path d='M0 0 L1 1' fill-opacity='0.5' opacity='0.5'/>"
      "  <g style='fill: none; stroke: rgb(100%, 0%, 50%)'><path d='M0 0 L1 1' stroke-linecap='square'/></g>"
      "  <path d='M0 0 L1 1' fill='DarkOrange' style='fill:currentColor;color:lime' fill-rule='evenodd'/>"
      "</g>"));
  const PathStyle& plain = root.children[0]->style;
  EXPECT_TRUE(plain.fillPaint);
  EXPECT_FALSE(plain.strokePaint);
  EXPECT_EQ(plain.fillColor.red, 0.0f);
  EXPECT_EQ(plain.fillColor.opacity, 1.0f);
  EXPECT_FLOAT_EQ(plain.strokeWidth, 1);
  EXPECT_FLOAT_EQ(plain.miterLimit, 4);
  EXPECT_EQ(plain.lineJoin, kLineJoinMiter);
  EXPECT_EQ(plain.lineCap, kLineCapButt);
  EXPECT_FALSE(plain.evenOddFill);

  const ArtObject& group = *root.children[1];
  // A group's opacity stays with the group; the path's own one is folded.
  const PathStyle& first = group.children[0]->style;
  EXPECT_FLOAT_EQ(first.fillColor.red, 1);
  EXPECT_FLOAT_EQ(first.fillColor.green, 136 / 255.0f);
  EXPECT_FLOAT_EQ(first.fillColor.opacity, 0.25f);
  EXPECT_TRUE(first.strokePaint);
  EXPECT_FLOAT_EQ(first.strokeColor.blue, 1);
  EXPECT_FLOAT_EQ(first.strokeColor.opacity, 0.5f);
  EXPECT_FLOAT_EQ(first.strokeWidth, 2);
  EXPECT_EQ(first.lineJoin, kLineJoinRound);

  const PathStyle& nested = group.children[1]->children[0]->style;
  EXPECT_FALSE(nested.fillPaint);
  EXPECT_FLOAT_EQ(nested.strokeColor.red, 1);
  EXPECT_FLOAT_EQ(nested.strokeColor.blue, 128 / 255.0f);
  EXPECT_EQ(nested.lineJoin, kLineJoinRound);
  EXPECT_EQ(nested.lineCap, kLineCapSquare);

  // The style attribute wins over the presentation attribute.
  const PathStyle& current = group.children[2]->style;
  EXPECT_FLOAT_EQ(current.fillColor.green, 1);
  EXPECT_FLOAT_EQ(current.fillColor.red, 0);
  EXPECT_TRUE(current.evenOddFill);
}

TEST_F(Import, StyleSheetClassesAndPaintServers) {
  const auto& root =
      Load(Svg("<style>.a{fill:#00F;stroke:red} path.b{fill:#0f0} #c{fill:white} .a .x{fill:red}</style>"
               "<path class='a' d='M0 0 L1 1' fill='yellow'/>"
               "<path class='a b' d='M0 0 L1 1'/>"
               "<path id='c' class='b' d='M0 0 L1 1' style='fill:black'/>"
               "<path d='M0 0 L1 1' fill='url(#shade)' style='stroke:url(&quot;#s&quot;) none'/>"));
  ASSERT_EQ(root.children.size(), 5u);
  EXPECT_EQ(root.children[0]->type, kArtTypeForeign);
  // Sheet rules beat presentation attributes; more specific rules win.
  EXPECT_FLOAT_EQ(root.children[1]->style->fillColor.blue, 1);
  EXPECT_TRUE(root.children[1]->style->strokePaint);
  EXPECT_FLOAT_EQ(root.children[2]->style->fillColor.green, 1);
  EXPECT_FLOAT_EQ(root.children[2]->style->fillColor.blue, 0);
  EXPECT_FLOAT_EQ(root.children[3]->style->fillColor.red, 0);

  const ArtObject& shaded = *root.children[4];
  EXPECT_TRUE(shaded.style->fillPaint);
  EXPECT_FLOAT_EQ(shaded.style->fillColor.red, 128 / 255.0f);
  EXPECT_TRUE(shaded.style->strokePaint);
  std::vector<std::pair<std::string, std::string>> expected{{"fill", "url(#shade)"},
                                                            {"stroke", "url(&quot;#s&quot;) none"}};
  EXPECT_EQ(shaded.source->attributes, expected);
}

// Rules are looked up by the element's id, classes and name; what wins is
// what a scan of every rule in order would give.
TEST(StyleSheet, IndexedRulesCascadeAsWritten) {
  struct Case {
    const char* sheet;
    const char* element;
    const char* id;
    const char* classes;
    const char* fills;  // the fill declarations the element gets, in cascade order
  };
  const Case cases[] = {
      {".a{fill:red} .b{fill:blue}", "path", "", "b a", "red blue"},
      // The same selector and declarations again count at their last place.
      {".a{fill:red} .b{fill:blue} .a{fill:red}", "path", "", "a b", "blue red"},
      {".a,.b,.a{fill:red} .b{fill:blue}", "path", "", "a b", "red red blue"},
      // The same selector with other declarations is a rule of its own.
      {".a{fill:red} .b{fill:blue} .a{fill:green}", "path", "", "a b", "red blue green"},
      // Compound selectors filed under their first class match any order.
      {".a.b{fill:red} .b{fill:blue}", "path", "", "b\ta", "blue red"},
      {".a.b{fill:red}", "path", "", "a", ""},
      {"#c{fill:red} path.a{fill:blue} .a{fill:green} path{fill:gray} *{fill:white}", "path", "c", "a",
       "white gray green blue red"},
      {"#c{fill:red} circle.a{fill:blue} rect{fill:gray}", "path", "d", "a", ""},
      {".a.a{fill:red} .a{fill:blue}", "path", "", "a", "blue red"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.sheet);
    StyleSheet sheet;
    sheet.AddRules(c.sheet);
    std::string fills;
    for (const CssDeclaration* declaration : sheet.DeclarationsFor(c.element, c.id, c.classes)) {
      if (declaration->name != "fill") continue;
      fills += (fills.empty() ? "" : " ") + declaration->value;
    }
    EXPECT_EQ(fills, c.fills);
    EXPECT_FALSE(sheet.truncated());
  }
}

// One rule of 100,000 identical selectors is one rule; sheets beyond the
// bounds on rules and selectors are read up to them, with one warning.
TEST(StyleSheet, RepeatedSelectorsCountOnceAndTheBoundsWarn) {
  std::string repeated = "<style>";
  for (int i = 0; i < 100000; ++i) repeated += i == 0 ? ".x" : ",.x";
  repeated += "{fill:green}</style>";
  std::string distinct = "<style>";
  for (std::size_t i = 0; i <= StyleSheet::kMaxSelectors; ++i) {
    distinct += ".c" + std::to_string(i) + (i + 1 <= StyleSheet::kMaxSelectors ? "," : "{fill:green}");
  }
  distinct += "</style>";
  std::string blocks = "<style>";
  for (std::size_t i = 0; i <= StyleSheet::kMaxRules; ++i)
    blocks += ".c" + std::to_string(i) + "{fill:green}";
  blocks += "</style>";
  const std::string last = std::to_string(StyleSheet::kMaxSelectors);
  const std::string beforeLast = std::to_string(StyleSheet::kMaxSelectors - 1);
  struct Case {
    std::string sheet;
    bool warned;
  };
  const Case cases[] = {{repeated, false}, {distinct, true}, {blocks, true}};
  for (const Case& c : cases) {
    standin::ArtStore store;
    const SvgDrawing drawing =
        ParseSvg(Svg(c.sheet + "<path class='x' d='M0 0 L1 1'/><path class='c" + beforeLast +
                     "' d='M0 0 L1 1'/><path class='c" + last + "' d='M0 0 L1 1'/>" + c.sheet),
                 "drawing.svg", store);
    const auto& paths = drawing.root->children;
    ASSERT_EQ(paths.size(), 5u);
    if (c.warned) {
      ASSERT_EQ(drawing.warnings.size(), 1u);
      EXPECT_EQ(drawing.warnings[0].rfind("drawing.svg:1:41: warning: the style sheets hold more than", 0),
                0u)
          << drawing.warnings[0];
      // The selectors within the bounds apply; the one beyond is ignored.
      EXPECT_FLOAT_EQ(paths[2]->style->fillColor.green, 128 / 255.0f);
      EXPECT_FLOAT_EQ(paths[3]->style->fillColor.green, 0);
    } else {
      EXPECT_TRUE(drawing.warnings.empty());
      EXPECT_FLOAT_EQ(paths[1]->style->fillColor.green, 128 / 255.0f);
    }
  }
  StyleSheet sheet;
  sheet.AddRules(repeated.substr(7, repeated.size() - 15));
  EXPECT_EQ(sheet.size(), 1u);
}

TEST_F(Import, SeveralSubpathsMakeACompoundPath) {
  const auto& root =
      Load(Svg("<path id='ring' fill-rule='evenodd' d='M0 0 H10 V10 H0 Z M2 2 H8 V8 H2 Z M20 20'/>"));
  const ArtObject& compound = *root.children.at(0);
  EXPECT_EQ(compound.type, kArtTypeCompoundPath);
  EXPECT_EQ(compound.source->name, "ring");
  EXPECT_TRUE(compound.style->evenOddFill);
  ASSERT_EQ(compound.children.size(), 3u);
  for (const ArtObject* child : compound.children) {
    EXPECT_EQ(child->type, kArtTypePath);
    EXPECT_EQ(child->parent, &compound);
    EXPECT_TRUE(child->style->evenOddFill);
  }
  EXPECT_EQ(compound.children[0]->segments.size(), 4u);
  EXPECT_TRUE(compound.children[1]->closed);
  EXPECT_FALSE(compound.children[2]->closed);
}

TEST_F(Import, UnmodelledContentIsKeptInPlace) {
  const auto& root = Load(
      "<?xml version='1.0'?>\n<!-- made by hand -->\n"
      "<svg xmlns='http://www.w3.org/2000/svg' xmlns:ink='urn:ink' viewBox='0 0 10 10' ink:zoom='2'>"
      "<ink:view ink:x='1'/><title lang='say \"hi\"'>T</title>\n"
      "<g transform='translate(5 5)' ink:label='L' style='fill:red' class='k'>"
      "<path d='M0 0 L1 1' ink:type='arc' style='fill:blue;font-size:3px' pathLength='5'/>"
      "<text x='1' transform='scale(2)'>a <tspan>b</tspan> &amp; c</text><!-- note -->"
      "</g></svg><!-- after -->");
  EXPECT_EQ(drawing.prolog, "<?xml version='1.0'?>\n<!-- made by hand -->\n");
  EXPECT_EQ(drawing.epilog, "<!-- after -->");
  std::vector<std::pair<std::string, std::string>> rootAttributes{{"xmlns", "http://www.w3.org/2000/svg"},
                                                                  {"xmlns:ink", "urn:ink"},
                                                                  {"viewBox", "0 0 10 10"},
                                                                  {"ink:zoom", "2"}};
  EXPECT_EQ(root.source->attributes, rootAttributes);
  ASSERT_EQ(root.children.size(), 3u);
  EXPECT_EQ(root.children[0]->source->foreign, "<ink:view ink:x=\"1\"/>");
  // Values stay as written; a '"' inside one is re-quoted for the output.
  EXPECT_EQ(root.children[1]->source->foreign, "<title lang=\"say &quot;hi&quot;\">T</title>");

  const ArtObject& group = *root.children[2];
  std::vector<std::pair<std::string, std::string>> groupAttributes{
      {"ink:label", "L"}, {"style", "fill:red"}, {"class", "k"}};
  EXPECT_EQ(group.source->attributes, groupAttributes);
  ASSERT_EQ(group.children.size(), 3u);
  std::vector<std::pair<std::string, std::string>> pathAttributes{
      {"ink:type", "arc"}, {"pathLength", "5"}, {"style", "font-size:3px"}};
  EXPECT_EQ(group.children[0]->source->attributes, pathAttributes);
  // Kept content is kept as read: its group keeps its transform in the
  // output.
  EXPECT_EQ(group.children[1]->source->foreign,
            "<text x=\"1\" transform=\"scale(2)\">a <tspan>b</tspan> &amp; c</text>");
  EXPECT_EQ(group.children[2]->source->foreign, "<!-- note -->");
}

struct ErrorCase {
  const char* text;
  int line, column;
  const char* message;
};

// What no browser draws is refused: XML that is not well formed, a root that
// is not SVG, no root at all.
TEST(ImportErrors, NameTheFileLineAndColumn) {
  const ErrorCase cases[] = {
      {"<svg>\n  <g>\n</svg>", 3, 3, "drawing.svg:3:3: "},
      {"<html/>", 1, 1, "drawing.svg:1:1: root element is <html>, not <svg>"},
      {"<x:svg xmlns:x='urn:not-svg'/>", 1, 1, "drawing.svg:1:1: root element is <x:svg>, not <svg>"},
      {"<svg a='1' a='2'/>", 1, 1, "drawing.svg:1:1: attribute 'a' written twice"},
      // Past a few attributes the check goes through a set.
      {"<svg b0='' b1='' b2='' b3='' b4='' b5='' b6='' b7='' b8='' b9='' c0='' c1='' c2='' c3='' c4='' c5='' "
       "c6='' c7='' c8='' c9='' b4='again'/>",
       1, 1, "drawing.svg:1:1: attribute 'b4' written twice"},
      {"", 1, 1, "drawing.svg:1:1: "},
  };
  for (const ErrorCase& c : cases) {
    standin::ArtStore store;
    try {
      ParseSvg(c.text, "drawing.svg", store);
      ADD_FAILURE() << "no error for " << c.text;
    } catch (const SvgError& error) {
      EXPECT_EQ(error.file(), "drawing.svg");
      EXPECT_EQ(error.line(), c.line) << c.text;
      EXPECT_EQ(error.column(), c.column) << c.text;
      EXPECT_EQ(std::string(error.what()).rfind(c.message, 0), 0u) << error.what();
    }
    // A failed import leaves nothing behind in the store.
    EXPECT_EQ(store.Live(), 0) << c.text;
  }
}

// Everything else is read as browsers draw it: bad path data up to the
// fault, an invalid value as if absent, an odd point list without its last
// number, shapes the rules make invalid (and what the host cannot hold) kept
// as they are; a warning names the place of each fault.
TEST(ImportErrors, BadValuesAreDrawnAroundWithAWarning) {
  struct Case {
    const char* text;
    const char* warning;  // prefix of the only warning; "" for none
    int16_t type;         // of the root's first object
    int anchors;          // of that path, when it is one
  };
  const Case cases[] = {
      {"<svg>\n<path\n  d='M0 0 L1 1 L2'/></svg>", "drawing.svg:3:18: warning: in 'd': expected a number",
       kArtTypePath, 2},
      {"<svg>\r\n<path d='M0 0\r\nL1 q'/></svg>", "drawing.svg:3:4: warning: in 'd': expected a number",
       kArtTypePath, 1},
      {"<svg><path d='M0 0 L1 1 Z X 5'/></svg>", "drawing.svg:1:27: warning: in 'd': unknown path command",
       kArtTypePath, 2},
      {"<svg><path d='L1 1'/></svg>", "drawing.svg:1:15: warning: in 'd': path data must start",
       kArtTypeForeign, 0},
      {"<svg><g transform='translate(1,2) spin(3)'><path d='M5 5 L6 6'/></g></svg>",
       "drawing.svg:1:35: warning: in 'transform'", kArtTypeGroup, 0},
      {"<svg><circle r='x'/></svg>", "drawing.svg:1:17: warning: in 'r': not a length", kArtTypeForeign, 0},
      {"<svg><circle cx='?' r='2'/></svg>", "drawing.svg:1:18: warning: in 'cx': not a length", kArtTypePath,
       4},
      {"<svg><polygon points='1 2 3'/></svg>", "drawing.svg:1:28: warning: in 'points': odd number",
       kArtTypePath, 1},
      {"<svg><polyline points='1 2 3 4 x 6'/></svg>",
       "drawing.svg:1:32: warning: in 'points': expected a number", kArtTypePath, 2},
      {"<svg><path d='M1e38 0 L1e39 0'/></svg>", "drawing.svg:1:6: warning: coordinates beyond",
       kArtTypeForeign, 0},
      {"<svg><circle r='-1'/></svg>", "", kArtTypeForeign, 0},
      {"<svg><rect width='0' height='5'/></svg>", "", kArtTypeForeign, 0},
      {"<svg:svg xmlns:svg='http://www.w3.org/2000/svg'><svg:circle r='2'/></svg:svg>", "", kArtTypePath, 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    standin::ArtStore store;
    const SvgDrawing drawing = ParseSvg(c.text, "drawing.svg", store);
    if (*c.warning == '\0') {
      EXPECT_TRUE(drawing.warnings.empty());
    } else {
      ASSERT_EQ(drawing.warnings.size(), 1u);
      EXPECT_EQ(drawing.warnings[0].rfind(c.warning, 0), 0u) << drawing.warnings[0];
    }
    ASSERT_FALSE(drawing.root->children.empty());
    const ArtObject& first = *drawing.root->children[0];
    EXPECT_EQ(first.type, c.type);
    if (c.type == kArtTypePath) {
      EXPECT_EQ(first.segments.size(), static_cast<std::size_t>(c.anchors));
    }
    // An ignored transform is none.
    if (c.type == kArtTypeGroup) ExpectPoint(first.children.at(0)->segments[0].p, 5, 5);
  }
}

TEST(ImportErrors, UnreadableFilesAndOversizedInput) {
  standin::ArtStore store;
  EXPECT_THROW(LoadSvgFile("/nonexistent/drawing.svg", store), SvgError);
  try {
    LoadSvgFile(std::filesystem::temp_directory_path().string(), store);
    ADD_FAILURE();
  } catch (const SvgError& error) {
    EXPECT_NE(std::string(error.what()).find("is a directory"), std::string::npos);
  }
  // Groups nested beyond the reader's bound, and a subpath longer than the
  // host's 16-bit segment indices, are kept as they are, with a warning.
  std::string deep;
  for (int i = 0; i < 100000; ++i) deep += "<g>";
  for (int i = 0; i < 100000; ++i) deep += "</g>";
  SvgDrawing drawing = ParseSvg(Svg(deep), "deep.svg", store);
  ASSERT_EQ(drawing.warnings.size(), 1u);
  EXPECT_NE(drawing.warnings[0].find("nested too deeply"), std::string::npos);
  std::string d = "M0 0";
  for (int i = 0; i < 32767; ++i) d += " L1 1";
  drawing = ParseSvg(Svg("<path d='" + d + "'/>"), "long.svg", store);
  EXPECT_EQ(drawing.root->children.at(0)->type, kArtTypeForeign);
  EXPECT_EQ(drawing.warnings.size(), 1u);
}

// A .svgz drawing reads as its unpacked text does; one cut short is refused
// rather than read as far as it goes.
TEST(ImportErrors, CompressedDrawingsAreUnpackedAndCutOnesRefused) {
  const std::filesystem::path path = std::filesystem::temp_directory_path() / "morvelin-import-test.svgz";
  gzFile packed = gzopen(path.string().c_str(), "wb");
  ASSERT_NE(packed, nullptr);
  const std::string text = Svg("<circle cx='5' cy='5' r='2'/>");
  ASSERT_EQ(gzwrite(packed, text.data(), static_cast<unsigned>(text.size())), static_cast<int>(text.size()));
  ASSERT_EQ(gzclose(packed), Z_OK);
  standin::ArtStore store;
  const SvgDrawing drawing = LoadSvgFile(path.string(), store);
  ASSERT_EQ(drawing.root->children.size(), 1u);
  EXPECT_EQ(drawing.root->children[0]->type, kArtTypePath);

  std::filesystem::resize_file(path, std::filesystem::file_size(path) - 6);
  try {
    LoadSvgFile(path.string(), store);
    ADD_FAILURE();
  } catch (const SvgError& error) {
    EXPECT_NE(std::string(error.what()).find("cut off"), std::string::npos) << error.what();
  }
  std::filesystem::remove(path);
}

}  // namespace
}  // namespace morvelin
