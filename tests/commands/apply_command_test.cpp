// `morvelin apply` from arguments to files: the whole plug-in lifecycle on a
// drawing, and clear failures that leave no partial output.
#include "cli/commands/apply_command.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "cli/svg/svg_errors.h"
#include "cli/svg/svg_output_file.h"
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
  // The bridge beside the two circles, which stay circles with a round join.
  const std::string text = Read(options.output);
  EXPECT_EQ(Count(text, "<path"), 1) << text;
  EXPECT_EQ(Count(text, "<circle"), 2) << text;
  EXPECT_EQ(Count(text, "<circle cx=\"0\" cy=\"0\" r=\"10\" stroke-linejoin=\"round\"/>"), 1) << text;
  EXPECT_EQ(Count(text, "<circle cx=\"30\" cy=\"0\" r=\"10\" stroke-linejoin=\"round\"/>"), 1) << text;
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

// XML that is not well formed, and encodings the tool does not read, are
// refused with exit 2 at their place, and nothing is written; the message
// itself holds no control characters from the file. What XML allows, however
// odd, is read.
TEST_F(ApplyCommandTest, TextThatIsNotWellFormedXmlIsRefusedAtItsPlace) {
  using namespace std::string_literals;
  struct Case {
    std::string bytes;
    const char* place;    // "line:column"
    const char* problem;  // part of the message
  };
  const std::string svg = "<svg xmlns='http://www.w3.org/2000/svg'>";
  const Case refused[] = {
      {"hello" + svg + "</svg>", "1:1", "text before the root element"},
      {svg + "</svg>\n\n  more", "3:3", "text after the root element"},
      {svg + "</svg>\n<svg/>", "2:1", "a second root element"},
      {svg + "</svg>\n<!-- ok -->\n<![CDATA[x]]>", "3:1", "text after the root element"},
      {svg + "\n<text>caf\xC3(</text></svg>", "2:10", "byte 0xC3 is not UTF-8"},
      {svg + "<text>\xC0\xAF</text></svg>", "1:47", "byte 0xC0 is not UTF-8"},
      {svg + "<text>\xED\xA0\x80</text></svg>", "1:47", "byte 0xED is not UTF-8"},
      {svg + "</svg>" + "\0"s, "1:47", "character U+0000 is not allowed"},
      {svg + "<g id='\x1B[31m'/></svg>", "1:48", "character U+001B is not allowed"},
      {svg + "\n\n<text>ring\a</text></svg>", "3:11", "character U+0007 is not allowed"},
      {svg + "<text>\xEF\xBF\xBE</text></svg>", "1:47", "character U+FFFE is not allowed"},
      {svg + "<text>&#27;</text></svg>", "1:47", "the reference &#27; is to U+001B"},
      {svg + "<g id='&#x0;'/></svg>", "1:48", "the reference &#x0; is to U+0000"},
      {svg + "<text>R & D</text></svg>", "1:49", "'&' starts no reference"},
      {svg + "<g id='a&b'/></svg>", "1:49", "'&' starts no reference"},
      {svg + "<g id='a<b'/></svg>", "1:49", "'<' inside an attribute value"},
      {"\xFF\xFE<\0s\0v\0g\0/\0>\0"s, "1:1", "the file is in UTF-16"},
      {"\xFE\xFF\0<\0s\0v\0g\0/\0>"s, "1:1", "the file is in UTF-16"},
      {"\0<\0s\0v\0g\0/\0>"s, "1:1", "the file is in UTF-16"},
      {"\xFF\xFE\0\0<\0\0\0"s, "1:1", "the file is in UTF-32"},
      {svg + "\n  <g>\n</svg>", "3:3", ""},
      {"", "1:1", ""},
  };
  morvelin::ApplyOptions options;
  options.output = (dir_ / "out.svg").string();
  for (const Case& c : refused) {
    SCOPED_TRACE(c.bytes);
    options.input = (dir_ / "bad.svg").string();
    std::ofstream(options.input, std::ios::binary) << c.bytes;
    EXPECT_EQ(Run(options), 2);
    const std::string err = err_.str();
    EXPECT_NE(err.find("bad.svg:" + std::string(c.place) + ": " + c.problem), std::string::npos) << err;
    for (const char ch : err) EXPECT_TRUE(ch == '\n' || static_cast<unsigned char>(ch) >= 0x20) << err;
    EXPECT_FALSE(fs::exists(options.output));
  }

  const std::string read[] = {
      "\xEF\xBB\xBF" + svg + "<circle r='1'/></svg>",
      "<?xml version='1.0' encoding='ISO-8859-1'?>\n" + svg + "<text>caf\xE9</text></svg>",
      "<!DOCTYPE svg [<!ENTITY ns 'http://www.w3.org/2000/svg'> <!-- ]> -->]>\n"
      "<svg xmlns='&ns;'><text>&ns; &#x1F600; &#233; &lt;</text></svg>",
      svg + "<text>\xC2\x9B \x7F <![CDATA[a & b < c]]></text><!-- & < --><?pi & ?></svg>\n<!-- </svg -->\n",
      svg + "<g id='a&amp;b' data-x='&#9;&#10;&#13;'/></svg>",
  };
  for (const std::string& text : read) {
    SCOPED_TRACE(text);
    options.input = (dir_ / "odd.svg").string();
    std::ofstream(options.input, std::ios::binary) << text;
    EXPECT_EQ(Run(options), 0) << err_.str();
  }
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

// Ids from the drawing reach the trace quoted and escaped: none reads as a
// handle, and nothing in one acts on the terminal (characters XML allows
// but a terminal obeys: CR, DEL, the C1 controls).
TEST_F(ApplyCommandTest, TraceShowsTheDrawingsIdsQuotedAndEscaped) {
  morvelin::ApplyOptions options;
  options.input =
      Write("ids.svg",
            "<svg xmlns='http://www.w3.org/2000/svg'>"
            "<circle id='#1' cx='0' cy='0' r='10'/><circle id='null' cx='30' cy='0' r='10'/>"
            "<circle id='a&#13;b' cx='60' cy='0' r='10'/><circle id='e\x7F' cx='90' cy='0' r='10'/>"
            "<circle id='c\xC2\x9B"
            "31m' cx='120' cy='0' r='10'/>"
            "<circle id='q&quot;x' cx='150' cy='0' r='10'/></svg>");
  options.output = (dir_ / "out.svg").string();
  options.trace = true;
  ASSERT_EQ(Run(options), 0) << err_.str();
  const std::string trace = err_.str();
  for (const char* shown :
       {"GetArtType(\"#1\")", "GetArtType(\"null\")", "GetArtType(\"a\\x0Db\")", "GetArtType(\"e\\x7F\")",
        "GetArtType(\"c\\xC2\\x9B31m\")", "GetArtType(\"q\\\"x\")"}) {
    EXPECT_NE(trace.find(shown), std::string::npos) << shown;
  }
  EXPECT_EQ(trace.find("\xC2\x9B"), std::string::npos);
  for (const char c : trace) {
    const auto byte = static_cast<unsigned char>(c);
    EXPECT_TRUE(c == '\n' || (byte >= 0x20 && byte != 0x7F)) << static_cast<int>(byte);
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

// Files are put in place only together: when the second cannot be renamed,
// the first, already renamed, is put back as it was (its old bytes, or no
// file), and no temporary file or second name of the old one stays.
TEST_F(ApplyCommandTest, ACommitThatFailsPutsBackTheFilesRenamedBeforeIt) {
  struct Row {
    const char* what;
    bool firstExists;
    std::function<void(const fs::path& second)> spoil;  // after staging, before Commit
    const char* says;
  };
  const Row rows[] = {
      {"the second target became a folder; the first had a file", true,
       [](const fs::path& second) { fs::create_directory(second); }, "is no longer a regular file"},
      {"the second target became a folder; the first was new", false,
       [](const fs::path& second) { fs::create_directory(second); }, "is no longer a regular file"},
      {"the second target's folder is gone", true,
       [](const fs::path& second) { fs::remove_all(second.parent_path()); }, "cannot replace the file"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "sub");
    const fs::path first = dir_ / "first.svg", second = dir_ / "sub" / "second.png";
    if (row.firstExists) Write("first.svg", "old");
    std::string message;
    {
      morvelin::OutputFiles files;
      files.Stage(first.string(), "new first");
      files.Stage(second.string(), "new second");
      row.spoil(second);
      try {
        files.Commit();
      } catch (const morvelin::OutputError& error) {
        message = error.what();
      }
    }
    EXPECT_NE(message.find(second.string() + ": " + row.says), std::string::npos) << message;
    EXPECT_NE(message.find("the files written before it were put back"), std::string::npos) << message;
    if (row.firstExists) {
      EXPECT_EQ(Read(first), "old");
    } else {
      EXPECT_FALSE(fs::exists(first));
    }
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(dir_))
      EXPECT_EQ(entry.path().filename().string().rfind(".morvelin-", 0), std::string::npos) << entry.path();
  }
}

}  // namespace
