// One element of an SVG document being read: its attributes, and errors that
// point at their place in the source text.
#pragma once

#include <pugixml.hpp>
#include <string>
#include <string_view>
#include <vector>

#include "cli/svg/svg_errors.h"

namespace morvelin {

// The source a document was parsed from. The document must have been parsed
// from exactly `text`, so that node offsets point into it.
struct SvgSource {
  std::string_view text;
  std::string name;  // for messages
  // Where warnings go ("<file>:<line>:<column>: warning: <problem>"); none
  // are kept when null.
  std::vector<std::string>* warnings = nullptr;
};

// The SVG namespace.
constexpr const char* kSvgNamespace = "http://www.w3.org/2000/svg";

// The element's name as SVG knows it: "circle" for `svg:circle` when the
// prefix is bound to the SVG namespace; the name as written otherwise.
std::string_view SvgName(pugi::xml_node node);

class SvgElement {
 public:
  SvgElement(pugi::xml_node node, const SvgSource& source) : node_(node), source_(source) {}

  pugi::xml_node node() const { return node_; }
  std::string_view name() const { return SvgName(node_); }
  bool Has(const char* attribute) const { return !node_.attribute(attribute).empty(); }
  // The attribute's text with references decoded; empty when it is missing.
  std::string Value(const char* attribute) const;
  // A length attribute in user units; `fallback` when it is missing or, with
  // a warning, not a length. Throws SvgUnmodelled for a length relative to
  // the font or viewport.
  double Length(const char* attribute, double fallback) const;

  // Adds a warning at the element's start tag.
  void Warn(const std::string& problem) const;
  // Adds a warning at the fault `error` found inside the attribute's value.
  void WarnInValue(const char* attribute, const SvgDataError& error) const;

  // Throws SvgError at the element's start tag.
  [[noreturn]] void Fail(const std::string& problem) const;
  // Throws SvgError at the fault `error` found inside the attribute's value.
  [[noreturn]] void FailInValue(const char* attribute, const SvgDataError& error) const;

 private:
  std::size_t TagOffset() const;
  std::size_t ValueOffset(const char* attribute, const SvgDataError& error) const;
  pugi::xml_node node_;
  const SvgSource& source_;
};

// Throws SvgError at byte `offset` of the source.
[[noreturn]] void FailAtOffset(const SvgSource& source, std::size_t offset, const std::string& problem);
// Adds a warning at byte `offset` of the source.
void WarnAtOffset(const SvgSource& source, std::size_t offset, const std::string& problem);

}  // namespace morvelin
