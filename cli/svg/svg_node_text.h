// Source nodes and attributes as the SVG writer puts them out: a node as it
// was read, or as read with some paint properties edited, and the texts of
// attributes, joins and caps.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <pugixml.hpp>
#include <string>
#include <utility>
#include <vector>

#include "host_api/path_style_suite.h"

namespace morvelin {

// ` name="raw"`: a kept value is raw XML text; only a '"' is escaped.
std::string RawAttribute(const std::string& name, const std::string& raw);
// ` name="value"` with the value escaped.
std::string Attribute(const std::string& name, const std::string& value);
// SVG's names of the host's line joins and caps.
const char* JoinText(int32_t join);
const char* CapText(int32_t cap);

// Writes a source node as it was read.
void WriteNode(std::ostream& out, pugi::xml_node node);
// Writes `<name` and the node's attributes as read.
void WriteStartTag(std::ostream& out, pugi::xml_node node);

// One paint property a changed object's source node is written with: its
// name and its value.
using PropertyEdit = std::pair<std::string, std::string>;

// The properties on which `now` differs from `read`, as the source node must
// say them, lengths in the element's own units (`scale` is the length scale
// of its matrix to the art's coordinates). False when a difference is one
// edits cannot make: an opacity (the reader multiplied the element's own
// opacity into both), a length with no scale, what the host keeps that SVG
// does not write.
bool StyleEdits(const PathStyle& read, const PathStyle& now, double scale, std::vector<PropertyEdit>* edits);

// Writes `node` as read, every attribute and child, with `edits` made. A
// property its style attribute declares is replaced there; in a document
// with style sheets, whose rules beat presentation attributes, it is added
// to the style attribute; otherwise the presentation attribute is set, or
// added.
void WriteEditedNode(std::ostream& out, pugi::xml_node node, const std::vector<PropertyEdit>& edits,
                     bool styleSheets);

}  // namespace morvelin
