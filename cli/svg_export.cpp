#include "cli/svg_export.h"

#include <set>
#include <vector>

#include "cli/float_text.h"
#include "cli/svg_css.h"
#include "cli/svg_output_file.h"
#include "cli/svg_paint.h"
#include "cli/svg_path_text.h"
#include "cli/svg_xml_text.h"

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
  for (const auto& [name, value] : group.attributes) {
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

// A kept value is raw XML text; only a '"' needs escaping for double quotes.
std::string RawAttribute(const std::string& name, const std::string& raw) {
  std::string text = " " + name + "=\"";
  for (char c : raw) text += c == '"' ? std::string("&quot;") : std::string(1, c);
  return text + "\"";
}

std::string Attribute(const std::string& name, const std::string& value) {
  return " " + name + "=\"" + EscapeAttribute(value) + "\"";
}

const std::string* KeptValue(const ArtObject& art, const std::string& name) {
  for (const auto& [key, value] : art.attributes) {
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

const char* JoinText(int32_t join) {
  return join == kLineJoinRound ? "round" : join == kLineJoinBevel ? "bevel" : "miter";
}

const char* CapText(int32_t cap) {
  return cap == kLineCapRound ? "round" : cap == kLineCapSquare ? "square" : "butt";
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

class Exporter {
 public:
  explicit Exporter(const SvgDrawing& drawing) : drawing_(drawing) {}

  std::string Run() {
    const ArtObject* root = drawing_.root;
    if (root != nullptr) CollectNames(*root);
    out_ = drawing_.prolog.empty() ? "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" : drawing_.prolog;
    out_ += "<svg";
    const bool group = root != nullptr && root->type == kArtTypeGroup;
    if (group) {
      if (KeptValue(*root, "xmlns") == nullptr) out_ += Attribute("xmlns", "http://www.w3.org/2000/svg");
      for (const auto& [name, value] : root->attributes) out_ += RawAttribute(name, value);
    } else {
      out_ += Attribute("xmlns", "http://www.w3.org/2000/svg");
    }
    out_ += ">\n";
    const InheritedNames inherited = group ? WithGroup({}, *root) : InheritedNames{};
    if (group) {
      for (const ArtObject* child : root->children) WriteArt(*child, 1, inherited);
    } else if (root != nullptr) {
      WriteArt(*root, 1, inherited);
    }
    out_ += "</svg>";
    out_ += drawing_.epilog;
    out_ += "\n";
    return std::move(out_);
  }

 private:
  void CollectNames(const ArtObject& art) {
    if (!art.name.empty()) allNames_.insert(art.name);
    for (const ArtObject* child : art.children) CollectNames(*child);
  }

  // The id for an object: its name, or for a later copy of a name already
  // written, the name with the first free "-n" suffix.
  std::string IdOf(const ArtObject& art) {
    if (art.name.empty()) return "";
    std::string id = art.name;
    for (int n = 2; written_.count(id) != 0; ++n) {
      id = art.name + "-" + std::to_string(n);
      if (allNames_.count(id) != 0) id = art.name;  // taken by another object: try the next n
    }
    written_.insert(id);
    return id;
  }

  std::string IdAttribute(const ArtObject& art) {
    const std::string id = IdOf(art);
    return id.empty() ? "" : Attribute("id", id);
  }

  void WriteArt(const ArtObject& art, int depth, const InheritedNames& inherited) {
    const std::string indent(static_cast<std::size_t>(depth) * 2, ' ');
    if (!art.foreign.empty() || art.type == kArtTypeForeign) {
      if (!art.foreign.empty()) out_ += indent + art.foreign + "\n";
    } else if (art.type == kArtTypeGroup) {
      out_ += indent + "<g" + IdAttribute(art);
      for (const auto& [name, value] : art.attributes) out_ += RawAttribute(name, value);
      if (art.children.empty()) {
        out_ += "/>\n";
        return;
      }
      out_ += ">\n";
      const InheritedNames inner = WithGroup(inherited, art);
      for (const ArtObject* child : art.children) WriteArt(*child, depth + 1, inner);
      out_ += indent + "</g>\n";
    } else if (art.type == kArtTypePath || art.type == kArtTypeCompoundPath) {
      out_ += indent + "<path" + IdAttribute(art) + Attribute("d", PathData(art)) +
              PaintAttributes(art, inherited);
      for (const auto& [name, value] : art.attributes) {
        if (name != "fill" && name != "stroke") out_ += RawAttribute(name, value);
      }
      out_ += "/>\n";
    }
  }

  static std::string PathData(const ArtObject& art) {
    if (art.type == kArtTypePath) return PathDataText(art.segments, art.closed);
    std::string data;
    for (const ArtObject* child : art.children) {
      if (child->type != kArtTypePath || child->segments.empty()) continue;
      if (!data.empty()) data += ' ';
      data += PathDataText(child->segments, child->closed);
    }
    return data;
  }

  const SvgDrawing& drawing_;
  std::string out_;
  std::set<std::string> allNames_;
  std::set<std::string> written_;
};

}  // namespace

std::string ExportSvg(const SvgDrawing& drawing) { return Exporter(drawing).Run(); }

void SaveSvgFile(const SvgDrawing& drawing, const std::string& path) {
  WriteFileAtomically(path, ExportSvg(drawing));
}

}  // namespace morvelin
