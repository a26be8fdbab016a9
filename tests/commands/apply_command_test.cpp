// `morvelin apply` from arguments to files: the whole plug-in lifecycle on a
// drawing, and clear failures that leave no partial output.
#include "cli/commands/apply_command.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "plugin/plugin_globals.h"

namespace {

namespace fs = std::filesystem;

class ApplyCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("morvelin-apply-" + std::to_string(::getpid()) + "-" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override {
    fs::remove_all(dir_);
    EXPECT_EQ(gGlobals, nullptr);  // the plug-in was shut down
  }

  int Run(morvelin::ApplyOptions options) {
    out_.str("");
    err_.str("");
    return morvelin::RunApplyCommand(options, out_, err_);
  }
  std::string Write(const std::string& name, const std::string& text) {
    const fs::path path = dir_ / name;
    std::ofstream(path) << text;
    return path.string();
  }
  static std::string Read(const fs::path& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }
  static int Count(const std::string& text, const std::string& what) {
    int n = 0;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
  }

  fs::path dir_;
  std::ostringstream out_;
  std::ostringstream err_;
};

TEST_F(ApplyCommandTest, UnitesTheSampleDrawingAndKeepsWhatItDoesNotModel) {
  morvelin::ApplyOptions options;
  options.output = (dir_ / "out.svg").string();
  options.png = (dir_ / "out.png").string();
  ASSERT_EQ(Run(options), 0) << err_.str();

  const std::string svg = Read(options.output);
  // Five circles and ten bridges became one outline; the open line and the
  // caption pass through.
  EXPECT_NE(out_.str().find("United 15 objects"), std::string::npos) << out_.str();
  EXPECT_EQ(Count(svg, "<circle"), 0);
  EXPECT_EQ(Count(svg, "<path"), 2) << svg;
  EXPECT_NE(svg.find("Morvelin sample</text>"), std::string::npos);
  EXPECT_GT(fs::file_size(options.png), 1000u);
}

TEST_F(ApplyCommandTest, WithoutUniteTheBridgesStandBesideTheCircles) {
  morvelin::ApplyOptions options;
  options.input = Write("two.svg",
                        "<svg xmlns='http://www.w3.org/2000/svg'><circle cx='0' cy='0' r='10'/>"
                        "<circle cx='30' cy='0' r='10'/></svg>");
  options.output = (dir_ / "out.svg").string();
  options.noUnite = true;
  ASSERT_EQ(Run(options), 0) << err_.str();
  EXPECT_EQ(Count(Read(options.output), "<path"), 3);
}

TEST_F(ApplyCommandTest, BadInputNamesTheFileAndPositionAndWritesNothing) {
  morvelin::ApplyOptions options;
  options.output = (dir_ / "out.svg").string();

  options.input = Write("broken.svg", "<svg xmlns='http://www.w3.org/2000/svg'>\n  <g>\n</svg>\n");
  EXPECT_EQ(Run(options), 2);
  EXPECT_NE(err_.str().find("broken.svg:"), std::string::npos) << err_.str();

  options.input = Write("html.svg", "<html xmlns='http://www.w3.org/1999/xhtml'/>");
  EXPECT_EQ(Run(options), 2);
  EXPECT_NE(err_.str().find("html.svg:1:1:"), std::string::npos) << err_.str();

  options.input = (dir_ / "missing.svg").string();
  EXPECT_EQ(Run(options), 2);
  EXPECT_NE(err_.str().find("missing.svg"), std::string::npos) << err_.str();

  options.input.clear();
  options.viscosity = "fifty";
  EXPECT_EQ(Run(options), 2);

  EXPECT_FALSE(fs::exists(options.output));
}

TEST_F(ApplyCommandTest, UnwritableOutputIsAnErrorAndLeavesNoFile) {
  morvelin::ApplyOptions options;
  options.output = (dir_ / "no-such-folder" / "out.svg").string();
  EXPECT_EQ(Run(options), 2);
  EXPECT_NE(err_.str().find("no-such-folder"), std::string::npos) << err_.str();
  EXPECT_TRUE(fs::is_empty(dir_));
}

TEST_F(ApplyCommandTest, ARefusedOutputWritesNeitherFile) {
  const std::string kept = Write("kept.svg", "<svg xmlns='http://www.w3.org/2000/svg'/>");
  struct Row {
    const char* what;
    std::string output;
    std::string png;
  };
  const Row rows[] = {
      {"PNG refused, SVG fine", (dir_ / "ok.svg").string(), (dir_ / "missing" / "x.png").string()},
      {"SVG refused, PNG fine", (dir_ / "missing" / "x.svg").string(), (dir_ / "ok.png").string()},
      {"an existing SVG stays as it was", kept, (dir_ / "missing" / "x.png").string()},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    morvelin::ApplyOptions options;
    options.output = row.output;
    options.png = row.png;
    EXPECT_EQ(Run(options), 2);
    EXPECT_NE(err_.str().find("missing"), std::string::npos) << err_.str();
    // Only the file that was there before, unchanged; no temporary file.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
    EXPECT_EQ(Read(kept), "<svg xmlns='http://www.w3.org/2000/svg'/>");
  }
}

TEST_F(ApplyCommandTest, AViscosityTheDialogDoesNotOfferIsAppliedWithAWarning) {
  const std::string two = Write("two.svg",
                                "<svg xmlns='http://www.w3.org/2000/svg'><circle cx='0' cy='0' r='10'/>"
                                "<circle cx='30' cy='0' r='10'/></svg>");
  struct Row {
    const char* viscosity;
    const char* warning;  // empty: none
    const char* outcome;
  };
  const Row rows[] = {
      {"50", "", "United 3 objects"},
      {"100", "", "United 3 objects"},
      {"250",
       "viscosity 250 is outside 1 to 100, the range the dialog offers; the plug-in uses it as it is "
       "(rate fraction 2.5)",
       "United 3 objects"},
      {"0", "viscosity 0 is outside 1 to 100", "No bridge"},
      {"nan",
       "viscosity nan is not a finite number (the dialog offers 1 to 100); the plug-in reads it as no "
       "viscosity and leaves the drawing unchanged",
       "No bridge"},
      {"-inf", "viscosity -inf is not a finite number", "No bridge"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.viscosity);
    morvelin::ApplyOptions options;
    options.input = two;
    options.output = (dir_ / "out.svg").string();
    options.viscosity = row.viscosity;
    EXPECT_EQ(Run(options), 0) << err_.str();
    if (*row.warning == '\0') {
      EXPECT_EQ(err_.str(), "");
    } else {
      EXPECT_EQ(err_.str().rfind(std::string("morvelin apply: warning: ") + row.warning, 0), 0u)
          << err_.str();
    }
    EXPECT_NE(out_.str().find(row.outcome), std::string::npos) << out_.str();
  }
}

TEST_F(ApplyCommandTest, TraceListsEveryHostCallAndComparesEqualBetweenRuns) {
  morvelin::ApplyOptions options;
  options.output = (dir_ / "out.svg").string();
  options.trace = true;
  ASSERT_EQ(Run(options), 0) << err_.str();
  const std::string first = err_.str();

  // The run itself, and start-up and shut-down around it: each message the
  // host sends stands on a line of its own before the calls the plug-in made
  // for it, with the code it returned. Start-up's first call acquires a
  // suite; shut-down's last frees the globals block.
  const std::size_t startup = first.find("message \"SP Interface\" \"Startup\" returned 0\n");
  const std::size_t goLive = first.find("message \"AI Live Effect\" \"AI Live Effect Go Live\" returned 0\n");
  const std::size_t shutdown = first.find("message \"SP Interface\" \"Shutdown\" returned 0\n");
  EXPECT_EQ(startup, 0u) << first;
  EXPECT_EQ(first.find("SP Basic Suite.AcquireSuite("), first.find('\n') + 1) << first;
  ASSERT_NE(goLive, std::string::npos) << first;
  ASSERT_NE(shutdown, std::string::npos) << first;
  EXPECT_LT(first.find("AI Live Effect Suite.AddLiveEffect("), goLive) << first;
  EXPECT_LT(goLive, first.find("AI Art Suite.DuplicateArt(")) << first;
  EXPECT_LT(first.find("AI Pathfinder Suite.DoUniteEffect("), shutdown) << first;
  EXPECT_GT(first.find("AI Pathfinder Suite.DoUniteEffect("), goLive) << first;
  const std::string lastLine = first.substr(first.rfind('\n', first.size() - 2) + 1);
  EXPECT_NE(lastLine.find(".FreeBlock("), std::string::npos) << lastLine;
  // Handles are serial numbers, never address bits.
  EXPECT_FALSE(std::regex_search(first, std::regex("#[0-9]*[a-fA-F]"))) << first;

  // Another run, with the heap in another state, traces the same lines.
  std::vector<std::unique_ptr<char[]>> ballast;
  for (int i = 1; i < 200; ++i) ballast.emplace_back(new char[static_cast<std::size_t>(i) * 24]);
  ASSERT_EQ(Run(options), 0) << err_.str();
  EXPECT_EQ(err_.str(), first);
}

}  // namespace
