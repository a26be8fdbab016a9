// A drawing through `morvelin apply`: what the effect did not touch comes
// back exactly as it was read; what it made or changed is written anew in
// its parent's coordinates, with the paint and class of the object whose
// place it takes; the summary says "unchanged" exactly when nothing changed.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "cli/commands/apply_command.h"
#include "cli/svg/svg_export.h"
#include "cli/svg/svg_import.h"

namespace morvelin {
namespace {

namespace fs = std::filesystem;

const fs::path kData = fs::path(__FILE__).parent_path().parent_path() / "data";

class RoundTrip : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("morvelin-round-trip-" + std::to_string(::getpid()) + "-" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  // Applies the effect to `svg`; returns the output text.
  std::string Apply(const std::string& svg, const std::string& viscosity = "50", bool noUnite = false) {
    ApplyOptions options;
    options.input = (dir_ / "in.svg").string();
    std::ofstream(options.input, std::ios::binary) << svg;
    options.output = (dir_ / "out.svg").string();
    options.viscosity = viscosity;
    options.noUnite = noUnite;
    out_.str("");
    err_.str("");
    EXPECT_EQ(RunApplyCommand(options, out_, err_), 0) << err_.str();
    std::ifstream in(options.output, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }
  bool SaidUnchanged() const { return out_.str().find("unchanged") != std::string::npos; }

  fs::path dir_;
  std::ostringstream out_, err_;
};

std::string Svg(const std::string& body) {
  return "<?xml version=\"1.0\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" "
         "xmlns:ink=\"urn:ink\">" +
         body + "</svg>\n";
}

int Count(const std::string& text, const std::string& what) {
  int n = 0;
  for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

// The numbers of the first `d` attribute that follows `after`.
std::vector<double> PathNumbers(const std::string& text, const std::string& after) {
  const std::size_t at = text.find(after);
  EXPECT_NE(at, std::string::npos) << after << " in " << text;
  std::vector<double> numbers;
  if (at == std::string::npos) return numbers;
  const std::size_t d = text.find(" d=\"", at);
  const std::string data = text.substr(d + 4, text.find('"', d + 4) - d - 4);
  static const std::regex number(R"(-?[0-9.]+(e[-+]?[0-9]+)?)");
  for (auto it = std::sregex_iterator(data.begin(), data.end(), number); it != std::sregex_iterator(); ++it) {
    numbers.push_back(std::stod(it->str()));
  }
  return numbers;
}

// Untouched elements, with their transforms, classes, styles, ids, foreign
// namespaces, comments and order, come back byte for byte; only the two
// circles are gone into the outline.
TEST_F(RoundTrip, UntouchedElementsComeBackAsRead) {
  const std::string kept[] = {
      "<defs><linearGradient id=\"g\" gradientUnits=\"userSpaceOnUse\" gradientTransform=\"rotate(30)\" "
      "x2=\"10\"><stop offset=\"0\" stop-color=\"red\"/></linearGradient>"
      "<marker id=\"m\"><circle r=\"1\"/></marker><filter id=\"f\"><feGaussianBlur "
      "stdDeviation=\"2\"/></filter>"
      "</defs>",
      "<!-- a note -->",
      "<g transform=\"scale(2)\" class=\"layer\" ink:label=\"L\" style=\"opacity:.5\"><line x1=\"0\" "
      "y1=\"0\" "
      "x2=\"9\" y2=\"9\" stroke=\"red\" marker-end=\"url(#m)\" stroke-width=\"3\"/></g>",
      "<polyline id=\"p\" points=\"1 1 5 5 1 9\" fill=\"url(#g)\" filter=\"url(#f)\" "
      "transform=\"skewX(10)\" stroke=\"none\" stroke-width=\"3\"/>",
      "<text x=\"1\" y=\"9\" font-size=\"3\">caption &amp; more</text>",
      "<ink:thing a=\"1\"><ink:inner/></ink:thing>",
  };
  std::string body;
  for (const std::string& k : kept) body += k;
  const std::string drawing =
      Svg("<circle cx=\"100\" cy=\"100\" r=\"10\"/>" + body + "<circle cx=\"130\" cy=\"100\" r=\"10\"/>");
  const std::string text = Apply(drawing);
  for (const std::string& k : kept) {
    EXPECT_NE(text.find(k), std::string::npos) << k << "\n" << text;
  }
  EXPECT_EQ(Count(text, "<circle cx"), 0) << text;
  EXPECT_EQ(
      text.rfind("<?xml version=\"1.0\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:ink=\"urn:ink\">",
                 0),
      0u);
  // The kept elements keep their order around the outline, which takes
  // the first circle's place.
  EXPECT_LT(text.find("morvelin-outline"), text.find("<defs>"));
  EXPECT_LT(text.find("<defs>"), text.find("<!-- a note -->"));
  EXPECT_LT(text.find("<text"), text.find("<ink:thing"));
}

// The united outline and, with --no-unite, the bridges are written anew in
// their parent's coordinates, with the paint and class of the object whose
// place they take (the sources, whose join became round, stay as read: see
// NoUniteRewritesOnlyTheJoinOfASource).
TEST_F(RoundTrip, NewObjectsTakeTheirPlaceInTheParentsCoordinates) {
  const std::string group =
      "<g id=\"layer\" transform=\"translate(100 50) scale(2)\">"
      "<circle id=\"a\" class=\"dot\" cx=\"0\" cy=\"0\" r=\"10\" fill=\"#ff0000\" stroke=\"blue\" "
      "stroke-width=\"2\"/><circle id=\"b\" cx=\"30\" cy=\"0\" r=\"10\" fill=\"green\"/></g>";
  struct Case {
    bool noUnite;
    int paths;          // path elements written
    const char* first;  // text the first new path carries
    const char* start;  // what the group starts with
  };
  const Case cases[] = {
      {false, 1, "class=\"dot morvelin-outline\"", "<path"},
      {true, 1, "class=\"dot\"/>", "<circle id=\"a\" class=\"dot\""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.noUnite ? "--no-unite" : "united");
    const std::string text = Apply(Svg(group), "50", c.noUnite);
    EXPECT_EQ(Count(text, "<path"), c.paths) << text;
    // Inside the group, which keeps its transform; paint of the first circle
    // with its stroke width in the group's units.
    EXPECT_NE(text.find(std::string("<g id=\"layer\" transform=\"translate(100 50) scale(2)\">") + c.start),
              std::string::npos)
        << text;
    EXPECT_NE(text.find(c.first), std::string::npos) << text;
    EXPECT_NE(text.find("fill=\"#ff0000\" stroke=\"#0000ff\" stroke-width=\"2\" stroke-linejoin=\"round\""),
              std::string::npos)
        << text;
    // Coordinates in the group's units: the circles span -10..40 there.
    const std::vector<double> numbers = PathNumbers(text, "<path");
    ASSERT_FALSE(numbers.empty());
    for (std::size_t i = 0; i < numbers.size(); i += 2) {
      EXPECT_GE(numbers[i], -10.01);
      EXPECT_LE(numbers[i], 40.01);
      EXPECT_GE(numbers[i + 1], -10.01);
      EXPECT_LE(numbers[i + 1], 10.01);
    }
  }
  // The sources keep their ids; the bridge copies get ids of their own.
  const std::string text = Apply(Svg(group), "50", true);
  EXPECT_EQ(Count(text, "id=\"a\""), 1) << text;
  EXPECT_EQ(Count(text, "id=\"b\""), 1) << text;
}

// Three circles: the bridges of the first two pairs are copies of the
// template, the last one is the template itself. With --no-unite each of
// them is written as a path beside the sources (which stay circles), and
// each has the round join, as every source has.
TEST_F(RoundTrip, EveryBridgeOfThreeCirclesHasTheRoundJoin) {
  const std::string text = Apply(Svg("<circle cx=\"20\" cy=\"20\" r=\"10\" fill=\"red\" stroke=\"black\"/>"
                                     "<circle cx=\"60\" cy=\"20\" r=\"10\" fill=\"green\" stroke=\"black\"/>"
                                     "<circle cx=\"40\" cy=\"60\" r=\"12\" fill=\"blue\" stroke=\"black\"/>"),
                                 "50", true);
  EXPECT_EQ(Count(text, "<path"), 3) << text;
  EXPECT_EQ(Count(text, "stroke-linejoin=\"round\""), 6) << text;
}

// What follows the root's end tag comes back byte for byte when the effect
// changed the drawing.
TEST_F(RoundTrip, TextAfterTheRootComesBackAsWritten) {
  const std::string body = "<circle cx=\"0\" cy=\"0\" r=\"10\"/><circle cx=\"30\" cy=\"0\" r=\"10\"/>";
  for (const std::string tail : {"", "\n", "\r\n<!-- end -->  \r\n", "<?pi </svg>?>\n\n<!-- </svg> -->"}) {
    SCOPED_TRACE(tail);
    std::string drawing = Svg(body);
    drawing = drawing.substr(0, drawing.size() - 1) + tail;
    const std::string text = Apply(drawing);
    EXPECT_FALSE(SaidUnchanged());
    ASSERT_GE(text.size(), tail.size() + 6);
    EXPECT_EQ(text.substr(text.size() - tail.size() - 6), "</svg>" + tail);
  }
}

// With --no-unite a source is written as it was read, every attribute and
// child kept, with only its join made round: where its style attribute says
// the join, there; with style sheets in the document (whose rules beat
// presentation attributes) in the style attribute; otherwise as the
// presentation attribute.
TEST_F(RoundTrip, NoUniteRewritesOnlyTheJoinOfASource) {
  const std::string kept =
      " filter=\"url(#f)\" clip-path=\"url(#c)\" mask=\"url(#m)\" opacity=\".5\" data-x=\"1 &amp; 2\"";
  const std::string b = "<circle id=\"b\" cx=\"30\" cy=\"0\" r=\"10\" fill=\"red\"/>";
  struct Case {
    std::string sheet;
    std::string a;         // the first source, as read
    std::string aWritten;  // and as written
    std::string bWritten;
  };
  const Case cases[] = {
      {"",
       "<circle id=\"a\" cx=\"0\" cy=\"0\" r=\"10\" fill=\"red\"" + kept +
           " style=\"cursor:pointer\"><title>A &amp; B</title></circle>",
       "<circle id=\"a\" cx=\"0\" cy=\"0\" r=\"10\" fill=\"red\"" + kept +
           " style=\"cursor:pointer\" stroke-linejoin=\"round\"><title>A &amp; B</title></circle>",
       "<circle id=\"b\" cx=\"30\" cy=\"0\" r=\"10\" fill=\"red\" stroke-linejoin=\"round\"/>"},
      {"", "<circle id=\"a\" stroke-linejoin=\"miter\" cx=\"0\" cy=\"0\" r=\"10\" fill=\"red\"" + kept + "/>",
       "<circle id=\"a\" stroke-linejoin=\"round\" cx=\"0\" cy=\"0\" r=\"10\" fill=\"red\"" + kept + "/>",
       "<circle id=\"b\" cx=\"30\" cy=\"0\" r=\"10\" fill=\"red\" stroke-linejoin=\"round\"/>"},
      {"",
       "<circle id=\"a\" style=\"cursor:pointer;stroke-linejoin:bevel;stroke:blue\" "
       "stroke-linejoin=\"miter\" "
       "cx=\"0\" cy=\"0\" r=\"10\" fill=\"red\"/>",
       "<circle id=\"a\" style=\"cursor:pointer;stroke:blue;stroke-linejoin:round\" "
       "stroke-linejoin=\"miter\" "
       "cx=\"0\" cy=\"0\" r=\"10\" fill=\"red\"/>",
       "<circle id=\"b\" cx=\"30\" cy=\"0\" r=\"10\" fill=\"red\" stroke-linejoin=\"round\"/>"},
      {"<style>.dot{stroke:blue;stroke-linejoin:bevel}</style>",
       "<circle id=\"a\" class=\"dot\" cx=\"0\" cy=\"0\" r=\"10\" fill=\"red\" style=\"cursor:pointer\"/>",
       "<circle id=\"a\" class=\"dot\" cx=\"0\" cy=\"0\" r=\"10\" fill=\"red\" "
       "style=\"cursor:pointer;stroke-linejoin:round\"/>",
       "<circle id=\"b\" cx=\"30\" cy=\"0\" r=\"10\" fill=\"red\" style=\"stroke-linejoin:round\"/>"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.a);
    const std::string text = Apply(Svg(c.sheet + "\n  " + c.a + "\n  " + b + "\n"), "50", true);
    EXPECT_NE(out_.str().find("Bridges built"), std::string::npos) << out_.str();
    // In their places, after the white space in front of them.
    EXPECT_NE(text.find("\n  " + c.aWritten), std::string::npos) << text;
    EXPECT_NE(text.find("\n  " + c.bWritten), std::string::npos) << text;
    EXPECT_EQ(Count(text, "<path"), 1) << text;  // the bridge
  }
}

// The summary says "unchanged" exactly when the effect changed nothing, and
// the output is then the input.
TEST_F(RoundTrip, UnchangedExactlyWhenNothingChanged) {
  struct Case {
    std::string drawing;
    std::string viscosity;
    bool unchanged;
  };
  const std::string two = "<circle cx=\"0\" cy=\"0\" r=\"10\"/><circle cx=\"30\" cy=\"0\" r=\"10\"/>";
  const Case cases[] = {
      {Svg("<text>no paths</text>"), "50", true},
      {Svg("<circle cx=\"0\" cy=\"0\" r=\"10\"/><path d=\"M0 0 L5 5\" stroke=\"red\"/>"), "50", true},
      {Svg(two), "0", true},
      {Svg(two), "50", false},
      // Far apart at a low viscosity: the sources' joins become round.
      {Svg("<circle cx=\"0\" cy=\"0\" r=\"1\"/><circle cx=\"3000\" cy=\"0\" r=\"1\"/>"), "1", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.drawing + " at " + c.viscosity);
    const std::string text = Apply(c.drawing, c.viscosity);
    EXPECT_EQ(SaidUnchanged(), c.unchanged) << out_.str();
    if (c.unchanged) {
      EXPECT_EQ(text, c.drawing);
    } else {
      EXPECT_NE(text, c.drawing);
    }
  }
}

// Hard cases from public drawings (kept in tests/data/corpus): an external
// style sheet, transforms, gradients, many sources. Unchanged, the output
// reads as the input did and is written the same way again; with bridges,
// the outline is marked and the input's other elements are all still there.
TEST_F(RoundTrip, HardCasesFromPublicDrawings) {
  int files = 0;
  for (const auto& entry : fs::directory_iterator(kData / "corpus")) {
    SCOPED_TRACE(entry.path().filename().string());
    ++files;
    std::ifstream in(entry.path(), std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    const std::string out = Apply(text.str());
    standin::ArtStore a, b;
    const SvgDrawing first = ParseSvg(text.str(), "in", a);
    const SvgDrawing second = ParseSvg(out, "out", b);
    if (SaidUnchanged()) {
      EXPECT_EQ(a.Live(), b.Live());
      EXPECT_EQ(ExportSvg(second), out);
    } else {
      EXPECT_GT(Count(out, "morvelin-outline"), 0);
      EXPECT_EQ(Count(out, "<text"), Count(text.str(), "<text"));
      EXPECT_EQ(Count(out, "Gradient "), Count(text.str(), "Gradient "));
    }
  }
  EXPECT_GE(files, 4);
}

}  // namespace
}  // namespace morvelin
