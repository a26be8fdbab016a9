#include "cli/svg/svg_raw_xml.h"

#include "cli/svg/number_chars.h"
#include "cli/svg/svg_errors.h"
#include "cli/svg/svg_gzip.h"
#include <filesystem>
#include <fstream>
#include <sstream>

namespace morvelin {

namespace {

std::string NumberText(double value) {
  char text[32];
  const auto result = WriteChars(text, text + sizeof text, value);
  return std::string(text, result.ptr);
}

}  // namespace

void RequoteAttributes(pugi::xml_node node) {
  // A walker, not recursion: kept nodes may nest deeper than the stack allows.
  struct Requote : pugi::xml_tree_walker {
    bool for_each(pugi::xml_node& each) override {
      Attributes(each);
      return true;
    }
    static void Attributes(pugi::xml_node each) {
      for (pugi::xml_attribute attribute : each.attributes()) {
        const std::string value = attribute.value();
        if (value.find('"') == std::string::npos) continue;
        std::string quoted;
        for (char c : value) quoted += c == '"' ? std::string("&quot;") : std::string(1, c);
        attribute.set_value(quoted.c_str());
      }
    }
  } requote;
  Requote::Attributes(node);
  node.traverse(requote);
}

std::string ReadSvgFile(const std::string& path, std::uint64_t maxBytes) {
  return ReadDrawingBytes(path, maxBytes);
}

std::string MatrixText(const SvgMatrix& m) {
  return "matrix(" + NumberText(m.a) + " " + NumberText(m.b) + " " + NumberText(m.c) + " " + NumberText(m.d) +
         " " + NumberText(m.e) + " " + NumberText(m.f) + ")";
}

}  // namespace morvelin
