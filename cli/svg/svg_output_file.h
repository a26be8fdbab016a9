// Writing output files so that a failure leaves no partial file behind, and
// a set of files that are written together or not at all.
#pragma once

#include <functional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace morvelin {

// Where writing an output path leads, found before anything is written.
struct OutputTarget {
  enum class Kind {
    kNewFile,         // nothing there yet: a new file is made in the folder
    kFile,            // a regular file: replaced by renaming a complete new file over it
    kStream,          // a character device or a named pipe: written straight into, never replaced
    kStandardOutput,  // the tool's own standard output, whatever it is: written straight into it
  };
  Kind kind = Kind::kNewFile;
  // The path after symbolic links: the file that is replaced or made (a
  // link given as the output stays a link to it), or the device or pipe.
  std::string destination;
  // Tells targets apart: the device and inode (on Windows the volume and
  // file index) of what is there, or the absolute path of a new file.
  std::string identity;
};

// What writing `path` does; "-" is the standard output. Throws OutputError naming `path` for an empty
// name, a folder (given as the file), a missing folder or one that cannot be
// written into, and anything that is neither a regular file, a character
// device nor a named pipe (a block device, a socket).
OutputTarget InspectOutputTarget(const std::string& path);

// The identity (see OutputTarget) of the file at `path`, links followed, or
// empty when there is none.
std::string ExistingFileIdentity(const std::string& path);
// The identity of the file the standard input reads, or empty when it reads
// no file (a pipe, a terminal).
std::string StandardInputIdentity();

// The check every command makes before it runs the effect: each of `paths`
// as InspectOutputTarget, no two of them the same file, and none the drawing
// read from `input` (when not empty; "-" is the standard input). Returns the targets in order; throws
// OutputError naming the path at fault.
std::vector<OutputTarget> CheckOutputTargets(const std::vector<std::string>& paths, const std::string& input);

// Files written as one. Stage writes each in full to a new temporary file
// (beside a file target, under a short name so that any legal file name can
// be written; in the temporary folder for a device or pipe); Commit then
// puts every one in place. Until Commit, and whenever staging fails, no
// target is touched; the destructor removes every temporary file that was not
// renamed, and so does SIGINT, SIGTERM, SIGHUP or SIGPIPE arriving meanwhile
// (the process then ends by that signal as it would have).
class OutputFiles {
 public:
  OutputFiles() = default;
  ~OutputFiles();
  OutputFiles(const OutputFiles&) = delete;
  OutputFiles& operator=(const OutputFiles&) = delete;

  // Writes the bytes `write` puts out as it goes (or `bytes`) to a temporary
  // file for `path` (see InspectOutputTarget) and returns that file's path,
  // which stays valid until Commit or destruction (a later step may read it,
  // e.g. to draw it). Throws OutputError naming `path` when the target is
  // refused or the temporary file cannot be created or written; an exception
  // from `write` passes through, and no temporary file is left for it.
  std::string Stage(const std::string& path, const std::function<void(std::ostream&)>& write);
  std::string Stage(const std::string& path, std::string_view bytes);
  // Puts the staged files in place. Devices and pipes are written first, as
  // what went into one cannot be taken back; then every file is renamed over
  // its target (keeping the old file's permissions and, where the process may
  // set them, its owner). When a write or a rename fails, the files renamed
  // before it are put back as they were (the old file is kept under a second
  // name until all renames are done) and OutputError names the target.
  void Commit();

 private:
  struct Staged {
    std::string path;  // as given, for messages
    OutputTarget target;
    std::string temporary;
    int slot = -1;  // the temporary file's entry in the table signals clear
  };
  void WriteStraight(const Staged& file);
  void RenameFiles();
  // Lets go of a staged file: its entry in the table signals clear, and its
  // temporary file if it still has one (the platform's own calls).
  static void Unstage(const Staged& file);
  std::vector<Staged> staged_;
};

// One file through OutputFiles: written to a temporary file and renamed to
// `path`. On failure `path` is untouched and OutputError names it.
void WriteFileAtomically(const std::string& path, std::string_view bytes);
void WriteFileAtomically(const std::string& path, const std::function<void(std::ostream&)>& write);

}  // namespace morvelin
