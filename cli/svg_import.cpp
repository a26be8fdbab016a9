#include "cli/svg_import.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <pugixml.hpp>
#include <sstream>

#include "cli/svg_cascade.h"
#include "cli/svg_css.h"
#include "cli/svg_element.h"
#include "cli/svg_shape_element.h"
#include "cli/svg_transform.h"
#include "cli/svg_xml_text.h"

namespace morvelin {

namespace {

// Attribute values are kept as written (no reference decoding by the parser)
// so that they go back out byte for byte; white space inside text is kept.
constexpr unsigned kParseOptions = (pugi::parse_default & ~pugi::parse_escapes) | pugi::parse_ws_pcdata |
                                   pugi::parse_comments | pugi::parse_pi | pugi::parse_declaration |
                                   pugi::parse_doctype;

constexpr int kMaxAnchors = 32767;  // host segment indices are signed 16-bit
constexpr int kMaxDepth = 400;      // nested groups

// Kept elements that draw: under applied transforms they take the matrix.
bool Draws(std::string_view element) {
  static constexpr std::string_view kDrawing[] = {"text",   "image",   "use",  "foreignObject", "switch",
                                                  "a",      "svg",     "g",    "path",          "rect",
                                                  "circle", "ellipse", "line", "polyline",      "polygon"};
  return std::find(std::begin(kDrawing), std::end(kDrawing), element) != std::end(kDrawing);
}

bool IsBlank(std::string_view text) {
  return std::all_of(text.begin(), text.end(),
                     [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; });
}

std::string NumberText(double value) {
  char text[32];
  const auto result = std::to_chars(text, text + sizeof text, value);
  return std::string(text, result.ptr);
}

std::string MatrixText(const SvgMatrix& m) {
  return "matrix(" + NumberText(m.a) + " " + NumberText(m.b) + " " + NumberText(m.c) + " " + NumberText(m.d) +
         " " + NumberText(m.e) + " " + NumberText(m.f) + ")";
}

// Re-quotes attribute values holding '"' (possible when the source quoted
// them with '), so that the double-quoted output stays well-formed.
struct RequoteAttributes : pugi::xml_tree_walker {
  bool for_each(pugi::xml_node& node) override {
    Requote(node);
    return true;
  }
  static void Requote(pugi::xml_node node) {
    for (pugi::xml_attribute attribute : node.attributes()) {
      const std::string value = attribute.value();
      if (value.find('"') == std::string::npos) continue;
      std::string quoted;
      for (char c : value) quoted += c == '"' ? std::string("&quot;") : std::string(1, c);
      attribute.set_value(quoted.c_str());
    }
  }
};

// The kept text of a node: its XML with the values as written.
std::string NodeText(pugi::xml_node node) {
  RequoteAttributes requote;
  RequoteAttributes::Requote(node);
  node.traverse(requote);
  std::ostringstream out;
  node.print(out, "", pugi::format_raw | pugi::format_no_escapes, pugi::encoding_utf8);
  return out.str();
}

bool AllFinite(const std::vector<PathSegment>& segments) {
  return std::all_of(segments.begin(), segments.end(), [](const PathSegment& s) {
    return std::isfinite(s.p.h) && std::isfinite(s.p.v) && std::isfinite(s.in.h) && std::isfinite(s.in.v) &&
           std::isfinite(s.out.h) && std::isfinite(s.out.v);
  });
}

bool StyleFinite(const PathStyle& style) {
  if (!std::isfinite(style.strokeWidth) || !std::isfinite(style.dashOffset)) return false;
  return std::all_of(style.dashes, style.dashes + style.dashCount,
                     [](HostReal d) { return std::isfinite(d); });
}

class Importer {
 public:
  Importer(std::string_view text, const std::string& name, standin::ArtStore& store)
      : source_{text, name}, store_(store) {}

  SvgDrawing Run() {
    const pugi::xml_parse_result parsed =
        document_.load_buffer(source_.text.data(), source_.text.size(), kParseOptions, pugi::encoding_utf8);
    if (!parsed) FailAtOffset(source_, static_cast<std::size_t>(parsed.offset), parsed.description());
    const pugi::xml_node root = document_.document_element();
    if (!root) FailAtOffset(source_, source_.text.size(), "no root element");
    if (std::string_view(root.name()) != "svg") {
      SvgElement(root, source_).Fail(std::string("root element is <") + root.name() + ">, not <svg>");
    }
    ReadStyleSheets();

    SvgDrawing drawing;
    drawing.source = source_.name;
    drawing.prolog = Prolog(root);
    for (pugi::xml_node after = root.next_sibling(); after; after = after.next_sibling()) {
      drawing.epilog += NodeText(after);
    }
    drawing.root = store_.NewGroup(nullptr);
    try {
      ImportRoot(SvgElement(root, source_), drawing.root);
    } catch (...) {
      store_.Dispose(drawing.root);
      throw;
    }
    return drawing;
  }

 private:
  struct Context {
    SvgMatrix matrix;
    SvgPaintState paint;
  };

  // The source text before the root element, without a byte order mark.
  std::string Prolog(pugi::xml_node root) const {
    std::string_view before = source_.text.substr(0, static_cast<std::size_t>(root.offset_debug() - 1));
    if (before.substr(0, 3) == "\xEF\xBB\xBF") before.remove_prefix(3);
    return std::string(before);
  }

  // Rules of every `style` element, wherever it is, in document order.
  void ReadStyleSheets() {
    struct Collect : pugi::xml_tree_walker {
      explicit Collect(StyleSheet& sheet) : sheet(sheet) {}
      bool for_each(pugi::xml_node& node) override {
        if (node.type() == pugi::node_element && std::string_view(node.name()) == "style") {
          for (pugi::xml_node text : node.children()) sheet.AddRules(DecodeEntities(text.value()));
        }
        return true;
      }
      StyleSheet& sheet;
    } collect(sheet_);
    document_.traverse(collect);
  }

  SvgMatrix OwnTransform(const SvgElement& element) const {
    if (!element.Has("transform")) return SvgMatrix{};
    try {
      return ParseTransform(element.Value("transform"));
    } catch (const SvgDataError& error) {
      element.FailInValue("transform", error);
    }
  }

  void ImportRoot(const SvgElement& element, ArtObject* root) {
    Context context;
    context.matrix = OwnTransform(element);
    // The root's paint is inherited; values the path style cannot hold leave
    // the defaults (its children then judge their own).
    try {
      context.paint = CascadeStyle(element, sheet_, context.paint).paint;
    } catch (const SvgUnmodelled&) {
    }
    KeepAttributes(element, root, [](std::string_view name) { return name == "transform"; });
    ImportChildren(element.node(), root, context);
  }

  void ImportChildren(pugi::xml_node parent, ArtObject* group, const Context& context) {
    // Groups nest by recursion: a bound keeps hostile input from exhausting
    // the stack.
    if (++depth_ > kMaxDepth) SvgElement(parent, source_).Fail("groups nested too deeply");
    for (pugi::xml_node child : parent.children()) {
      const bool text = child.type() == pugi::node_pcdata;
      if (text && IsBlank(child.value())) continue;
      if (child.type() != pugi::node_element) {
        store_.NewForeign(group, kArtTypeForeign, NodeText(child));
        continue;
      }
      ImportElement(SvgElement(child, source_), group, context);
    }
    --depth_;
  }

  void ImportElement(const SvgElement& element, ArtObject* group, const Context& context) {
    const std::string_view name = element.name();
    if (name != "g" && !IsShapeElement(name)) return KeepForeign(element, group, context.matrix);
    Context inner;
    inner.matrix = context.matrix * OwnTransform(element);
    ElementStyle style;
    try {
      style = CascadeStyle(element, sheet_, context.paint);
    } catch (const SvgUnmodelled&) {
      return KeepForeign(element, group, context.matrix);
    }
    if (style.hidden) return KeepForeign(element, group, context.matrix);
    inner.paint = style.paint;
    if (name == "g") return ImportGroup(element, group, inner);
    if (!ImportShape(element, group, inner.matrix, style)) KeepForeign(element, group, context.matrix);
  }

  void ImportGroup(const SvgElement& element, ArtObject* parent, const Context& inner) {
    ArtObject* group = store_.NewGroup(parent);
    group->name = element.Value("id");
    KeepAttributes(element, group, [](std::string_view name) { return name == "id" || name == "transform"; });
    ImportChildren(element.node(), group, inner);
  }

  // A path or compound path for a shape element; false when the element
  // does not render or holds lengths the tool does not model.
  bool ImportShape(const SvgElement& element, ArtObject* group, const SvgMatrix& matrix,
                   const ElementStyle& style) {
    std::optional<std::vector<DSubpath>> subpaths;
    try {
      subpaths = ShapeSubpaths(element);
    } catch (const SvgUnmodelled&) {
      return false;
    }
    if (!subpaths) return false;
    std::vector<std::vector<PathSegment>> contours;
    for (const DSubpath& subpath : *subpaths) {
      contours.push_back(ToHostSegments(subpath, matrix));
      if (contours.back().size() > static_cast<std::size_t>(kMaxAnchors)) {
        element.Fail("a subpath has more than 32767 anchors");
      }
      if (!AllFinite(contours.back())) element.Fail("coordinates beyond the range of the host's numbers");
    }
    const PathStyle pathStyle = ToPathStyle(style.paint, style.opacity, matrix.LengthScale());
    if (!StyleFinite(pathStyle)) element.Fail("stroke lengths beyond the range of the host's numbers");
    ArtObject* art = nullptr;
    if (contours.size() == 1) {
      art = store_.NewPath(group, std::move(contours[0]), (*subpaths)[0].closed, pathStyle);
    } else {
      art = store_.NewCompoundPath(group, pathStyle);
      for (std::size_t i = 0; i < contours.size(); ++i) {
        store_.NewPath(art, std::move(contours[i]), (*subpaths)[i].closed, pathStyle);
      }
    }
    art->name = element.Value("id");
    const std::string_view shape = element.name();
    KeepAttributes(element, art, [shape](std::string_view name) {
      return name == "id" || name == "transform" || name == "style" || name == "opacity" ||
             IsPaintProperty(name) || IsGeometryAttribute(shape, name);
    });
    if (!style.otherStyle.empty())
      art->attributes.emplace_back("style", EscapeAttribute(DeclarationsText(style.otherStyle)));
    // Paint servers keep their text; the path style holds the grey.
    if (style.paint.fill.kind == SvgPaint::kReference) {
      art->attributes.emplace_back("fill", EscapeAttribute(style.paint.fill.text));
    }
    if (style.paint.stroke.kind == SvgPaint::kReference) {
      art->attributes.emplace_back("stroke", EscapeAttribute(style.paint.stroke.text));
    }
    return true;
  }

  template <typename Consumed>
  void KeepAttributes(const SvgElement& element, ArtObject* art, Consumed consumed) {
    for (const pugi::xml_attribute attribute : element.node().attributes()) {
      if (!consumed(attribute.name())) art->attributes.emplace_back(attribute.name(), attribute.value());
    }
  }

  // Keeps an element verbatim. One that draws takes the matrix of the
  // transforms applied around it, before its own.
  void KeepForeign(const SvgElement& element, ArtObject* group, const SvgMatrix& matrix) {
    pugi::xml_node node = element.node();
    if (!matrix.IsIdentity() && Draws(element.name())) {
      pugi::xml_attribute transform = node.attribute("transform");
      if (!transform) transform = node.append_attribute("transform");
      const std::string own = transform.value();
      transform.set_value((MatrixText(matrix) + (own.empty() ? "" : " " + own)).c_str());
    }
    store_.NewForeign(group, kArtTypeForeign, NodeText(node));
  }

  SvgSource source_;
  standin::ArtStore& store_;
  pugi::xml_document document_;
  StyleSheet sheet_;
  int depth_ = 0;
};

}  // namespace

SvgDrawing ParseSvg(std::string_view text, const std::string& source, standin::ArtStore& store) {
  return Importer(text, source, store).Run();
}

SvgDrawing LoadSvgFile(const std::string& path, standin::ArtStore& store) {
  std::error_code error;
  if (std::filesystem::is_directory(path, error)) throw SvgError(path, "is a directory");
  std::ifstream in(path, std::ios::binary);
  if (!in) throw SvgError(path, "cannot open the file");
  std::ostringstream text;
  text << in.rdbuf();
  if (in.bad()) throw SvgError(path, "cannot read the file");
  return ParseSvg(text.str(), path, store);
}

}  // namespace morvelin
