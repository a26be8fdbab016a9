#include "cli/svg/svg_export.h"

#include <algorithm>
#include <cmath>
#include <ostream>
#include <set>
#include <sstream>
#include <vector>

#include "cli/svg/art_fingerprint.h"
#include "cli/svg/float_text.h"
#include "cli/svg/svg_css.h"
#include "cli/svg/svg_element.h"
#include "cli/svg/svg_matrix.h"
#include "cli/svg/svg_node_text.h"
#include "cli/svg/svg_number.h"
#include "cli/svg/svg_output_file.h"
#include "cli/svg/svg_paint.h"
#include "cli/svg/svg_path_text.h"
#include "cli/svg/svg_shape_element.h"
#include "cli/svg/svg_xml_text.h"

namespace morvelin {

namespace {

// Paint properties that enclosing groups set, which a path must then write
// even at their default values. `all` when a group has a class, whose rules
// may set any of them.
struct InheritedNames {
  std::set<std::string> names;
  bool all = false;
  bool Has(const std::string& name) const { return all || names.count(name) != 0; }
};

InheritedNames WithGroup(InheritedNames inherited, const ArtObject& group) {
  for (const auto& [name, value] : group.source->attributes) {
    if (name == "class") inherited.all = true;
    if (name == "style") {
      for (const CssDeclaration& declaration : ParseDeclarations(DecodeEntities(value))) {
        inherited.names.insert(declaration.name);
      }
    }
    inherited.names.insert(name);
  }
  return inherited;
}

const std::string* KeptValue(const ArtObject& art, const std::string& name) {
  for (const auto& [key, value] : art.source->attributes) {
    if (key == name) return &value;
  }
  return nullptr;
}

bool IsReferenceGrey(const HostColor& color) {
  const HostColor grey = ToHostColor(kReferenceGrey);
  return color.red == grey.red && color.green == grey.green && color.blue == grey.blue;
}

std::string PaintText(const ArtObject& art, const char* name, bool painted, const HostColor& color) {
  if (!painted) return Attribute(name, "none");
  const std::string* reference = KeptValue(art, name);
  if (reference != nullptr && IsReferenceGrey(color)) return RawAttribute(name, *reference);
  return Attribute(name, ColorText(color));
}

std::string DashText(const PathStyle& style) {
  if (style.dashCount <= 0) return "none";
  std::string text;
  for (int i = 0; i < style.dashCount && i < 32; ++i) {
    if (i > 0) text += ' ';
    text += FloatText(style.dashes[i]);
  }
  return text;
}

std::string PaintAttributes(const ArtObject& art, const InheritedNames& inherited) {
  const PathStyle& style = art.style;
  std::string text;
  // Written when it differs from SVG's default or a group may set it.
  auto property = [&](const std::string& name, bool isDefault, const std::string& value) {
    if (!isDefault || inherited.Has(name)) text += Attribute(name, value);
  };
  text += PaintText(art, "fill", style.fillPaint != 0, style.fillColor);
  if (style.fillPaint) {
    property("fill-opacity", style.fillColor.opacity == 1, FloatText(style.fillColor.opacity));
    property("fill-rule", !style.evenOddFill, style.evenOddFill ? "evenodd" : "nonzero");
  }
  text += PaintText(art, "stroke", style.strokePaint != 0, style.strokeColor);
  if (style.strokePaint) {
    property("stroke-opacity", style.strokeColor.opacity == 1, FloatText(style.strokeColor.opacity));
    property("stroke-width", style.strokeWidth == 1, FloatText(style.strokeWidth));
    property("stroke-linejoin", style.lineJoin == kLineJoinMiter, JoinText(style.lineJoin));
    property("stroke-linecap", style.lineCap == kLineCapButt, CapText(style.lineCap));
    property("stroke-miterlimit", style.miterLimit == 4, FloatText(style.miterLimit));
    property("stroke-dasharray", style.dashCount <= 0, DashText(style));
    property("stroke-dashoffset", style.dashOffset == 0, FloatText(style.dashOffset));
  }
  return text;
}

SvgMatrix Inverse(const SvgMatrix& m) {
  SvgMatrix inverse;  // the identity for a singular group, which draws nothing
  Invert(m, &inverse);
  return inverse;
}

HostPoint Transformed(const SvgMatrix& m, HostPoint p) {
  const DPoint q = m.Apply(DPoint{p.h, p.v});
  return HostPoint{static_cast<HostReal>(q.x), static_cast<HostReal>(q.y)};
}

// Segments and stroke lengths taken from document coordinates into those of
// a parent whose children's matrix is `parent`: each coordinate transformed
// in double precision and rounded once to a 32-bit float; lengths divided by
// the parent's length scale.
std::vector<PathSegment> InParent(const std::vector<PathSegment>& segments, const SvgMatrix& toParent) {
  std::vector<PathSegment> out(segments);
  if (toParent.IsIdentity()) return out;
  for (PathSegment& s : out) {
    s.p = Transformed(toParent, s.p);
    s.in = Transformed(toParent, s.in);
    s.out = Transformed(toParent, s.out);
  }
  return out;
}

PathStyle StyleInParent(PathStyle style, const SvgMatrix& parent) {
  const double scale = parent.LengthScale();
  if (scale == 1 || scale == 0 || !std::isfinite(scale)) return style;
  auto scaled = [scale](HostReal length) { return static_cast<HostReal>(length / scale); };
  style.strokeWidth = scaled(style.strokeWidth);
  style.dashOffset = scaled(style.dashOffset);
  for (int i = 0; i < style.dashCount && i < 32; ++i) style.dashes[i] = scaled(style.dashes[i]);
  return style;
}

class Exporter {
 public:
  Exporter(const SvgDrawing& drawing, std::ostream& out) : drawing_(drawing), out_(out) {}

  void Run() {
    const ArtObject* root = drawing_.root;
    if (root != nullptr) CollectNames(*root);
    // A drawing as read is its source, byte for byte.
    if (drawing_.document != nullptr && !drawing_.document->text.empty() && DrawingAsRead(drawing_)) {
      out_ << drawing_.document->text;
      return;
    }
    out_ << (drawing_.prolog.empty() ? "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" : drawing_.prolog);
    document_ = drawing_.document.get();
    if (document_ != nullptr && root != nullptr && root->type == kArtTypeGroup && root->origin == 0) {
      for (const std::string& id : document_->ids) {
        allNames_.insert(id);
        written_.insert(id);
      }
      firstArt_.assign(document_->nodes.size(), nullptr);
      MarkFirstArt(*root);
      InheritedNames inherited = WithGroup({}, *root);
      inherited.all = inherited.all || document_->hasStyleSheet;
      WriteKeptGroup(*root, document_->nodes[0], inherited);
    } else {
      document_ = nullptr;
      WriteWholeRoot(root);
    }
    // The source's own text after the root; a drawing built in memory ends
    // in a line feed.
    out_ << drawing_.epilog;
    if (drawing_.document == nullptr) out_ << "\n";
  }

 private:
  // A drawing without its source: every object written anew.
  void WriteWholeRoot(const ArtObject* root) {
    out_ << "<svg";
    const bool group = root != nullptr && root->type == kArtTypeGroup;
    if (group) {
      if (KeptValue(*root, "xmlns") == nullptr) out_ << Attribute("xmlns", kSvgNamespace);
      for (const auto& [name, value] : root->source->attributes) out_ << RawAttribute(name, value);
    } else {
      out_ << Attribute("xmlns", kSvgNamespace);
    }
    out_ << ">\n";
    const InheritedNames inherited = group ? WithGroup({}, *root) : InheritedNames{};
    if (group) {
      for (const ArtObject* child : root->children) WriteAnew(*child, 1, inherited, SvgMatrix{}, -1);
    } else if (root != nullptr) {
      WriteAnew(*root, 1, inherited, SvgMatrix{}, -1);
    }
    out_ << "</svg>";
  }

  void CollectNames(const ArtObject& art) {
    if (!art.source->name.empty()) allNames_.insert(art.source->name);
    for (const ArtObject* child : art.children) CollectNames(*child);
  }

  void MarkFirstArt(const ArtObject& art) {
    if (ValidOrigin(art.origin) && firstArt_[static_cast<std::size_t>(art.origin)] == nullptr) {
      firstArt_[static_cast<std::size_t>(art.origin)] = &art;
    }
    if (art.type == kArtTypeGroup) {
      for (const ArtObject* child : art.children) MarkFirstArt(*child);
    }
  }

  bool ValidOrigin(int32_t origin) const {
    return document_ != nullptr && origin >= 0 && static_cast<std::size_t>(origin) < document_->nodes.size();
  }

  // The object is the one read from its source node, unchanged: it is
  // written as that node (a group as its start tag, then its children).
  bool Kept(const ArtObject& art) const {
    if (!ValidOrigin(art.origin)) return false;
    const auto origin = static_cast<std::size_t>(art.origin);
    if (firstArt_[origin] != &art) return false;
    return art.type == kArtTypeGroup || ArtFingerprint(art) == document_->nodes[origin].fingerprint;
  }

  // The object is the one read from its source shape and only its path
  // style changed (the effect's round join on a source): it is written as
  // that node, every attribute and child kept, with `edits` made.
  bool StyleOnlyChanged(const ArtObject& art, std::vector<PropertyEdit>* edits) const {
    if (!ValidOrigin(art.origin) || (art.type != kArtTypePath && art.type != kArtTypeCompoundPath))
      return false;
    const auto origin = static_cast<std::size_t>(art.origin);
    const SourceNode& source = document_->nodes[origin];
    if (firstArt_[origin] != &art || !IsShapeElement(SvgName(source.node))) return false;
    if (ArtFingerprint(art, source.style) != source.fingerprint) return false;
    return StyleEdits(source.style, art.style, source.inner.LengthScale(), edits);
  }

  int32_t OriginOf(pugi::xml_node node) const {
    const auto found = document_->originOf.find(node.internal_object());
    return found == document_->originOf.end() ? -1 : found->second;
  }

  // The source group's children in their order, with the art's children in
  // theirs: kept objects as read, source nodes that made no art (white space)
  // as read, objects that are gone left out, new and changed objects written
  // anew where they stand.
  void WriteKeptGroup(const ArtObject& group, const SourceNode& source, const InheritedNames& inherited) {
    const pugi::xml_node node = source.node;
    WriteStartTag(out_, node);
    if (!node.first_child() && group.children.empty()) {
      out_ << "/>";
      return;
    }
    out_ << '>';
    pugi::xml_node cursor = node.first_child();
    // Writes the nodes from the cursor up to `stop` that made no art.
    auto passUntil = [&](pugi::xml_node stop) {
      for (; cursor && cursor != stop; cursor = cursor.next_sibling()) {
        if (OriginOf(cursor) < 0) WriteNode(out_, cursor);
      }
    };
    for (const ArtObject* child : group.children) {
      std::vector<PropertyEdit> edits;
      const bool kept = Kept(*child);
      if ((kept || StyleOnlyChanged(*child, &edits)) &&
          document_->nodes[static_cast<std::size_t>(child->origin)].node.parent() == node) {
        const SourceNode& childSource = document_->nodes[static_cast<std::size_t>(child->origin)];
        if (Follows(cursor, childSource.node)) {
          passUntil(childSource.node);
          cursor = cursor.next_sibling();
        }
        if (!kept) {
          WriteEditedNode(out_, childSource.node, edits, document_->hasStyleSheet);
        } else if (child->type == kArtTypeGroup) {
          WriteKeptGroup(*child, childSource, WithGroup(inherited, *child));
        } else {
          WriteNode(out_, childSource.node);
        }
      } else {
        const int32_t donor = ValidOrigin(child->origin) ? child->origin : RemovedShapeAt(cursor);
        WriteAnew(*child, 0, inherited, source.inner, donor);
      }
    }
    passUntil(pugi::xml_node());
    out_ << "</" << node.name() << '>';
  }

  // True when `node` is `from` or one of its later siblings.
  static bool Follows(pugi::xml_node from, pugi::xml_node node) {
    for (; from; from = from.next_sibling()) {
      if (from == node) return true;
    }
    return false;
  }

  // The source of the first object, from `cursor` on, that is gone from the
  // art before the next one that stayed: the object whose place a new object
  // (the united outline) took. -1 when there is none.
  int32_t RemovedShapeAt(pugi::xml_node cursor) const {
    for (; cursor; cursor = cursor.next_sibling()) {
      const int32_t origin = OriginOf(cursor);
      if (origin < 0) continue;
      if (firstArt_[static_cast<std::size_t>(origin)] != nullptr) return -1;
      if (IsShapeElement(SvgName(cursor))) return origin;
    }
    return -1;
  }

  // The id for an object: its name, or for a later copy of a name already
  // written, the name with the first free "-n" suffix.
  std::string IdOf(const ArtObject& art) {
    if (art.source->name.empty()) return "";
    std::string id = art.source->name;
    // A changed object read from the source keeps its own id.
    const bool own =
        ValidOrigin(art.origin) && firstArt_[static_cast<std::size_t>(art.origin)] == &art &&
        DecodeEntities(document_->nodes[static_cast<std::size_t>(art.origin)].node.attribute("id").value()) ==
            id;
    if (own) return id;
    for (int n = 2; written_.count(id) != 0; ++n) {
      id = art.source->name + "-" + std::to_string(n);
      if (allNames_.count(id) != 0) id = art.source->name;  // taken by another object: try the next n
    }
    written_.insert(id);
    return id;
  }

  std::string IdAttribute(const ArtObject& art) {
    const std::string id = IdOf(art);
    return id.empty() ? "" : Attribute("id", id);
  }

  // An object written from its art, in the coordinates of a parent whose
  // children's matrix is `parent`. In a drawing read from SVG, paths keep
  // the paint and class of `donor` (the source they came from or whose
  // place they took) and the united outline's class gains
  // "morvelin-outline"; without a source they keep every attribute.
  void WriteAnew(const ArtObject& art, int depth, const InheritedNames& inherited, const SvgMatrix& parent,
                 int32_t donor) {
    const std::string indent(static_cast<std::size_t>(depth) * 2, ' ');
    if (!art.source->foreign.empty() || art.type == kArtTypeForeign) {
      if (!art.source->foreign.empty()) out_ << indent << art.source->foreign << "\n";
    } else if (art.type == kArtTypeGroup) {
      out_ << indent << "<g" << IdAttribute(art);
      for (const auto& [name, value] : art.source->attributes) out_ << RawAttribute(name, value);
      if (art.children.empty()) {
        out_ << "/>\n";
        return;
      }
      out_ << ">\n";
      const InheritedNames inner = WithGroup(inherited, art);
      for (const ArtObject* child : art.children) {
        WriteAnew(*child, depth + 1, inner, parent, ValidOrigin(child->origin) ? child->origin : -1);
      }
      out_ << indent << "</g>\n";
    } else if (art.type == kArtTypePath || art.type == kArtTypeCompoundPath) {
      ArtObject placed;  // paint and kept values as written in the parent's coordinates
      placed.style = StyleInParent(art.style, parent);
      placed.source = art.source;
      const SvgMatrix toParent = Inverse(parent);
      out_ << indent << "<path" << IdAttribute(art) << Attribute("d", PathData(art, toParent));
      if (document_ == nullptr) {
        out_ << PaintAttributes(placed, inherited);
        for (const auto& [name, value] : art.source->attributes) {
          if (name != "fill" && name != "stroke") out_ << RawAttribute(name, value);
        }
      } else {
        std::string className;
        if (donor >= 0) {
          const SourceNode& source = document_->nodes[static_cast<std::size_t>(donor)];
          className = source.className;
          std::vector<std::pair<std::string, std::string>>& servers = placed.source.Edit().attributes;
          servers.clear();
          if (!source.fillServer.empty()) servers.emplace_back("fill", source.fillServer);
          if (!source.strokeServer.empty()) servers.emplace_back("stroke", source.strokeServer);
        } else if (const std::string* kept = KeptValue(art, "class")) {
          className = *kept;
        }
        if (art.origin < 0) className += className.empty() ? "morvelin-outline" : " morvelin-outline";
        out_ << PaintAttributes(placed, inherited);
        if (!className.empty()) out_ << RawAttribute("class", className);
        // The object read from this source keeps what else the element had:
        // attributes the art does not model and its children.
        if (OwnSource(art)) {
          for (const auto& [name, value] : art.source->attributes) {
            if (name != "class" && name != "fill" && name != "stroke") out_ << RawAttribute(name, value);
          }
          const pugi::xml_node node = document_->nodes[static_cast<std::size_t>(art.origin)].node;
          if (node.first_child()) {
            out_ << '>';
            for (const pugi::xml_node child : node.children()) WriteNode(out_, child);
            out_ << "</path>\n";
            return;
          }
        }
      }
      out_ << "/>\n";
    }
  }

  bool OwnSource(const ArtObject& art) const {
    return ValidOrigin(art.origin) && firstArt_[static_cast<std::size_t>(art.origin)] == &art;
  }

  static std::string PathData(const ArtObject& art, const SvgMatrix& toParent) {
    if (art.type == kArtTypePath) return PathDataText(InParent(art.segments, toParent), art.closed);
    std::string data;
    for (const ArtObject* child : art.children) {
      if (child->type != kArtTypePath || child->segments.empty()) continue;
      if (!data.empty()) data += ' ';
      data += PathDataText(InParent(child->segments, toParent), child->closed);
    }
    return data;
  }

  const SvgDrawing& drawing_;
  std::ostream& out_;
  const SvgSourceDocument* document_ = nullptr;
  std::vector<const ArtObject*> firstArt_;  // by origin: the first object in the art made from it
  std::set<std::string> allNames_;
  std::set<std::string> written_;
};

}  // namespace

void WriteSvg(const SvgDrawing& drawing, std::ostream& out) { Exporter(drawing, out).Run(); }

std::string ExportSvg(const SvgDrawing& drawing) {
  std::ostringstream out;
  WriteSvg(drawing, out);
  return out.str();
}

void SaveSvgFile(const SvgDrawing& drawing, const std::string& path) {
  WriteFileAtomically(path, [&drawing](std::ostream& out) { WriteSvg(drawing, out); });
}

bool DrawingAsRead(const SvgDrawing& drawing) {
  const SvgSourceDocument* document = drawing.document.get();
  if (document == nullptr || drawing.root == nullptr) return false;
  std::vector<bool> seen(document->nodes.size(), false);
  std::size_t count = 0;
  // Every object is one read, once, unchanged; and none is missing.
  std::vector<const ArtObject*> pending{drawing.root};
  while (!pending.empty()) {
    const ArtObject* art = pending.back();
    pending.pop_back();
    if (art->origin < 0 || static_cast<std::size_t>(art->origin) >= seen.size()) return false;
    const auto origin = static_cast<std::size_t>(art->origin);
    if (seen[origin]) return false;
    seen[origin] = true;
    ++count;
    if (art->type == kArtTypeGroup) {
      pending.insert(pending.end(), art->children.begin(), art->children.end());
    } else if (ArtFingerprint(*art) != document->nodes[origin].fingerprint) {
      return false;
    }
  }
  return count == document->nodes.size();
}

}  // namespace morvelin
