#include "cli/svg/svg_raw_xml.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/svg/number_chars.h"
#include "cli/svg/svg_errors.h"
#include "cli/svg/svg_gzip.h"

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

std::string ReadSvgFile(const std::string& path) {
  std::error_code error;
  if (std::filesystem::is_directory(path, error)) throw SvgError(path, "is a directory");
  std::ifstream in(path, std::ios::binary);
  if (!in) throw SvgError(path, "cannot open the file");
  std::ostringstream text;
  text << in.rdbuf();
  if (in.bad()) throw SvgError(path, "cannot read the file");
  std::string bytes = text.str();
  return IsGzip(bytes) ? Gunzip(bytes, path) : bytes;
}

std::string MatrixText(const SvgMatrix& m) {
  return "matrix(" + NumberText(m.a) + " " + NumberText(m.b) + " " + NumberText(m.c) + " " + NumberText(m.d) +
         " " + NumberText(m.e) + " " + NumberText(m.f) + ")";
}

}  // namespace morvelin
