// The morvelin program run from the shell on files: what it does with outputs
// and inputs that are not plain files: devices, pipes, links, folders,
// endless or oversized drawings, a full disk, a crashing renderer and an
// interruption.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

struct Outcome {
  int exitCode = -1;
  std::string output;  // stdout and stderr together
};

namespace fs = std::filesystem;

constexpr char kTwoCircles[] =
    "<svg xmlns='http://www.w3.org/2000/svg'><circle cx='0' cy='0' r='10'/><circle cx='30' cy='0' "
    "r='10'/></svg>";

// A folder of its own for each test, with the drawing `in.svg`; commands run
// in it, through the shell, with stdout and stderr read together.
class ToolFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("morvelin-tool-" + std::to_string(::getpid()) + "-" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    Write("in.svg", kTwoCircles);
  }
  void TearDown() override { fs::remove_all(dir_); }

  void Write(const std::string& name, const std::string& text) const {
    std::ofstream(dir_ / name, std::ios::binary) << text;
  }
  // Runs `script` (a shell command line, `$M` the tool) in the folder.
  Outcome Shell(const std::string& script) const {
    Outcome outcome;
    const std::string command =
        "cd '" + dir_.string() + "' && M='" + MORVELIN_TOOL + "' && { " + script + "; } 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return outcome;
    char buffer[512];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
      outcome.output.append(buffer, n);
    const int status = pclose(pipe);
    outcome.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return outcome;
  }
  // What the folder holds, name by name: a file's bytes, a link's target, a
  // node's kind (and a device's numbers), everything below a sub-folder.
  std::map<std::string, std::string> Snapshot() const {
    std::map<std::string, std::string> entries;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(dir_)) {
      const std::string name = entry.path().lexically_relative(dir_).string();
      struct stat status;
      if (lstat(entry.path().c_str(), &status) != 0) continue;
      if (S_ISLNK(status.st_mode)) {
        entries[name] = "link:" + fs::read_symlink(entry.path()).string();
      } else if (S_ISREG(status.st_mode)) {
        std::ifstream in(entry.path(), std::ios::binary);
        std::stringstream bytes;
        bytes << in.rdbuf();
        entries[name] = "file:" + bytes.str();
      } else if (S_ISDIR(status.st_mode)) {
        entries[name] = "folder";
      } else if (S_ISFIFO(status.st_mode)) {
        entries[name] = "fifo";
      } else if (S_ISCHR(status.st_mode)) {
        entries[name] =
            "device:" + std::to_string(major(status.st_rdev)) + "," + std::to_string(minor(status.st_rdev));
      } else {
        entries[name] = "other";
      }
    }
    return entries;
  }
  // As root: a character device here with the numbers of the one given
  // (1,3 a sink as /dev/null, 1,7 one that is always full as /dev/full).
  bool MakeDevice(const std::string& name, unsigned minorNumber) const {
    return mknod((dir_ / name).c_str(), S_IFCHR | 0666, makedev(1, minorNumber)) == 0;
  }
  void MakeSocket(const std::string& name) const {
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, (dir_ / name).c_str(), sizeof address.sun_path - 1);
    EXPECT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    close(fd);
  }

  fs::path dir_;
};

// A row's expectation for one entry of the folder after the run: its
// snapshot text starts with `starts` ("" : the entry must not exist).
struct Change {
  std::string name;
  std::string starts;
};

// Every entry not named in `changes` is as it was before.
void ExpectOnly(const std::map<std::string, std::string>& before,
                const std::map<std::string, std::string>& after, const std::vector<Change>& changes) {
  std::map<std::string, std::string> expectedSame = before;
  for (const Change& change : changes) {
    expectedSame.erase(change.name);
    const auto found = after.find(change.name);
    if (change.starts.empty()) {
      EXPECT_EQ(found, after.end()) << change.name << " exists";
    } else if (found == after.end()) {
      ADD_FAILURE() << change.name << " is missing";
    } else {
      EXPECT_EQ(found->second.rfind(change.starts, 0), 0u)
          << change.name << ": " << found->second.substr(0, 80);
    }
  }
  std::map<std::string, std::string> restSame = after;
  for (const Change& change : changes) restSame.erase(change.name);
  EXPECT_EQ(restSame, expectedSame);
}

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

// A drawing that crashes the PNG renderer (librsvg overflows its stack on
// a long chain of <use>); its SVG is written, its PNG cannot be.
std::string UseChainDrawing() {
  std::string chain =
      "<svg xmlns='http://www.w3.org/2000/svg' xmlns:xlink='http://www.w3.org/1999/xlink'><defs>";
  const int links = 3000;
  for (int i = 0; i < links; ++i)
    chain += "<use id='u" + std::to_string(i) + "' xlink:href='#u" + std::to_string(i + 1) + "'/>";
  chain += "<circle id='u" + std::to_string(links) +
           "' r='1'/></defs><use xlink:href='#u0'/><circle r='5'/><circle cx='7' r='5'/></svg>";
  return chain;
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
