// Writing the art tree as SVG and PNG: path data and numbers that read back
// exactly, paint, kept content, round trips, ids, and output files.
#include "cli/svg/svg_export.h"

#include <cairo.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "cli/session/png_render.h"
#include "cli/svg/svg_import.h"
#include "cli/svg/svg_path_text.h"

namespace morvelin {
namespace {

namespace fs = std::filesystem;

const fs::path kData = fs::path(__FILE__).parent_path().parent_path() / "data";

PathSegment Anchor(float h, float v) { return PathSegment{{h, v}, {h, v}, {h, v}, 1}; }

std::string Svg(const std::string& body) {
  return "<svg xmlns=\"http://www.w3.org/2000/svg\">" + body + "</svg>";
}

// The paths of a tree in paint order, each compound path's contours in turn.
void CollectContours(const ArtObject& art, std::vector<const ArtObject*>& out) {
  if (art.type == kArtTypePath) out.push_back(&art);
  for (const ArtObject* child : art.children) CollectContours(*child, out);
}

void ExpectSameSegments(const ArtObject& a, const ArtObject& b) {
  std::vector<const ArtObject*> first, second;
  CollectContours(a, first);
  CollectContours(b, second);
  ASSERT_EQ(first.size(), second.size());
  for (std::size_t i = 0; i < first.size(); ++i) {
    EXPECT_EQ(first[i]->closed, second[i]->closed);
    ASSERT_EQ(first[i]->segments.size(), second[i]->segments.size()) << "contour " << i;
    for (std::size_t j = 0; j < first[i]->segments.size(); ++j) {
      const PathSegment &x = first[i]->segments[j], &y = second[i]->segments[j];
      EXPECT_EQ(x.p.h, y.p.h);
      EXPECT_EQ(x.p.v, y.p.v);
      EXPECT_EQ(x.in.h, y.in.h);
      EXPECT_EQ(x.in.v, y.in.v);
      EXPECT_EQ(x.out.h, y.out.h);
      EXPECT_EQ(x.out.v, y.out.v);
      EXPECT_EQ(x.corner, y.corner);
    }
    EXPECT_EQ(0, std::memcmp(&first[i]->style.get(), &second[i]->style.get(), sizeof(PathStyle)))
        << "contour " << i;
  }
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

class Export : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = fs::temp_directory_path() / ("svg_export_test_" + std::to_string(::getpid()));
    fs::create_directories(folder);
  }
  void TearDown() override { fs::remove_all(folder); }

  standin::ArtStore store;
  fs::path folder;
};

TEST(PathText, LinesCurvesAndClosingPieces) {
  std::vector<PathSegment> s{Anchor(0, 0), Anchor(10, 0), Anchor(10, 10)};
  EXPECT_EQ(PathDataText(s, false), "M0 0 L10 0 L10 10");
  EXPECT_EQ(PathDataText(s, true), "M0 0 L10 0 L10 10 Z");
  // One extended handle makes the piece a curve; a curved closing piece is
  // written out before Z.
  s[1].out = HostPoint{15, 0};
  s[0].in = HostPoint{-5, 0};
  EXPECT_EQ(PathDataText(s, true), "M0 0 L10 0 C15 0 10 10 10 10 C10 10 -5 0 0 0 Z");
  EXPECT_EQ(PathDataText({}, true), "");
}

TEST_F(Export, NumbersReadBackAsTheSameFloats) {
  const float awkward[] = {0.1f, 1.0f / 3, -2.5e-7f, 123456.79f, 3.4e38f, 1e-38f, 16777217.0f, -0.0f};
  std::vector<PathSegment> segments;
  for (float value : awkward) {
    PathSegment s = Anchor(value, -value);
    s.out = HostPoint{value * 0.7f, value + 1};
    segments.push_back(s);
  }
  ArtObject* root = store.NewGroup();
  store.NewPath(root, segments, true, PathStyle{});
  const std::string text = ExportSvg(SvgDrawing{root, "n.svg", "", "", nullptr, {}});
  standin::ArtStore again;
  const SvgDrawing read = ParseSvg(text, "n.svg", again);
  const auto& back = read.root->children.at(0)->segments;
  ASSERT_EQ(back.size(), segments.size()) << text;
  for (std::size_t i = 0; i < back.size(); ++i) {
    EXPECT_EQ(back[i].p.h, segments[i].p.h) << i;
    EXPECT_EQ(back[i].p.v, segments[i].p.v) << i;
    EXPECT_EQ(back[i].out.h, segments[i].out.h) << i;
    EXPECT_EQ(back[i].out.v, segments[i].out.v) << i;
  }
  EXPECT_NE(text.find("M0.1 -0.1 "), std::string::npos) << text;
}

TEST_F(Export, SampleFilesRoundTripToTheSameArt) {
  for (const char* name : {"inkscape_drops.svg", "illustrator_badge.svg"}) {
    SCOPED_TRACE(name);
    const SvgDrawing first = LoadSvgFile((kData / name).string(), store);
    const std::string text = ExportSvg(first);
    const SvgDrawing second = ParseSvg(text, "second.svg", store);
    ExpectSameSegments(*first.root, *second.root);
    // Once written, a drawing is written the same way again.
    EXPECT_EQ(ExportSvg(second), text);
  }
}

TEST_F(Export, InkscapeFileKeepsItsEditorData) {
  const SvgDrawing drawing = LoadSvgFile((kData / "inkscape_drops.svg").string(), store);
  // As read, the drawing is its file, byte for byte.
  EXPECT_EQ(ExportSvg(drawing), ReadFile(kData / "inkscape_drops.svg"));
  // With an object added, every node it did not touch keeps what the
  // editor wrote.
  store.NewGroup(drawing.root);
  const std::string text = ExportSvg(drawing);
  EXPECT_NE(text.find("<g/>"), std::string::npos) << text;
  for (const char* kept :
       {"<!-- Created with Inkscape", "<sodipodi:namedview id=\"namedview7\"", "<dc:title>Drops</dc:title>",
        "<linearGradient inkscape:collect=\"always\"", "inkscape:label=\"Layer 1\"",
        "sodipodi:nodetypes=\"ccccc\"", "style=\"fill:url(#linearGradient1);stroke:none\"",
        "Drops <tspan style=\"font-weight:bold\""}) {
    EXPECT_NE(text.find(kept), std::string::npos) << kept;
  }
  // Untouched, the layer keeps its transform and the circle stays a circle.
  EXPECT_NE(text.find("<circle"), std::string::npos) << text;
  EXPECT_NE(text.find("transform=\"translate(-12.5,-20)\""), std::string::npos);
}

TEST_F(Export, PaintAttributes) {
  const SvgDrawing drawing = ParseSvg(
      Svg("<path d='M0 0 L1 0'/>"
          "<path d='M0 0 L1 0' fill='none' stroke='#123456' stroke-width='2.5' stroke-linejoin='bevel' "
          "stroke-linecap='round' stroke-miterlimit='8' stroke-dasharray='1 2 3' stroke-dashoffset='1' "
          "stroke-opacity='0.5'/>"
          "<path d='M0 0 L1 0' fill='red' fill-opacity='0.25' fill-rule='evenodd'/>"
          "<g stroke-linejoin='round'><path d='M0 0 L1 0' stroke='red' stroke-linejoin='miter'/></g>"
          "<g class='c'><path d='M0 0 L1 0'/></g>"),
      "p.svg", store);
  // Without its source every path is written from its art.
  const std::string text = ExportSvg(SvgDrawing{drawing.root, "p.svg", "", "", nullptr, {}});
  EXPECT_NE(text.find("<path d=\"M0 0 L1 0\" fill=\"#000000\" stroke=\"none\"/>"), std::string::npos) << text;
  EXPECT_NE(text.find("fill=\"none\" stroke=\"#123456\" stroke-opacity=\"0.5\" stroke-width=\"2.5\" "
                      "stroke-linejoin=\"bevel\" stroke-linecap=\"round\" stroke-miterlimit=\"8\" "
                      "stroke-dasharray=\"1 2 3 1 2 3\" stroke-dashoffset=\"1\"/>"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("fill=\"#ff0000\" fill-opacity=\"0.25\" fill-rule=\"evenodd\" stroke=\"none\"/>"),
            std::string::npos)
      << text;
  // Inside a group that sets paint, defaults are written out so that the
  // path keeps its own; a class may set anything.
  EXPECT_NE(
      text.find("<path d=\"M0 0 L1 0\" fill=\"#000000\" stroke=\"#ff0000\" stroke-linejoin=\"miter\"/>"),
      std::string::npos)
      << text;
  EXPECT_NE(text.find("<g class=\"c\">\n    <path d=\"M0 0 L1 0\" fill=\"#000000\" fill-opacity=\"1\" "
                      "fill-rule=\"nonzero\" stroke=\"none\"/>"),
            std::string::npos)
      << text;
}

TEST_F(Export, RepaintedPathsDropTheirPaintServer) {
  SvgDrawing drawing = ParseSvg(Svg("<path d='M0 0 L1 0' fill='url(#g)' stroke='url(#h)'/>"), "p.svg", store);
  ArtObject* path = drawing.root->children[0];
  store.NewGroup(drawing.root);  // a change elsewhere: the path is written as read
  EXPECT_NE(ExportSvg(drawing).find("fill=\"url(#g)\" stroke=\"url(#h)\"/>"), std::string::npos);
  path->style.Edit().fillColor = HostColor{1, 0, 0, 1};
  path->style.Edit().strokePaint = 0;
  EXPECT_NE(ExportSvg(drawing).find("fill=\"#ff0000\" stroke=\"none\"/>"), std::string::npos)
      << ExportSvg(drawing);
}

TEST_F(Export, CopiesGetUniqueIds) {
  SvgDrawing drawing = ParseSvg(Svg("<circle id='dot' r='1'/><circle id='dot-2' r='2'/>"), "p.svg", store);
  ArtObject* copy = store.Copy(drawing.root->children[0]);
  store.Place(copy, kPlaceAbove, drawing.root->children[1]);
  ArtObject* another = store.Copy(drawing.root->children[0]);
  store.Place(another, kPlaceInsideOnTop, drawing.root);
  const std::string text = ExportSvg(drawing);
  EXPECT_NE(text.find("id=\"dot\""), std::string::npos);
  EXPECT_NE(text.find("id=\"dot-2\""), std::string::npos);
  EXPECT_NE(text.find("id=\"dot-3\""), std::string::npos);
  EXPECT_NE(text.find("id=\"dot-4\""), std::string::npos) << text;
}

// Ids are compared by their value: a copy of an element whose id holds a
// reference takes a suffix, above or below it, and the element keeps its
// own id.
TEST_F(Export, CopiesOfAnIdWithAReferenceGetIdsOfTheirOwn) {
  for (const int16_t place : {kPlaceAbove, kPlaceBelow}) {
    standin::ArtStore art;
    SvgDrawing drawing = ParseSvg(Svg("<circle id='R&amp;D' r='1'/>"), "p.svg", art);
    ArtObject* copy = art.Copy(drawing.root->children[0]);
    art.Place(copy, place, drawing.root->children[0]);
    const std::string text = ExportSvg(drawing);
    EXPECT_NE(text.find("<path id=\"R&amp;D-2\""), std::string::npos) << text;
    EXPECT_NE(text.find("<circle id=\"R&amp;D\" r=\"1\"/>"), std::string::npos) << text;
  }
}

TEST_F(Export, EmptyDrawingIsAValidDocument) {
  ArtObject* root = store.NewGroup();
  EXPECT_EQ(
      ExportSvg(SvgDrawing{root, "", "", "", nullptr, {}}),
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\">\n</svg>\n");
}

TEST_F(Export, SavingReplacesTheFileWholeOrNotAtAll) {
  const SvgDrawing drawing = ParseSvg(Svg("<circle r='1'/>"), "p.svg", store);
  const fs::path target = folder / "out.svg";
  {
    std::ofstream old(target);
    old << "old";
  }
  SaveSvgFile(drawing, target.string());
  EXPECT_EQ(ReadFile(target), ExportSvg(drawing));

  const std::string missing = (folder / "no such folder" / "out.svg").string();
  try {
    SaveSvgFile(drawing, missing);
    ADD_FAILURE();
  } catch (const OutputError& error) {
    EXPECT_EQ(std::string(error.what()).rfind(missing + ": ", 0), 0u) << error.what();
  }
  // A folder in the way is an error, and no temporary file stays behind.
  fs::create_directory(folder / "taken.svg");
  EXPECT_THROW(SaveSvgFile(drawing, (folder / "taken.svg").string()), OutputError);
  int entries = 0;
  for (const auto& entry : fs::directory_iterator(folder))
    entries += entry.path().filename().string()[0] == '.';
  EXPECT_EQ(entries, 0);
}

uint32_t PixelAt(cairo_surface_t* image, int x, int y) {
  const unsigned char* row = cairo_image_surface_get_data(image) + y * cairo_image_surface_get_stride(image);
  return reinterpret_cast<const uint32_t*>(row)[x] & 0xFFFFFF;
}

TEST_F(Export, PngShowsTheWrittenSvgAsLibrsvgDrawsIt) {
  // A red square with a thick blue outline, a gradient the old path renderer
  // could not draw, and text; the viewBox frames the picture, 800 pixels on
  // its longer side.
  const fs::path svg = folder / "preview.svg";
  std::ofstream(svg)
      << "<svg xmlns='http://www.w3.org/2000/svg' viewBox='0 0 200 100'>"
         "<defs><linearGradient id='g'><stop offset='0' stop-color='#00ff00'/>"
         "<stop offset='1' stop-color='#00ff00'/></linearGradient></defs>"
         "<rect x='50' y='25' width='50' height='50' fill='red' stroke='blue' stroke-width='10'/>"
         "<rect x='150' y='25' width='20' height='50' fill='url(#g)'/>"
         "<text x='10' y='90' font-size='20'>Caption</text></svg>";
  const fs::path png = folder / "preview.png";
  RenderSvgFileToPng(svg.string(), png.string());
  cairo_surface_t* image = cairo_image_surface_create_from_png(png.string().c_str());
  ASSERT_EQ(cairo_surface_status(image), CAIRO_STATUS_SUCCESS);
  EXPECT_EQ(cairo_image_surface_get_width(image), 800);
  EXPECT_EQ(cairo_image_surface_get_height(image), 400);
  auto at = [&](double x, double y) { return PixelAt(image, int(x * 4), int(y * 4)); };
  EXPECT_EQ(at(75, 50), 0xFF0000u);
  EXPECT_EQ(at(50, 50), 0x0000FFu);
  EXPECT_EQ(at(160, 50), 0x00FF00u);
  EXPECT_EQ(at(120, 10), 0xFFFFFFu);
  // The caption leaves dark pixels in its box (no test compares glyphs).
  int dark = 0;
  for (int y = 300; y < 360; ++y)
    for (int x = 40; x < 300; ++x) dark += (PixelAt(image, x, y) & 0xFF) < 0x80;
  EXPECT_GT(dark, 100);
  cairo_surface_destroy(image);

  const std::string unwritable = (folder / "missing" / "p.png").string();
  try {
    RenderSvgFileToPng(svg.string(), unwritable);
    ADD_FAILURE();
  } catch (const OutputError& error) {
    EXPECT_NE(std::string(error.what()).find(unwritable), std::string::npos);
  }
  EXPECT_THROW(RenderSvgFileToPng((folder / "none.svg").string(), png.string()), OutputError);
}

}  // namespace
}  // namespace morvelin
