#include "cli/svg/svg_import.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <pugixml.hpp>
#include <sstream>
#include <string>
#include <string_view>
#include <unordered_set>

#include "cli/svg/art_fingerprint.h"
#include "cli/svg/standard_streams.h"
#include "cli/svg/svg_cascade.h"
#include "cli/svg/svg_css.h"
#include "cli/svg/svg_element.h"
#include "cli/svg/svg_raw_xml.h"
#include "cli/svg/svg_shape_element.h"
#include "cli/svg/svg_transform.h"
#include "cli/svg/svg_well_formed.h"
#include "cli/svg/svg_xml_text.h"

namespace morvelin {

namespace {

constexpr int kMaxAnchors = 32767;  // host segment indices are signed 16-bit
constexpr int kMaxDepth = 400;      // nested groups

// The kept text of a node: its XML with the values as written.
std::string NodeText(pugi::xml_node node) {
  RequoteAttributes(node);
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
  // The document keeps the text: the parse and every node's offset refer to
  // it, and a drawing as read is written back as it.
  Importer(std::string text, const std::string& name, standin::ArtStore& store)
      : store_(store), document_(std::make_shared<SvgSourceDocument>()) {
    document_->text = std::move(text);
    source_ = SvgSource{document_->text, name, &warnings_};
  }

  SvgDrawing Run() {
    const XmlLayout layout = ParseXmlStrictly(document_->xml, source_);
    CheckAttributesUnique();
    RequoteAttributes(document_->xml);
    const pugi::xml_node root = document_->xml.document_element();
    if (!root) FailAtOffset(source_, source_.text.size(), "no root element");
    if (SvgName(root) != "svg") {
      SvgElement(root, source_).Fail(std::string("root element is <") + root.name() + ">, not <svg>");
    }
    ReadStyleSheets();

    SvgDrawing drawing;
    drawing.source = source_.name;
    drawing.prolog = Prolog(layout);
    drawing.epilog = std::string(source_.text.substr(layout.rootEnd));
    drawing.root = store_.NewGroup(nullptr);
    try {
      ImportRoot(SvgElement(root, source_), drawing.root);
    } catch (...) {
      store_.Dispose(drawing.root);
      throw;
    }
    drawing.document = document_;
    drawing.warnings = std::move(warnings_);
    return drawing;
  }

 private:
  struct Context {
    SvgMatrix matrix;
    SvgPaintState paint;
  };

  // The source text before the root element, without a byte order mark.
  std::string Prolog(const XmlLayout& layout) const {
    std::string_view before = source_.text.substr(0, layout.rootStart);
    if (before.substr(0, 3) == "\xEF\xBB\xBF") before.remove_prefix(3);
    return std::string(before);
  }

  // An attribute written twice on one element makes XML not well formed;
  // the parser does not check it.
  void CheckAttributesUnique() const {
    struct Check : pugi::xml_tree_walker {
      explicit Check(const SvgSource& source) : source(source) {}
      bool for_each(pugi::xml_node& node) override {
        // Few attributes are compared pairwise; many (a hostile element can
        // hold a million) through a set, so that the check stays linear.
        constexpr int kPairwise = 16;
        int count = 0;
        for (pugi::xml_attribute a = node.first_attribute(); a && count <= kPairwise; a = a.next_attribute())
          ++count;
        if (count <= kPairwise) {
          for (pugi::xml_attribute a = node.first_attribute(); a; a = a.next_attribute()) {
            for (pugi::xml_attribute b = a.next_attribute(); b; b = b.next_attribute()) {
              if (std::strcmp(a.name(), b.name()) == 0) Twice(node, a.name());
            }
          }
          return true;
        }
        std::unordered_set<std::string_view> seen;
        for (pugi::xml_attribute a = node.first_attribute(); a; a = a.next_attribute()) {
          if (!seen.insert(a.name()).second) Twice(node, a.name());
        }
        return true;
      }
      [[noreturn]] void Twice(pugi::xml_node node, const char* name) const {
        SvgElement(node, source).Fail(std::string("attribute '") + name + "' written twice");
      }
      const SvgSource& source;
    } check(source_);
    document_->xml.traverse(check);
  }

  // Rules of every `style` element, wherever it is, in document order, and
  // every id (decoded, as objects are named). Rules beyond the sheet's
  // bounds are ignored, with one warning at the `style` element that
  // reached them.
  void ReadStyleSheets() {
    struct Collect : pugi::xml_tree_walker {
      Collect(StyleSheet& sheet, SvgSourceDocument& document, const SvgSource& source)
          : sheet(sheet), document(document), source(source) {}
      bool for_each(pugi::xml_node& node) override {
        if (node.type() != pugi::node_element) return true;
        if (SvgName(node) == "style") {
          document.hasStyleSheet = true;
          const bool full = sheet.truncated();
          for (pugi::xml_node text : node.children()) sheet.AddRules(DecodeEntities(text.value()));
          if (sheet.truncated() && !full) {
            SvgElement(node, source)
                .Warn("the style sheets hold more than " + std::to_string(StyleSheet::kMaxRules) +
                      " rules or " + std::to_string(StyleSheet::kMaxSelectors) +
                      " different selectors; the rest are ignored");
          }
        }
        if (const pugi::xml_attribute id = node.attribute("id"))
          document.ids.push_back(DecodeEntities(id.value()));
        return true;
      }
      StyleSheet& sheet;
      SvgSourceDocument& document;
      const SvgSource& source;
    } collect(sheet_, *document_, source_);
    document_->xml.traverse(collect);
  }

  // An invalid transform counts as none, as SVG renders it.
  SvgMatrix OwnTransform(const SvgElement& element) const {
    if (!element.Has("transform")) return SvgMatrix{};
    try {
      return ParseTransform(element.Value("transform"));
    } catch (const SvgDataError& error) {
      element.WarnInValue("transform",
                          SvgDataError{error.index, error.problem + "; the transform is ignored"});
      return SvgMatrix{};
    }
  }

  // Records the node `art` was made from.
  SourceNode& Record(ArtObject* art, pugi::xml_node node) {
    art->origin = document_->Add(node);
    return document_->nodes.back();
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
    Record(root, element.node()).inner = context.matrix;
    ImportChildren(element.node(), root, context);
  }

  void ImportChildren(pugi::xml_node parent, ArtObject* group, const Context& context) {
    for (pugi::xml_node child : parent.children()) {
      const bool text = child.type() == pugi::node_pcdata;
      if (text && IsBlank(child.value())) continue;
      if (child.type() != pugi::node_element) {
        KeepForeign(child, group);
        continue;
      }
      ImportElement(SvgElement(child, source_), group, context);
    }
  }

  void ImportElement(const SvgElement& element, ArtObject* group, const Context& context) {
    const std::string_view name = element.name();
    if (name != "g" && !IsShapeElement(name)) return KeepForeign(element.node(), group);
    ElementStyle style;
    try {
      style = CascadeStyle(element, sheet_, context.paint);
    } catch (const SvgUnmodelled&) {
      return KeepForeign(element.node(), group);
    }
    if (style.hidden) return KeepForeign(element.node(), group);
    Context inner;
    inner.matrix = context.matrix * OwnTransform(element);
    inner.paint = style.paint;
    if (name == "g") return ImportGroup(element, group, inner);
    if (!ImportShape(element, group, inner.matrix, style)) KeepForeign(element.node(), group);
  }

  void ImportGroup(const SvgElement& element, ArtObject* parent, const Context& inner) {
    // Groups nest by recursion: below a bound, which keeps hostile input from
    // exhausting the stack, a group is kept as it is.
    if (depth_ >= kMaxDepth) {
      element.Warn("groups nested too deeply; this one is kept as it is");
      return KeepForeign(element.node(), parent);
    }
    ArtObject* group = store_.NewGroup(parent);
    group->SetName(element.Value("id"));
    KeepAttributes(element, group, [](std::string_view name) { return name == "id" || name == "transform"; });
    Record(group, element.node()).inner = inner.matrix;
    ++depth_;
    ImportChildren(element.node(), group, inner);
    --depth_;
  }

  // A path or compound path for a shape element; false when the element
  // does not render or holds what the host's paths cannot (lengths relative
  // to the font or viewport, too many anchors, numbers beyond its range).
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
        element.Warn("a subpath has more than 32767 anchors; the element is kept as it is");
        return false;
      }
      if (!AllFinite(contours.back())) {
        element.Warn("coordinates beyond the range of the host's numbers; the element is kept as it is");
        return false;
      }
    }
    const PathStyle pathStyle = ToPathStyle(style.paint, style.opacity, matrix.LengthScale());
    if (!StyleFinite(pathStyle)) {
      element.Warn("stroke lengths beyond the range of the host's numbers; the element is kept as it is");
      return false;
    }
    ArtObject* art = nullptr;
    if (contours.size() == 1) {
      art = store_.NewPath(group, std::move(contours[0]), (*subpaths)[0].closed, pathStyle);
    } else {
      art = store_.NewCompoundPath(group, pathStyle);
      for (std::size_t i = 0; i < contours.size(); ++i) {
        store_.NewPath(art, std::move(contours[i]), (*subpaths)[i].closed, pathStyle);
      }
    }
    art->SetName(element.Value("id"));
    const std::string_view shape = element.name();
    KeepAttributes(element, art, [shape](std::string_view name) {
      return name == "id" || name == "transform" || name == "style" || name == "opacity" ||
             IsPaintProperty(name) || IsGeometryAttribute(shape, name);
    });
    if (!style.otherStyle.empty())
      art->source.Edit().attributes.emplace_back("style",
                                                 EscapeAttribute(DeclarationsText(style.otherStyle)));
    // Paint servers keep their text; the path style holds the grey.
    if (style.paint.fill.kind == SvgPaint::kReference) {
      art->source.Edit().attributes.emplace_back("fill", EscapeAttribute(style.paint.fill.text));
    }
    if (style.paint.stroke.kind == SvgPaint::kReference) {
      art->source.Edit().attributes.emplace_back("stroke", EscapeAttribute(style.paint.stroke.text));
    }
    SourceNode& source = Record(art, element.node());
    source.fingerprint = ArtFingerprint(*art);
    source.inner = matrix;
    source.style = pathStyle;
    source.className = element.node().attribute("class").value();
    if (style.paint.fill.kind == SvgPaint::kReference)
      source.fillServer = EscapeAttribute(style.paint.fill.text);
    if (style.paint.stroke.kind == SvgPaint::kReference) {
      source.strokeServer = EscapeAttribute(style.paint.stroke.text);
    }
    return true;
  }

  template <typename Consumed>
  void KeepAttributes(const SvgElement& element, ArtObject* art, Consumed consumed) {
    for (const pugi::xml_attribute attribute : element.node().attributes()) {
      if (!consumed(attribute.name()))
        art->source.Edit().attributes.emplace_back(attribute.name(), attribute.value());
    }
  }

  // Keeps a node as it is: written back as read, within its groups and
  // their transforms.
  void KeepForeign(pugi::xml_node node, ArtObject* group) {
    ArtObject* art = store_.NewForeign(group, kArtTypeForeign, NodeText(node));
    Record(art, node).fingerprint = ArtFingerprint(*art);
  }

  SvgSource source_;
  std::vector<std::string> warnings_;
  standin::ArtStore& store_;
  std::shared_ptr<SvgSourceDocument> document_;
  StyleSheet sheet_;
  int depth_ = 0;
};

}  // namespace

SvgDrawing ParseSvg(std::string_view text, const std::string& source, standin::ArtStore& store) {
  return Importer(std::string(text), source, store).Run();
}

SvgDrawing LoadSvgFile(const std::string& path, standin::ArtStore& store, std::uint64_t maxBytes) {
  return Importer(ReadSvgFile(path, maxBytes), InputName(path), store).Run();
}

}  // namespace morvelin
