#include "cli/svg/svg_node_text.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <ostream>
#include <set>

#include "cli/svg/float_text.h"
#include "cli/svg/svg_number.h"
#include "cli/svg/svg_paint.h"
#include "cli/svg/svg_xml_text.h"

namespace morvelin {

namespace {

bool SameColor(const HostColor& a, const HostColor& b) {
  return a.red == b.red && a.green == b.green && a.blue == b.blue;
}

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

}  // namespace

std::string RawAttribute(const std::string& name, const std::string& raw) {
  std::string text = " " + name + "=\"";
  for (char c : raw) text += c == '"' ? std::string("&quot;") : std::string(1, c);
  return text + "\"";
}

std::string Attribute(const std::string& name, const std::string& value) {
  return " " + name + "=\"" + EscapeAttribute(value) + "\"";
}

const char* JoinText(int32_t join) {
  return join == kLineJoinRound ? "round" : join == kLineJoinBevel ? "bevel" : "miter";
}

const char* CapText(int32_t cap) {
  return cap == kLineCapRound ? "round" : cap == kLineCapSquare ? "square" : "butt";
}

void WriteNode(std::ostream& out, pugi::xml_node node) {
  node.print(out, "", pugi::format_raw | pugi::format_no_escapes, pugi::encoding_utf8);
}

void WriteStartTag(std::ostream& out, pugi::xml_node node) {
  out << '<' << node.name();
  for (const pugi::xml_attribute attribute : node.attributes()) {
    out << RawAttribute(attribute.name(), attribute.value());
  }
}

bool StyleEdits(const PathStyle& read, const PathStyle& now, double scale, std::vector<PropertyEdit>* edits) {
  if (read.fillColor.opacity != now.fillColor.opacity ||
      read.strokeColor.opacity != now.strokeColor.opacity ||
      std::memcmp(read.reserved, now.reserved, sizeof read.reserved) != 0) {
    return false;
  }
  const bool scaled = scale > 0 && std::isfinite(scale);
  auto length = [scale](HostReal value) { return FloatText(static_cast<HostReal>(value / scale)); };
  if ((read.fillPaint != 0) != (now.fillPaint != 0) ||
      (now.fillPaint != 0 && !SameColor(read.fillColor, now.fillColor))) {
    edits->emplace_back("fill", now.fillPaint != 0 ? ColorText(now.fillColor) : "none");
  }
  if ((read.evenOddFill != 0) != (now.evenOddFill != 0)) {
    edits->emplace_back("fill-rule", now.evenOddFill != 0 ? "evenodd" : "nonzero");
  }
  if ((read.strokePaint != 0) != (now.strokePaint != 0) ||
      (now.strokePaint != 0 && !SameColor(read.strokeColor, now.strokeColor))) {
    edits->emplace_back("stroke", now.strokePaint != 0 ? ColorText(now.strokeColor) : "none");
  }
  const bool dashesDiffer =
      read.dashCount != now.dashCount ||
      !std::equal(read.dashes, read.dashes + std::clamp(now.dashCount, 0, 32), now.dashes);
  if (!scaled && (read.strokeWidth != now.strokeWidth || read.dashOffset != now.dashOffset || dashesDiffer)) {
    return false;
  }
  if (read.strokeWidth != now.strokeWidth) edits->emplace_back("stroke-width", length(now.strokeWidth));
  if (read.lineJoin != now.lineJoin) edits->emplace_back("stroke-linejoin", JoinText(now.lineJoin));
  if (read.lineCap != now.lineCap) edits->emplace_back("stroke-linecap", CapText(now.lineCap));
  if (read.miterLimit != now.miterLimit) edits->emplace_back("stroke-miterlimit", FloatText(now.miterLimit));
  if (dashesDiffer) {
    std::string dashes;
    for (int i = 0; i < now.dashCount && i < 32; ++i) dashes += (i > 0 ? " " : "") + length(now.dashes[i]);
    edits->emplace_back("stroke-dasharray", dashes.empty() ? "none" : dashes);
  }
  if (read.dashOffset != now.dashOffset) edits->emplace_back("stroke-dashoffset", length(now.dashOffset));
  return true;
}

void WriteEditedNode(std::ostream& out, pugi::xml_node node, const std::vector<PropertyEdit>& edits,
                     bool styleSheets) {
  const pugi::xml_attribute styleAttribute = node.attribute("style");
  std::vector<std::string> pieces;
  {
    const std::string style = DecodeEntities(styleAttribute.value());
    std::size_t at = 0;
    for (std::size_t semicolon; (semicolon = style.find(';', at)) != std::string::npos; at = semicolon + 1) {
      pieces.push_back(style.substr(at, semicolon - at));
    }
    pieces.push_back(style.substr(at));
  }
  auto pieceName = [](const std::string& piece) {
    const std::size_t colon = piece.find(':');
    return colon == std::string::npos ? std::string()
                                      : Lower(TrimSpaces(std::string_view(piece).substr(0, colon)));
  };
  auto declared = [&](const std::string& name) {
    return std::any_of(pieces.begin(), pieces.end(),
                       [&](const std::string& piece) { return pieceName(piece) == name; });
  };
  std::vector<PropertyEdit> inStyle, asAttribute;
  for (const PropertyEdit& edit : edits)
    (styleSheets || declared(edit.first) ? inStyle : asAttribute).push_back(edit);
  std::string style;
  for (const std::string& piece : pieces) {
    const std::string name = pieceName(piece);
    const bool replaced = std::any_of(inStyle.begin(), inStyle.end(),
                                      [&](const PropertyEdit& edit) { return edit.first == name; });
    if (replaced || TrimSpaces(piece).empty()) continue;
    style += (style.empty() ? "" : ";") + piece;
  }
  for (const PropertyEdit& edit : inStyle)
    style += (style.empty() ? "" : ";") + edit.first + ':' + edit.second;

  out << '<' << node.name();
  std::set<std::string> set;
  for (const pugi::xml_attribute attribute : node.attributes()) {
    const std::string name = attribute.name();
    const auto edit = std::find_if(asAttribute.begin(), asAttribute.end(),
                                   [&](const PropertyEdit& e) { return e.first == name; });
    if (name == "style" && !inStyle.empty()) {
      out << Attribute("style", style);
    } else if (edit != asAttribute.end()) {
      out << Attribute(name, edit->second);
      set.insert(name);
    } else {
      out << RawAttribute(name, attribute.value());
    }
  }
  for (const PropertyEdit& edit : asAttribute) {
    if (set.count(edit.first) == 0) out << Attribute(edit.first, edit.second);
  }
  if (!inStyle.empty() && !styleAttribute) out << Attribute("style", style);
  if (!node.first_child()) {
    out << "/>";
    return;
  }
  out << '>';
  for (const pugi::xml_node child : node.children()) WriteNode(out, child);
  out << "</" << node.name() << '>';
}

}  // namespace morvelin
