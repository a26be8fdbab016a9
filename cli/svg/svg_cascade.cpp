#include "cli/svg/svg_cascade.h"

#include "cli/svg/svg_number.h"
#include "cli/svg/svg_xml_text.h"

namespace morvelin {

namespace {

void Apply(ElementStyle& style, const std::string& name, const std::string& value) {
  if (name == "opacity") {
    if (value == "inherit") return;
    if (auto opacity = ParseOpacity(value)) style.opacity = *opacity;
  } else if (name == "display") {
    style.hidden = TrimSpaces(value) == "none";
  } else {
    ApplyPaintProperty(style.paint, name, value);
  }
}

}  // namespace

ElementStyle CascadeStyle(const SvgElement& element, const StyleSheet& sheet,
                          const SvgPaintState& inherited) {
  ElementStyle style;
  style.paint = inherited;
  for (const pugi::xml_attribute attribute : element.node().attributes()) {
    // The attribute's own value: the names are unique (the reader checked),
    // and a look-up by name would make an element of many attributes cost
    // their square.
    const std::string name = attribute.name();
    if (name != "style") Apply(style, name, DecodeEntities(attribute.value()));
  }
  if (!sheet.empty()) {
    const auto rules = sheet.DeclarationsFor(element.name(), element.Value("id"), element.Value("class"));
    for (const CssDeclaration* declaration : rules) Apply(style, declaration->name, declaration->value);
  }
  for (const CssDeclaration& declaration : ParseDeclarations(element.Value("style"))) {
    Apply(style, declaration.name, declaration.value);
    if (!IsPaintProperty(declaration.name) && declaration.name != "opacity") {
      style.otherStyle.push_back(declaration);
    }
  }
  return style;
}

}  // namespace morvelin
