// The effect on a document's selection, as the Inkscape extension runs it:
// where the effect group goes, what moves into it and with which transform,
// re-running from the kept sources, the whole drawing, the outline against
// `apply`, a document otherwise untouched, and failures that print nothing.
#include "cli/commands/inkscape_effect.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <pugixml.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "cli/commands/inkscape_command.h"
#include "cli/session/effect_session.h"
#include "cli/svg/svg_errors.h"
#include "cli/svg/svg_export.h"
#include "cli/svg/svg_matrix.h"
#include "cli/svg/svg_transform.h"
#include "plugin/plugin_globals.h"

namespace {

using morvelin::ApplyEffectToSelection;
using morvelin::SelectionEffectRequest;

constexpr const char* kPrologue =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\n<!-- Created with Inkscape -->\n\n";

// An Inkscape-like drawing: a notes layer (text and an open line), a circles
// layer moved by a transform, one circle inside a rotated group.
std::string Drawing(const std::string& circles) {
  return std::string(kPrologue) +
         "<svg width=\"120mm\" height=\"80mm\" viewBox=\"0 0 120 80\" id=\"svg5\" "
         "xmlns=\"http://www.w3.org/2000/svg\" "
         "xmlns:inkscape=\"http://www.inkscape.org/namespaces/inkscape\" "
         "xmlns:sodipodi=\"http://sodipodi.sourceforge.net/DTD/sodipodi-0.dtd\">\n"
         "  <sodipodi:namedview id=\"nv\" inkscape:document-units=\"mm\"/>\n"
         "  <g inkscape:groupmode=\"layer\" id=\"notes\" inkscape:label=\"Notes &amp; more\">\n"
         "    <text id=\"caption\" x='8' y=\"74\" data-say='\"hi\"'>Morvelin</text>\n"
         "    <path id=\"rule\" style=\"fill:none;stroke:#999\" d=\"M 5,62 H 115\"/>\n"
         "  </g>\n"
         "  <g inkscape:groupmode=\"layer\" id=\"layer1\" transform=\"translate(10,-5)\">\n" +
         circles + "  </g>\n</svg>\n<!-- after -->\n";
}

const std::string kCircles =
    "    <circle id=\"c1\" style=\"fill:#2a5db0\" cx=\"18\" cy=\"35\" r=\"11\"/>\n"
    "    <path sodipodi:type=\"arc\" id=\"c2\" style=\"fill:#2a5db0\" sodipodi:cx=\"47\" sodipodi:cy=\"30\" "
    "sodipodi:rx=\"8\" sodipodi:ry=\"8\" d=\"m 55,30 a 8,8 0 0 1 -8,8 8,8 0 0 1 -8,-8 8,8 0 0 1 8,-8 8,8 0 0 "
    "1 "
    "8,8 z\"/>\n"
    "    <g id=\"g1\" transform=\"rotate(15,70,40)\">\n"
    "      <circle id=\"c3\" style=\"fill:#2a5db0\" cx=\"72\" cy=\"44\" r=\"6\"/>\n"
    "    </g>\n";

std::string Effect(const std::string& text, std::vector<std::string> ids, int viscosity = 50) {
  SelectionEffectRequest request;
  request.text = text;
  request.name = "drawing.svg";
  request.ids = std::move(ids);
  request.viscosity = viscosity;
  return ApplyEffectToSelection(request);
}

struct Parsed {
  explicit Parsed(const std::string& text) {
    const auto result = document.load_string(text.c_str(), pugi::parse_default | pugi::parse_comments);
    EXPECT_TRUE(result) << result.description();
  }
  pugi::xml_node Id(const char* id) const {
    return document.find_node(
        [id](pugi::xml_node n) { return std::string(n.attribute("id").value()) == id; });
  }
  std::vector<pugi::xml_node> WithClass(const char* cls) const {
    std::vector<pugi::xml_node> found;
    for (const pugi::xpath_node& n : document.select_nodes(
             (std::string("//*[contains(concat(' ', @class, ' '), ' ") + cls + " ')]").c_str())) {
      found.push_back(n.node());
    }
    return found;
  }
  pugi::xml_document document;
};

std::vector<std::string> ChildIds(pugi::xml_node node) {
  std::vector<std::string> ids;
  for (pugi::xml_node child : node.children()) {
    if (child.type() == pugi::node_element) ids.emplace_back(child.attribute("id").value());
  }
  return ids;
}

morvelin::SvgMatrix Ctm(pugi::xml_node node) {
  morvelin::SvgMatrix m;
  for (; node && node.parent() && node.parent().type() != pugi::node_document; node = node.parent()) {
    m = morvelin::ParseTransform(node.attribute("transform").value()) * m;
  }
  return m;
}

void ExpectSameMatrix(const morvelin::SvgMatrix& a, const morvelin::SvgMatrix& b) {
  for (auto [x, y] : {std::pair{a.a, b.a}, {a.b, b.b}, {a.c, b.c}, {a.d, b.d}, {a.e, b.e}, {a.f, b.f}}) {
    EXPECT_NEAR(x, y, 1e-9);
  }
}

// The outline path data `morvelin apply` writes for `text`: its paths
// without an id are the ones the effect made.
std::vector<std::string> ApplyOutlines(const std::string& text, int viscosity) {
  morvelin::EffectSession session;
  session.LoadDrawingText(text, "apply");
  standin::EffectApplication& application = session.ApplyEffect(static_cast<float>(viscosity));
  EXPECT_EQ(session.host().effects().Execute(application), 0);
  Parsed written(morvelin::ExportSvg(session.Shown(application)));
  std::vector<std::string> outlines;
  for (const pugi::xpath_node& n : written.document.select_nodes("//path[not(@id)]")) {
    outlines.emplace_back(n.node().attribute("d").value());
  }
  return outlines;
}

std::vector<std::string> OutlineData(const Parsed& result) {
  std::vector<std::string> data;
  for (pugi::xml_node outline : result.WithClass("morvelin-outline"))
    data.emplace_back(outline.attribute("d").value());
  return data;
}

class InkscapeEffectTest : public ::testing::Test {
 protected:
  void TearDown() override { EXPECT_EQ(gGlobals, nullptr); }
};

TEST_F(InkscapeEffectTest, SelectionBecomesTheEffectGroupWhereTheTopmostStood) {
  const std::string text = Drawing(kCircles);
  const Parsed before(text);
  const std::string out = Effect(text, {"c3", "c1", "c2"});
  const Parsed result(out);

  const auto effects = result.WithClass("morvelin-effect");
  ASSERT_EQ(effects.size(), 1u);
  const pugi::xml_node effect = effects[0];
  EXPECT_STREQ(effect.attribute("data-morvelin-viscosity").value(), "50");
  EXPECT_STREQ(effect.parent().attribute("id").value(), "g1");  // c3, the topmost, stood there
  const pugi::xml_node sources = result.WithClass("morvelin-sources").at(0);
  EXPECT_EQ(sources.parent(), effect);
  EXPECT_STREQ(sources.attribute("style").value(), "display:none");
  EXPECT_EQ(ChildIds(sources), (std::vector<std::string>{"c1", "c2", "c3"}));  // paint order kept
  EXPECT_EQ(result.WithClass("morvelin-outline").size(), 1u);

  // Each source draws where it did, and keeps every other attribute.
  for (const char* id : {"c1", "c2", "c3"}) {
    ExpectSameMatrix(Ctm(result.Id(id)), Ctm(before.Id(id)));
    for (pugi::xml_attribute attribute : before.Id(id).attributes()) {
      if (std::string(attribute.name()) != "transform") {
        EXPECT_STREQ(result.Id(id).attribute(attribute.name()).value(), attribute.value()) << id;
      }
    }
  }
  // The outline, drawn inside the rotated and moved groups, lands where
  // apply puts it.
  const pugi::xml_node outline = result.WithClass("morvelin-outline")[0];
  ExpectSameMatrix(Ctm(outline), morvelin::SvgMatrix{});

  // Everything outside the effect group as it was, byte for byte.
  EXPECT_EQ(out.substr(0, out.find("<svg")), text.substr(0, text.find("<svg")));
  EXPECT_NE(out.find("inkscape:label=\"Notes &amp; more\""), std::string::npos);
  EXPECT_NE(out.find("data-say=\"&quot;hi&quot;\""), std::string::npos);
  EXPECT_NE(out.find("<path id=\"rule\" style=\"fill:none;stroke:#999\" d=\"M 5,62 H 115\"/>"),
            std::string::npos);
  EXPECT_EQ(out.substr(out.rfind("</svg>")), "</svg>\n<!-- after -->\n");
  EXPECT_STREQ(result.Id("svg5").attribute("viewBox").value(), "0 0 120 80");
}

TEST_F(InkscapeEffectTest, OutlineIsWhatApplyMakesOfTheSameObjects) {
  // Without transforms around them the outline's path data is apply's, to
  // the character; with them (the first drawing) it differs only by the
  // rounding of the composed transforms, which the Inkscape test measures.
  const std::string flat = std::string(kPrologue) +
                           "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 100 100\">"
                           "<circle id=\"a\" fill=\"red\" cx=\"20\" cy=\"50\" r=\"10\"/>"
                           "<circle id=\"b\" fill=\"blue\" cx=\"45\" cy=\"50\" r=\"8\"/>"
                           "<circle id=\"c\" fill=\"blue\" cx=\"90\" cy=\"90\" r=\"3\"/>"
                           "<text id=\"t\">kept</text></svg>";
  for (int viscosity : {1, 50, 100}) {
    const Parsed all(Effect(flat, {}, viscosity));
    EXPECT_EQ(OutlineData(all), ApplyOutlines(flat, viscosity)) << viscosity;
    EXPECT_EQ(ChildIds(all.WithClass("morvelin-sources").at(0)), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_STREQ(all.Id("t").parent().name(), "svg");  // text is passed over
  }
  // A single circle: no bridge, the outline is the circle as apply leaves it.
  const Parsed one(Effect(flat, {"c"}));
  EXPECT_EQ(OutlineData(one).size(), 1u);
  EXPECT_EQ(OutlineData(one)[0].substr(0, 1), "M");
  EXPECT_STREQ(one.WithClass("morvelin-outline")[0].attribute("fill").value(), "#0000ff");
}

TEST_F(InkscapeEffectTest, RunningAgainOnTheGroupRecomputesFromTheKeptSources) {
  const std::string first = Effect(Drawing(kCircles), {"c1", "c2", "c3"}, 50);
  const Parsed once(first);
  const std::string effectId = once.WithClass("morvelin-effect").at(0).attribute("id").value();
  const std::string sourcesId = once.WithClass("morvelin-sources").at(0).attribute("id").value();

  // Selecting the group, or something inside it, means the group.
  for (const std::string& selected : {effectId, std::string("c2")}) {
    const std::string again = Effect(first, {selected}, 90);
    const Parsed twice(again);
    ASSERT_EQ(twice.WithClass("morvelin-effect").size(), 1u) << selected;
    const pugi::xml_node effect = twice.WithClass("morvelin-effect")[0];
    EXPECT_EQ(effect.attribute("id").value(), effectId);
    EXPECT_STREQ(effect.attribute("data-morvelin-viscosity").value(), "90");
    EXPECT_STREQ(effect.parent().attribute("id").value(), "g1");
    EXPECT_EQ(twice.WithClass("morvelin-sources").at(0).attribute("id").value(), sourcesId);
    // The sources come back exactly as they were kept.
    for (const char* id : {"c1", "c2", "c3"}) {
      EXPECT_STREQ(twice.Id(id).attribute("transform").value(), once.Id(id).attribute("transform").value());
    }
    EXPECT_NE(OutlineData(twice), OutlineData(once));
    EXPECT_EQ(OutlineData(Parsed(Effect(first, {selected}, 50))), OutlineData(once));
  }
}

TEST_F(InkscapeEffectTest, NothingSelectedTakesTheWholeDrawing) {
  const std::string text =
      Drawing(kCircles + "    <circle id=\"c4\" style=\"fill:red\" cx=\"92\" cy=\"22\" r=\"5\"/>\n");
  const Parsed result(Effect(text, {}));
  const pugi::xml_node effect = result.WithClass("morvelin-effect").at(0);
  EXPECT_STREQ(effect.parent().attribute("id").value(), "layer1");
  // Groups move whole; the open line and the text, passed over, stay.
  EXPECT_EQ(ChildIds(result.WithClass("morvelin-sources").at(0)),
            (std::vector<std::string>{"c1", "c2", "g1", "c4"}));
  EXPECT_EQ(ChildIds(result.Id("notes")), (std::vector<std::string>{"caption", "rule"}));
  // Run again with nothing selected: the effect group's sources are the art.
  const Parsed again(Effect(Effect(text, {}), {}, 20));
  EXPECT_EQ(again.WithClass("morvelin-effect").size(), 1u);
  EXPECT_EQ(ChildIds(again.WithClass("morvelin-sources").at(0)),
            (std::vector<std::string>{"c1", "c2", "g1", "c4"}));
}

// The document's tail is the source's own bytes after the root's end tag,
// found by the parse: a comment after the root that holds "</svg" stays as
// it was and the result is well formed. Ids are matched by their value, as
// Inkscape passes it: references decoded.
TEST_F(InkscapeEffectTest, TailAsWrittenAndIdsByTheirDecodedValue) {
  const std::string circles =
      "<circle id=\"R&amp;D\" fill=\"red\" cx=\"20\" cy=\"40\" r=\"10\"/>\n"
      "<circle id='say \"hi\"' fill=\"red\" cx=\"40\" cy=\"40\" r=\"10\"/>\n"
      "<circle id=\"&#x41;&#66;\" fill=\"red\" cx=\"60\" cy=\"40\" r=\"10\"/>\n";
  struct Case {
    std::string tail;  // after the root's end tag
    std::vector<std::string> ids;
  };
  const Case cases[] = {
      {"\n<!-- </svg> -->\n", {"R&D", "say \"hi\""}},
      {"<!--</svg--><?pi </svg>?>", {"AB", "R&D"}},
      {"", {"say \"hi\"", "AB"}},
      {"\r\n\r\n", {"R&D", "AB", "say \"hi\""}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.tail);
    std::string text = Drawing(circles);
    text = text.substr(0, text.rfind("</svg>") + 6) + c.tail;
    const std::string out = Effect(text, c.ids);
    ASSERT_GT(out.size(), c.tail.size() + 6);
    EXPECT_EQ(out.substr(out.size() - c.tail.size() - 6), "</svg>" + c.tail);
    // Well formed, and the selected circles, by their decoded ids, went into
    // the sources group.
    const Parsed result(out);
    const auto sources = result.WithClass("morvelin-sources");
    ASSERT_EQ(sources.size(), 1u);
    std::vector<std::string> moved;
    for (pugi::xml_node child : sources[0].children()) {
      if (child.type() == pugi::node_element) moved.emplace_back(child.attribute("id").value());
    }
    EXPECT_EQ(moved.size(), c.ids.size());
    for (const std::string& id : c.ids) {
      EXPECT_NE(std::find(moved.begin(), moved.end(), id), moved.end()) << id;
    }
  }
  // The raw text of an id is not its value.
  EXPECT_THROW(Effect(Drawing(circles), {"R&amp;D"}), morvelin::SvgError);
}

TEST_F(InkscapeEffectTest, FailuresNameTheProblemAndPrintNoDocument) {
  const std::string far = Drawing(
      "<circle id=\"near\" fill=\"red\" cx=\"30\" cy=\"50\" r=\"10\"/>"
      "<circle id=\"far\" fill=\"red\" cx=\"2000000\" cy=\"50\" r=\"10\"/>");
  struct Case {
    std::string text;
    std::vector<std::string> ids;
    std::string viscosity;
    int exitCode;
    std::string message;
  };
  const std::vector<Case> cases = {
      {Drawing(kCircles), {"c1"}, "0", 2, "viscosity must be a whole number from 1 to 100, not \"0\""},
      {Drawing(kCircles), {"c1"}, "5.5", 2, "not \"5.5\""},
      {Drawing(kCircles), {"nope"}, "50", 2, "the document: no object has the id \"nope\""},
      {Drawing(kCircles), {"svg5"}, "50", 2, "the drawing itself"},
      {Drawing(kCircles), {"caption"}, "50", 2, "no closed, filled or stroked path"},
      {"<svg xmlns=\"http://www.w3.org/2000/svg\"><circle r=\"1\"></svg>", {}, "50", 2, "the document:1:"},
      {"<html/>", {}, "50", 2, "root element is <html>"},
      {Drawing("<path id=\"bad\" d=\"M 1 1 L x\"/>"), {}, "50", 2, "the document:"},
      {Drawing("<defs><circle id=\"d\" r=\"1\"/></defs>"), {"d"}, "50", 2, "inside <defs>"},
      {far, {"near", "far"}, "50", 1, "the effect failed ('PARM'): the shapes lie beyond"},
  };
  for (const Case& c : cases) {
    const std::string path = ::testing::TempDir() + "/morvelin-inkscape-case.svg";
    {
      std::ofstream file(path, std::ios::binary);
      file << c.text;
    }
    morvelin::InkscapeOptions options;
    options.input = path;
    options.ids = c.ids;
    options.viscosity = c.viscosity;
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(morvelin::RunInkscapeCommand(options, out, err), c.exitCode) << c.message;
    EXPECT_EQ(out.str(), "") << c.message;
    EXPECT_NE(err.str().find(c.message), std::string::npos) << err.str();
    EXPECT_EQ(err.str().rfind("Morvelin: ", 0), 0u) << err.str();
  }
}

}  // namespace
