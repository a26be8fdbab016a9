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
  while (at < text.size() && !truncated_) {
    const std::size_t open = text.find('{', at);
    if (open == std::string_view::npos) break;
    const std::size_t close = BlockEnd(text, open);
    const std::string_view prelude = TrimSpaces(text.substr(at, open - at));
    // @-rules (media queries, fonts) are skipped whole.
    if (!prelude.empty() && prelude.front() != '@') {
      if (rulesRead_ == kMaxRules) {
        truncated_ = true;
        break;
      }
      ++rulesRead_;
      const auto [declarations, block] = Intern(text.substr(open + 1, close - open - 1));
      for (std::string_view selector : Split(prelude, ',')) {
        AddSelector(TrimSpaces(selector), declarations, block);
      }
    }
    at = close + 1;
  }
}

std::pair<const StyleSheet::Declarations*, std::size_t> StyleSheet::Intern(std::string_view block) {
  auto declarations = std::make_unique<Declarations>(ParseDeclarations(block));
  const auto [found, added] = blockIndex_.emplace(DeclarationsText(*declarations), blocks_.size());
  if (added) blocks_.push_back(std::move(declarations));
  return {blocks_[found->second].get(), found->second};
}

void StyleSheet::AddSelector(std::string_view text, const Declarations* declarations, std::size_t block) {
  Selector selector;
  std::size_t at = 0;
  if (at < text.size() && text[at] == '*') {
    ++at;
  } else {
    while (at < text.size() && IsNameChar(text[at])) selector.element += text[at++];
  }
  while (at < text.size()) {
    const char kind = text[at++];
    std::string name;
    while (at < text.size() && IsNameChar(text[at])) name += text[at++];
    if (name.empty()) return;
    if (kind == '#') {
      selector.id = name;
      selector.specificity += 100;
    } else if (kind == '.') {
      selector.classes.push_back(name);
      selector.specificity += 10;
    } else {
      return;  // combinators, attributes, pseudo-classes
    }
  }
  if (text.empty()) return;
  if (!selector.element.empty()) selector.specificity += 1;

  // The same selector with the same declarations again: the later place is
  // the one that counts (everything it overrides, it overrides there too).
  std::vector<std::string> sorted = selector.classes;
  std::sort(sorted.begin(), sorted.end());
  std::string key = selector.element + '\n' + selector.id + '\n' + std::to_string(block);
  for (const std::string& name : sorted) key += '\n' + name;
  const auto found = seen_.find(key);
  if (found != seen_.end()) {
    selectors_[found->second].order = order_++;
    return;
  }
  if (selectors_.size() == kMaxSelectors) {
    truncated_ = true;
    return;
  }
  selector.order = order_++;
  selector.declarations = declarations;
  const std::size_t index = selectors_.size();
  seen_.emplace(std::move(key), index);
  if (!selector.id.empty()) {
    byId_[selector.id].push_back(index);
  } else if (!selector.classes.empty()) {
    byClass_[selector.classes.front()].push_back(index);
  } else if (!selector.element.empty()) {
    byElement_[selector.element].push_back(index);
  } else {
    anyElement_.push_back(index);
  }
  selectors_.push_back(std::move(selector));
}

std::vector<const CssDeclaration*> StyleSheet::DeclarationsFor(std::string_view element, std::string_view id,
                                                               std::string_view classes) const {
  std::vector<const CssDeclaration*> declarations;
  if (selectors_.empty()) return declarations;
  // The element's classes, each once (class lists are separated by any
  // white space).
  std::vector<std::string> own;
  for (std::size_t at = 0; at < classes.size();) {
    const std::size_t start = classes.find_first_not_of(" \t\r\n\f", at);
    if (start == std::string_view::npos) break;
    std::size_t stop = classes.find_first_of(" \t\r\n\f", start);
    if (stop == std::string_view::npos) stop = classes.size();
    std::string name(classes.substr(start, stop - start));
    if (std::find(own.begin(), own.end(), name) == own.end()) own.push_back(std::move(name));
    at = stop;
  }
  std::vector<const Selector*> matching;
  auto consider = [&](const std::vector<std::size_t>& candidates) {
    for (const std::size_t index : candidates) {
      const Selector& selector = selectors_[index];
      if (!selector.element.empty() && selector.element != element) continue;
      if (!selector.id.empty() && selector.id != id) continue;
      const bool allClasses = std::all_of(
          selector.classes.begin(), selector.classes.end(),
          [&](const std::string& name) { return std::find(own.begin(), own.end(), name) != own.end(); });
      if (allClasses) matching.push_back(&selector);
    }
  };
  auto lookUp = [&](const std::unordered_map<std::string, std::vector<std::size_t>>& index,
                    const std::string& key) {
    const auto found = index.find(key);
    if (found != index.end()) consider(found->second);
  };
  if (!id.empty()) lookUp(byId_, std::string(id));
  for (const std::string& name : own) lookUp(byClass_, name);
  lookUp(byElement_, std::string(element));
  consider(anyElement_);
  std::sort(matching.begin(), matching.end(), [](const Selector* a, const Selector* b) {
    return a->specificity != b->specificity ? a->specificity < b->specificity : a->order < b->order;
  });
  for (const Selector* selector : matching) {
    for (const CssDeclaration& declaration : *selector->declarations) declarations.push_back(&declaration);
  }
  return declarations;
}

}  // namespace morvelin
