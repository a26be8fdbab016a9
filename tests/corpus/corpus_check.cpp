// corpus_check: the checks scripts/corpus.sh makes of drawings that go
// through `morvelin apply`.
//
//   corpus_check run WORK SHARD SHARDS LIMIT < FILES
//                                  applies the effect (as `morvelin apply`
//                                  does, in a forked process stopped after
//                                  LIMIT seconds) to every SHARD-th of the
//                                  files listed one a line, writing into
//                                  folder WORK, and prints "<verdict> <file>"
//                                  for each (see scripts/corpus.sh)
//   corpus_check IN.svg            exit 0 when librsvg reads IN, 1 when not
//   corpus_check render IN OUT     prints the mean absolute difference of
//                                  the colour channels (0-255) of IN and OUT
//                                  drawn by librsvg at 200 x 200 on white
//   corpus_check untouched IN OUT  prints "ok", or the first element of IN
//                                  that OUT does not hold as it was; only
//                                  shape elements (the effect's sources) may
//                                  be missing or changed, and OUT may hold
//                                  new `path` elements
// Exit 2 for a file that cannot be read.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <pugixml.hpp>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "cli/commands/apply_command.h"
#include "cli/session/png_render.h"
#include "cli/svg/svg_element.h"
#include "cli/svg/svg_shape_element.h"

namespace {

constexpr unsigned kParse = pugi::parse_default | pugi::parse_ws_pcdata | pugi::parse_comments |
                            pugi::parse_pi | pugi::parse_declaration | pugi::parse_doctype;

bool IsBlankText(pugi::xml_node node) {
  if (node.type() != pugi::node_pcdata) return false;
  for (const char* c = node.value(); *c != '\0'; ++c) {
    if (!std::strchr(" \t\r\n", *c)) return false;
  }
  return true;
}

bool SameStartTag(pugi::xml_node a, pugi::xml_node b) {
  if (a.type() != b.type() || std::strcmp(a.name(), b.name()) != 0) return false;
  if (std::strcmp(a.value(), b.value()) != 0) return false;
  pugi::xml_attribute x = a.first_attribute(), y = b.first_attribute();
  for (; x && y; x = x.next_attribute(), y = y.next_attribute()) {
    if (std::strcmp(x.name(), y.name()) != 0 || std::strcmp(x.value(), y.value()) != 0) return false;
  }
  return !x && !y;
}

bool SameTree(pugi::xml_node a, pugi::xml_node b) {
  if (!SameStartTag(a, b)) return false;
  pugi::xml_node x = a.first_child(), y = b.first_child();
  for (; x && y; x = x.next_sibling(), y = y.next_sibling()) {
    if (!SameTree(x, y)) return false;
  }
  return !x && !y;
}

bool IsSource(pugi::xml_node node) {
  return node.type() == pugi::node_element && morvelin::IsShapeElement(morvelin::SvgName(node));
}

// A node the output may hold beyond the input: a new path, white space.
bool IsNew(pugi::xml_node node) {
  return IsBlankText(node) || (node.type() == pugi::node_element && morvelin::SvgName(node) == "path");
}

// Compares the children of two elements with the same start tag. Returns ""
// or the name of the first input node not held as it was.
std::string Compare(pugi::xml_node in, pugi::xml_node out) {
  pugi::xml_node next = out.first_child();
  for (pugi::xml_node child : in.children()) {
    if (IsBlankText(child)) continue;
    pugi::xml_node match;
    std::string inner = "?";
    for (pugi::xml_node candidate = next; candidate; candidate = candidate.next_sibling()) {
      if (SameTree(child, candidate)) {
        match = candidate;
        inner.clear();
        break;
      }
      if (child.type() == pugi::node_element && child.first_child() && SameStartTag(child, candidate)) {
        inner = Compare(child, candidate);
        match = candidate;
        break;
      }
      if (!IsNew(candidate)) break;
    }
    if (!match) {
      if (IsSource(child)) continue;  // united or rewritten
      return child.type() == pugi::node_element ? child.name() : "(text)";
    }
    if (!inner.empty()) return inner;
    for (; next != match; next = next.next_sibling()) {
      if (!IsNew(next)) return std::string("(before) ") + child.name();
    }
    next = match.next_sibling();
  }
  for (; next; next = next.next_sibling()) {
    if (!IsNew(next)) return std::string("(extra) ") + next.name();
  }
  return "";
}

// "" when the untouched elements of IN are in OUT as they were, the first
// that is not otherwise; "unreadable" for a file that does not parse.
std::string UntouchedProblem(const char* inPath, const char* outPath) {
  pugi::xml_document in, out;
  if (!in.load_file(inPath, kParse) || !out.load_file(outPath, kParse)) return "unreadable";
  const pugi::xml_node a = in.document_element(), b = out.document_element();
  return SameStartTag(a, b) ? Compare(a, b) : std::string("(root)");
}

int Untouched(const char* inPath, const char* outPath) {
  const std::string problem = UntouchedProblem(inPath, outPath);
  if (problem == "unreadable") return 2;
  std::printf("%s\n", problem.empty() ? "ok" : problem.c_str());
  return 0;
}

// The mean absolute channel difference (0-255) of the two files drawn at
// 200 x 200; negative when librsvg cannot draw one.
double RenderDifference(const char* inPath, const char* outPath) {
  std::vector<uint32_t> a, b;
  std::string error;
  if (!morvelin::RenderSvgFileToPixels(inPath, 200, 200, &a, &error) ||
      !morvelin::RenderSvgFileToPixels(outPath, 200, 200, &b, &error, inPath)) {
    return -1;
  }
  double sum = 0;
  for (std::size_t i = 0; i < a.size(); ++i) {
    for (int shift : {0, 8, 16}) sum += std::abs(int((a[i] >> shift) & 0xFF) - int((b[i] >> shift) & 0xFF));
  }
  return sum / (3.0 * static_cast<double>(a.size()));
}

int Render(const char* inPath, const char* outPath) {
  const double difference = RenderDifference(inPath, outPath);
  if (difference < 0) return 2;
  std::printf("%.4f\n", difference);
  return 0;
}

// What the child reports through its exit code.
enum ChildResult { kUnchanged = 0, kFailed = 1, kRefused = 2, kBridges = 3, kChanged = 4 };

int ApplyInChild(const std::string& in, const std::string& out, int limit) {
  alarm(static_cast<unsigned>(limit));
  morvelin::ApplyOptions options;
  options.input = in;
  options.output = out;
  std::ostringstream said, errors;
  const int code = morvelin::RunApplyCommand(options, said, errors);
  if (code == 2) return kRefused;
  if (code != 0) return kFailed;
  const std::string text = said.str();
  if (text.find("the drawing is unchanged.") != std::string::npos) return kUnchanged;
  if (text.rfind("United", 0) == 0 || text.rfind("Bridges built", 0) == 0) return kBridges;
  return kChanged;
}

std::string Verdict(const std::string& file, const std::string& out, int limit) {
  std::fflush(stdout);
  const pid_t child = fork();
  if (child < 0) return "failure";
  if (child == 0) _exit(ApplyInChild(file, out, limit));
  int status = 0;
  while (waitpid(child, &status, 0) < 0) {
  }
  if (WIFSIGNALED(status)) return WTERMSIG(status) == SIGALRM ? "timeout" : "crash";
  switch (WEXITSTATUS(status)) {
    case kUnchanged: {
      const double difference = RenderDifference(file.c_str(), out.c_str());
      return difference > 1.0 ? "unchanged-differs" : "ok";
    }
    case kRefused: {
      std::vector<uint32_t> pixels;
      std::string error;
      return morvelin::RenderSvgFileToPixels(file, 8, 8, &pixels, &error) ? "refused-drawable" : "refusal";
    }
    case kBridges: return UntouchedProblem(file.c_str(), out.c_str()).empty() ? "ok" : "untouched-changed";
    case kChanged: return "ok";
    default: return "failure";
  }
}

int Run(const std::string& work, int shard, int shards, int limit) {
  const std::string out = work + "/out-" + std::to_string(shard) + ".svg";
  std::string file;
  for (long index = 0; std::getline(std::cin, file); ++index) {
    if (index % shards != shard) continue;
    std::printf("%s %s\n", Verdict(file, out, limit).c_str(), file.c_str());
    std::fflush(stdout);
  }
  std::remove(out.c_str());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2) {
    std::vector<uint32_t> pixels;
    std::string error;
    return morvelin::RenderSvgFileToPixels(argv[1], 8, 8, &pixels, &error) ? 0 : 1;
  }
  if (argc == 6 && std::string_view(argv[1]) == "run") {
    return Run(argv[2], std::atoi(argv[3]), std::atoi(argv[4]), std::atoi(argv[5]));
  }
  if (argc == 4 && std::string_view(argv[1]) == "render") return Render(argv[2], argv[3]);
  if (argc == 4 && std::string_view(argv[1]) == "untouched") return Untouched(argv[2], argv[3]);
  std::fprintf(
      stderr,
      "usage: corpus_check run WORK SHARD SHARDS LIMIT < FILES | IN | render IN OUT | untouched IN OUT\n");
  return 2;
}
