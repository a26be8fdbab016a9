// The morvelin program run from the shell with "-" for its drawing or an
// output: the standard input read as a file is, the standard output carrying
// the output alone, and a standard output that is full or has no reader.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "tests/support/tool_folder_fixture.h"

namespace {

TEST_F(ToolFilesTest, AFailedWriteToTheStandardOutputExitsWithTwoAndWritesNoFile) {
  if (geteuid() != 0 || !MakeDevice("full", 7)) GTEST_SKIP() << "needs root to make a device like /dev/full";
  const struct {
    const char* script;
    const char* says;
  } rows[] = {
      {"$M bridge 0 0 10 30 0 10 > full", "morvelin bridge: cannot write to standard output"},
      {"$M edit in.svg -o out.svg > full", "morvelin edit: cannot write the table to standard output"},
      {"$M apply in.svg -o out.svg > full", "morvelin apply: cannot write the report to standard output"},
      {"$M apply in.svg -o full", "full: cannot write: No space left on device"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.script);
    const auto before = Snapshot();
    const Outcome run = Shell(row.script);
    EXPECT_EQ(run.exitCode, 2) << run.output;
    EXPECT_NE(run.output.find(row.says), std::string::npos) << run.output;
    ExpectOnly(before, Snapshot(), {});
  }
}

// "-" as the drawing reads the standard input, "-" as an output writes the
// standard output, which then carries that output alone: the summary goes to
// stderr, and a run that fails writes nothing there. `cmp` compares with
// what the same run writes to files; exit code 99 is bytes on the standard
// output of a failed run.
TEST_F(ToolFilesTest, StandardInputAndOutputCarryTheDrawingAndNothingElse) {
  Write("broken.svg", "<svg><g></svg>");
  Write("chain.svg", UseChainDrawing());
  ASSERT_EQ(Shell("$M apply in.svg -o file.svg --png file.png").exitCode, 0);
  const std::string failed = "; c=$?; [ -s got ] && exit 99; exit $c";
  const struct {
    const char* what;
    std::string script;
    int exitCode;
    std::string says;
    bool exactly;  // the output is `says` and nothing more
  } rows[] = {
      {"stdin to stdout gives the bytes of file to file",
       "$M apply - -o - < in.svg > got && cmp got file.svg", 0,
       "United 3 objects (circles and bridges) in <stdin>.\nWrote <stdout>.\n", true},
      {"a compressed drawing through a pipe", "gzip -c in.svg | $M apply - -o - --quiet | cmp - file.svg", 0,
       "", true},
      {"the PNG on stdout",
       "$M apply in.svg -o out.svg --png - > got && cmp got file.png && cmp out.svg file.svg", 0,
       "Wrote out.svg and <stdout>.", false},
      {"edit reads stdin and writes stdout; its table goes to stderr",
       "$M edit - --actions ok -o - < in.svg > got && cmp got file.svg", 0, "result: 0 (OK)", false},
      {"inkscape reads stdin",
       "$M inkscape --viscosity=50 in.svg > want && $M inkscape --viscosity=50 - < in.svg | cmp - want", 0,
       "", true},
      {"--quiet prints nothing on success",
       "$M apply in.svg -o out.svg --quiet && $M apply -q -o out.svg && $M edit in.svg -o out.svg --quiet", 0,
       "", true},
      {"a drawing that is not well formed writes nothing to stdout",
       "$M apply - -o - < broken.svg > got" + failed, 2,
       "morvelin apply: <stdin>:1:11: Start-end tags mismatch\n", true},
      {"a PNG that cannot be drawn writes no SVG to stdout",
       "$M apply chain.svg -o - --png out.png > got" + failed, 2,
       "out.png: cannot draw <stdout>: librsvg failed on it", false},
      {"the SVG and the PNG both on stdout are refused", "$M apply in.svg -o - --png - > got" + failed, 2,
       "--png -: the SVG already goes to standard output (-o -); write the PNG to a file", false},
      {"edit refuses them too", "$M edit in.svg -o - --png - > got" + failed, 2,
       "--png -: the SVG already goes to standard output", false},
      {"stdin that is the output file is refused", "$M apply - -o in.svg < in.svg", 2,
       "in.svg: is the input drawing", false},
      {"stdin is read up to the limit",
       "head -c 3000000 /dev/zero | $M apply - -o out.svg --max-input-size 1M", 2,
       "<stdin>: is larger than 1 MiB", false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    const Outcome run = Shell(row.script);
    EXPECT_EQ(run.exitCode, row.exitCode) << run.output;
    if (row.exactly) {
      EXPECT_EQ(run.output, row.says);
    } else {
      EXPECT_NE(run.output.find(row.says), std::string::npos) << run.output;
    }
  }
}

// A reader that goes away before the tool writes (`| head -c 0`) fails the
// write with EPIPE: a message and exit code 2, never a silent end by
// SIGPIPE, and no file written. The pipe's far end is closed before the tool
// starts, so every write to stdout fails.
TEST_F(ToolFilesTest, AStandardOutputWithoutReaderIsAWriteError) {
  const struct {
    std::vector<std::string> arguments;
    int exitCode;
    const char* says;
  } rows[] = {
      {{"apply", "in.svg", "-o", "-"}, 2, "morvelin apply: <stdout>: cannot write: Broken pipe"},
      {{"apply", "in.svg", "-o", "out.svg", "--png", "-"}, 2, "<stdout>: cannot write: Broken pipe"},
      {{"apply", "in.svg", "-o", "out.svg"},
       2,
       "cannot write the report to standard output; no file was written"},
      {{"edit", "in.svg", "-o", "out.svg"},
       2,
       "cannot write the table to standard output; no file was written"},
      {{"bridge", "0", "0", "10", "30", "0", "10"}, 2, "morvelin bridge: cannot write to standard output"},
      {{"inkscape", "in.svg"}, 1, "Morvelin: could not write the result"},
  };
  for (const auto& row : rows) {
    std::string line;
    for (const std::string& argument : row.arguments) line += argument + " ";
    SCOPED_TRACE(line);
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    close(ends[0]);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      // As a shell starts it: SIGPIPE at its default, whatever this test has.
      signal(SIGPIPE, SIG_DFL);
      if (chdir(dir_.c_str()) != 0 || dup2(ends[1], STDOUT_FILENO) < 0 ||
          freopen("errors.txt", "w", stderr) == nullptr)
        _exit(126);
      std::vector<char*> argv = {const_cast<char*>(MORVELIN_TOOL)};
      for (const std::string& argument : row.arguments) argv.push_back(const_cast<char*>(argument.c_str()));
      argv.push_back(nullptr);
      execv(MORVELIN_TOOL, argv.data());
      _exit(127);
    }
    close(ends[1]);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status)) << "ended by signal " << (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
    EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, row.exitCode);
    std::ifstream errors(dir_ / "errors.txt");
    const std::string said((std::istreambuf_iterator<char>(errors)), std::istreambuf_iterator<char>());
    EXPECT_NE(said.find(row.says), std::string::npos) << said;
    EXPECT_FALSE(fs::exists(dir_ / "out.svg"));
  }
}

}  // namespace
