// The morvelin program run from the shell on files: what it does with outputs
// and inputs that are not plain files: devices, pipes, links, folders,
// endless or oversized drawings, a full disk, a crashing renderer and an
// interruption.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/tool_folder_fixture.h"

namespace {
TEST_F(ToolFilesTest, EachKindOfOutputTargetIsWrittenRefusedOrWrittenInto) {
  const bool root = geteuid() == 0;
  const std::string longName = std::string(246, 'n') + ".svg";  // 250 bytes
  const std::string svg = "file:<?xml";
  struct Row {
    const char* what;
    std::function<void()> setUp;
    std::string script;
    int exitCode;
    std::string says;
    std::vector<Change> changes;
  };
  const Row rows[] = {
      {"a regular file is replaced",
       [&] { Write("out.svg", "old"); },
       "$M apply in.svg -o out.svg",
       0,
       "Wrote out.svg",
       {{"out.svg", svg}}},
      {"a missing file is made", [] {}, "$M apply in.svg -o new.svg", 0, "Wrote new.svg", {{"new.svg", svg}}},
      {"a symbolic link stays a link; its file gets the drawing",
       [&] {
         Write("keep.svg", "old");
         fs::create_symlink("keep.svg", dir_ / "link.svg");
       },
       "$M apply in.svg -o link.svg",
       0,
       "Wrote link.svg",
       {{"keep.svg", svg}}},
      {"a link to nothing makes the file it names",
       [&] { fs::create_symlink("made.svg", dir_ / "link.svg"); },
       "$M apply in.svg -o link.svg",
       0,
       "Wrote link.svg",
       {{"made.svg", svg}}},
      {"a named pipe is written into, not replaced",
       [&] { mkfifo((dir_ / "pipe").c_str(), 0644); },
       // The reader gives up after a while should the pipe never be written.
       "timeout 10 cat pipe > got.svg & $M apply in.svg -o pipe; code=$?; wait; exit $code",
       0,
       "Wrote pipe",
       {{"got.svg", svg}}},
      {"the standard output gets the drawing alone; the report goes to stderr",
       [&] { fs::create_symlink("/proc/self/fd/1", dir_ / "stdout.svg"); },
       "$M apply in.svg -o stdout.svg > got.svg",
       0,
       "Wrote stdout.svg",
       {{"got.svg", svg + " version"}}},
      {"a folder as -o is refused",
       [&] { fs::create_directory(dir_ / "folder"); },
       "$M apply in.svg -o folder",
       2,
       "folder: is a folder",
       {}},
      {"a folder as --png is refused, and the SVG is not written",
       [&] { fs::create_directory(dir_ / "folder"); },
       "$M apply in.svg -o out.svg --png folder/",
       2,
       "folder/: is a folder",
       {}},
      {"a folder as edit's -o is refused",
       [&] { fs::create_directory(dir_ / "folder"); },
       "$M edit in.svg -o folder",
       2,
       "folder: is a folder",
       {}},
      {"the same name for the SVG and the PNG is refused",
       [] {},
       "$M apply in.svg -o both.svg --png both.svg",
       2,
       "both.svg: is given twice",
       {}},
      {"the same file by another name is refused",
       [&] {
         Write("keep.svg", "old");
         fs::create_symlink("keep.svg", dir_ / "link.svg");
       },
       "$M apply in.svg -o keep.svg --png link.svg",
       2,
       "link.svg: is the same file as keep.svg",
       {}},
      {"the input as the PNG is refused",
       [] {},
       "$M apply in.svg -o out.svg --png ./in.svg",
       2,
       "./in.svg: is the input drawing",
       {}},
      {"the input as the SVG is refused",
       [] {},
       "$M edit in.svg -o in.svg",
       2,
       "in.svg: is the input drawing",
       {}},
      // The drawing is not well formed: the message about the folder shows
      // that the outputs were checked before the drawing was even read.
      {"a missing folder is found before anything runs",
       [&] { Write("broken.svg", "<svg><g></svg>"); },
       "$M apply broken.svg -o missing/out.svg",
       2,
       "missing/out.svg: the folder missing does not exist",
       {}},
      {"a socket is left alone",
       [&] { MakeSocket("socket"); },
       "$M apply in.svg -o socket",
       2,
       "socket: is a socket",
       {}},
      {"a name of 250 bytes is written",
       [] {},
       "$M apply in.svg -o " + longName,
       0,
       "Wrote " + longName,
       {{longName, svg}}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    Write("in.svg", kTwoCircles);
    row.setUp();
    const auto before = Snapshot();
    const Outcome run = Shell(row.script);
    EXPECT_EQ(run.exitCode, row.exitCode) << run.output;
    EXPECT_NE(run.output.find(row.says), std::string::npos) << run.output;
    ExpectOnly(before, Snapshot(), row.changes);
  }
  // A device is written into: as root, a sink with /dev/null's numbers made
  // here stays that device.
  if (root) {
    SCOPED_TRACE("a character device");
    ASSERT_TRUE(MakeDevice("sink", 3));
    const auto before = Snapshot();
    const Outcome run = Shell("$M apply in.svg -o sink --png sink.png");
    EXPECT_EQ(run.exitCode, 0) << run.output;
    ExpectOnly(before, Snapshot(), {{"sink.png", "file:\x89PNG"}});
  }
}

TEST_F(ToolFilesTest, InputsBeyondTheLimitsAreRefusedAndOddOnesRead) {
  // One megabyte of spaces, compressed once: members of it, one after
  // another, make a small file that unpacks to as much as wanted.
  ASSERT_EQ(Shell("head -c 1048576 /dev/zero | tr '\\0' ' ' | gzip -1 > spaces.gz").exitCode, 0);
  const std::string members =
      "{ printf \"<svg xmlns='http://www.w3.org/2000/svg'><!--\" | gzip; for i in $(seq %d); do cat "
      "spaces.gz; "
      "done; printf -- '--></svg>' | gzip; } > %s";
  auto manyMembers = [&](int count, const char* name) {
    char script[512];
    std::snprintf(script, sizeof script, members.c_str(), count, name);
    ASSERT_EQ(Shell(script).exitCode, 0);
  };
  struct Row {
    const char* what;
    std::function<void()> setUp;
    std::string script;
    int exitCode;
    std::string says;
    bool writes;  // out.svg is made
  };
  const Row rows[] = {
      {"a plain file over the limit", [&] { Write("big.svg", std::string(2000, ' ') + kTwoCircles); },
       "$M apply big.svg -o out.svg --max-input-size 1K", 2,
       "big.svg: is larger than 1 KiB, the limit on a drawing's size (--max-input-size sets it)", false},
      {"a file over the default limit of 256 MiB, refused by its size",
       [&] {
         Write("huge.svg", "");
         fs::resize_file(dir_ / "huge.svg", (std::uintmax_t{256} << 20) + 1);
       },
       "$M apply huge.svg -o out.svg", 2, "huge.svg: is larger than 256 MiB", false},
      {"a compressed drawing that unpacks to more than the limit", [&] { manyMembers(3, "bomb.svgz"); },
       "$M apply bomb.svgz -o out.svg --max-input-size 2M", 2,
       "bomb.svgz: unpacks to more than 2 MiB, the limit on a drawing's size", false},
      {"a drawing split into gzip members", [] {},
       "printf \"<svg xmlns='http://www.w3.org/2000/svg'><circle cx='0' cy='0' r='10'/>\" | gzip > "
       "split.svgz && "
       "printf \"<circle cx='30' cy='0' r='10'/></svg>\" | gzip >> split.svgz && head -c 64 /dev/zero >> "
       "split.svgz && $M apply split.svgz -o out.svg",
       0, "United 3 objects", true},
      {"bytes after the compressed drawing", [] {},
       "{ printf \"<svg xmlns='http://www.w3.org/2000/svg'/>\" | gzip; echo junk; } > junk.svgz && "
       "$M apply junk.svgz -o out.svg",
       2, "junk.svgz: the compressed drawing is followed by bytes that are not gzip data", false},
      {"an input that never ends stops at the limit", [&] { mkfifo((dir_ / "endless").c_str(), 0644); },
       "{ cat /dev/zero > endless 2>/dev/null & } && $M apply endless -o out.svg --max-input-size 4M", 2,
       "endless: is larger than 4 MiB", false},
      {"a viscosity beyond the float range says so", [] {}, "$M apply in.svg -o out.svg --viscosity 1e39", 2,
       "--viscosity: \"1e39\" is beyond the 32-bit float range (largest 3.4028235e+38)", false},
      {"a stored rate too close to zero says so", [] {}, "$M edit in.svg -o out.svg --stored 1e-50", 2,
       "--stored: \"1e-50\" is too close to zero for a 32-bit float", false},
      {"a limit that is not a size", [] {}, "$M apply in.svg -o out.svg --max-input-size 12X", 2,
       "--max-input-size: \"12X\" is not a size", false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    row.setUp();
    const Outcome run = Shell(row.script);
    EXPECT_EQ(run.exitCode, row.exitCode) << run.output;
    EXPECT_NE(run.output.find(row.says), std::string::npos) << run.output;
    EXPECT_EQ(fs::exists(dir_ / "out.svg"), row.writes);
    fs::remove(dir_ / "out.svg");
  }
}

// A drawing that crashes the PNG renderer is an output that cannot be written: exit 2, a
// message, no file written or left behind, the old output kept.
TEST_F(ToolFilesTest, ADrawingThatCrashesThePngRendererWritesNothing) {
  Write("chain.svg", UseChainDrawing());
  Write("keep.svg", "old");
  const auto before = Snapshot();
  const Outcome run = Shell("$M apply chain.svg -o keep.svg --png keep.png");
  EXPECT_EQ(run.exitCode, 2) << run.output;
  EXPECT_NE(run.output.find("keep.png: cannot draw keep.svg: librsvg failed on it"), std::string::npos)
      << run.output;
  ExpectOnly(before, Snapshot(), {});
}

// Running out of memory is a message and exit code 1, not an abort: a
// compressed drawing of 200 MB of comment, within the size limit, read with
// 64 MiB of data memory.
TEST_F(ToolFilesTest, RunningOutOfMemoryIsAMessage) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "AddressSanitizer needs more address space than the limit leaves";
#endif
  ASSERT_EQ(
      Shell("head -c 1048576 /dev/zero | tr '\\0' ' ' | gzip -1 > spaces.gz && { printf \"<svg "
            "xmlns='http://www.w3.org/2000/svg'><!--\" | gzip; for i in $(seq 200); do cat spaces.gz; done; "
            "printf -- '--></svg>' | gzip; } > memory.svgz")
          .exitCode,
      0);
  const Outcome run = Shell("ulimit -d 65536 && $M apply memory.svgz -o out.svg");
  EXPECT_EQ(run.exitCode, 1) << run.output;
  EXPECT_EQ(run.output, "morvelin: out of memory\n");
  EXPECT_FALSE(fs::exists(dir_ / "out.svg"));
}

// SIGTERM or SIGINT while the output waits (here: a named pipe nobody
// reads) removes the staged file, and the run ends by that signal.
TEST_F(ToolFilesTest, AnInterruptedRunLeavesNoTemporaryFile) {
  ASSERT_EQ(mkfifo((dir_ / "pipe").c_str(), 0644), 0);
  const fs::path staging = dir_ / "staging";
  for (const int which : {SIGTERM, SIGINT}) {
    SCOPED_TRACE(strsignal(which));
    fs::create_directories(staging);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      // A run started in the background may have inherited SIGINT ignored.
      signal(SIGINT, SIG_DFL);
      signal(SIGTERM, SIG_DFL);
      setenv("TMPDIR", staging.c_str(), 1);
      const std::string input = (dir_ / "in.svg").string(), output = (dir_ / "pipe").string();
      if (freopen((dir_ / "report.txt").c_str(), "w", stdout) == nullptr) _exit(126);
      execl(MORVELIN_TOOL, MORVELIN_TOOL, "apply", input.c_str(), "-o", output.c_str(), nullptr);
      _exit(127);
    }
    // Until the drawing is staged and the run waits for a reader.
    for (int wait = 0; wait < 500 && fs::is_empty(staging); ++wait)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_FALSE(fs::is_empty(staging));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    kill(child, which);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == which) << status;
    EXPECT_TRUE(fs::is_empty(staging));
    EXPECT_TRUE(fs::is_fifo(dir_ / "pipe"));
    fs::remove_all(staging);
  }
}

}  // namespace
