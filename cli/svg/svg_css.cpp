#include "cli/svg/svg_css.h"

#include <algorithm>
#include <cctype>

#include "cli/svg/svg_number.h"

namespace morvelin {

namespace {

std::string WithoutComments(std::string_view text) {
  std::string out;
  for (std::size_t at = 0; at < text.size();) {
    if (text.compare(at, 2, "/*") == 0) {
      const std::size_t end = text.find("*/", at + 2);
      if (end == std::string_view::npos) break;
      at = end + 2;
    } else {
      out += text[at++];
    }
  }
  return out;
}

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

std::vector<std::string_view> Split(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  for (std::size_t at; (at = text.find(separator)) != std::string_view::npos; text.remove_prefix(at + 1)) {
    parts.push_back(text.substr(0, at));
  }
  parts.push_back(text);
  return parts;
}

bool IsNameChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_'; }

// The end of a block starting with '{' at `open`, counting nested blocks.
std::size_t BlockEnd(std::string_view text, std::size_t open) {
  int depth = 0;
  for (std::size_t at = open; at < text.size(); ++at) {
    if (text[at] == '{') ++depth;
    if (text[at] == '}' && --depth == 0) return at;
  }
  return text.size();
}

}  // namespace

std::vector<CssDeclaration> ParseDeclarations(std::string_view text) {
  const std::string clean = WithoutComments(text);
  std::vector<CssDeclaration> declarations;
  for (std::string_view piece : Split(clean, ';')) {
    const std::size_t colon = piece.find(':');
    if (colon == std::string_view::npos) continue;
    const std::string name = Lower(TrimSpaces(piece.substr(0, colon)));
    std::string_view value = TrimSpaces(piece.substr(colon + 1));
    const std::size_t important = value.find('!');
    if (important != std::string_view::npos) value = TrimSpaces(value.substr(0, important));
    if (name.empty()) continue;
    declarations.push_back(CssDeclaration{name, std::string(value)});
  }
  return declarations;
}

std::string DeclarationsText(const std::vector<CssDeclaration>& declarations) {
  std::string text;
  for (const CssDeclaration& declaration : declarations) {
    if (!text.empty()) text += ';';
    text += declaration.name + ':' + declaration.value;
  }
  return text;
}

void StyleSheet::AddRules(std::string_view css) {
  const std::string clean = WithoutComments(css);
  const std::string_view text = clean;
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t open = text.find('{', at);
    if (open == std::string_view::npos) break;
    const std::size_t close = BlockEnd(text, open);
    const std::string_view prelude = TrimSpaces(text.substr(at, open - at));
    // @-rules (media queries, fonts) are skipped whole.
    if (!prelude.empty() && prelude.front() != '@') {
      const auto declarations = ParseDeclarations(text.substr(open + 1, close - open - 1));
      for (std::string_view selector : Split(prelude, ',')) AddSelector(TrimSpaces(selector), declarations);
    }
    at = close + 1;
  }
}

bool StyleSheet::AddSelector(std::string_view selector, const std::vector<CssDeclaration>& declarations) {
  Rule rule;
  std::size_t at = 0;
  if (at < selector.size() && selector[at] == '*') {
    ++at;
  } else {
    while (at < selector.size() && IsNameChar(selector[at])) rule.element += selector[at++];
  }
  while (at < selector.size()) {
    const char kind = selector[at++];
    std::string name;
    while (at < selector.size() && IsNameChar(selector[at])) name += selector[at++];
    if (name.empty()) return false;
    if (kind == '#') {
      rule.id = name;
      rule.specificity += 100;
    } else if (kind == '.') {
      rule.classes.push_back(name);
      rule.specificity += 10;
    } else {
      return false;  // combinators, attributes, pseudo-classes
    }
  }
  if (selector.empty()) return false;
  if (!rule.element.empty()) rule.specificity += 1;
  rule.declarations = declarations;
  rules_.push_back(std::move(rule));
  return true;
}

std::vector<CssDeclaration> StyleSheet::DeclarationsFor(std::string_view element, std::string_view id,
                                                        std::string_view classes) const {
  std::vector<std::string_view> own;
  for (std::string_view piece : Split(classes, ' ')) {
    piece = TrimSpaces(piece);
    if (!piece.empty()) own.push_back(piece);
  }
  std::vector<const Rule*> matching;
  for (const Rule& rule : rules_) {
    if (!rule.element.empty() && rule.element != element) continue;
    if (!rule.id.empty() && rule.id != id) continue;
    const bool allClasses = std::all_of(
        rule.classes.begin(), rule.classes.end(),
        [&](const std::string& name) { return std::find(own.begin(), own.end(), name) != own.end(); });
    if (allClasses) matching.push_back(&rule);
  }
  std::stable_sort(matching.begin(), matching.end(),
                   [](const Rule* a, const Rule* b) { return a->specificity < b->specificity; });
  std::vector<CssDeclaration> declarations;
  for (const Rule* rule : matching) {
    declarations.insert(declarations.end(), rule->declarations.begin(), rule->declarations.end());
  }
  return declarations;
}

}  // namespace morvelin
