// Writing output files so that a failure leaves no partial file behind, and
// a set of files that are written together or not at all.
#pragma once

#include <functional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace morvelin {

// Files written as one. Stage writes each in full to a new temporary file in
// the folder of its target; Commit then renames every temporary file to its
// target, replacing any file there (keeping that file's permissions). Until
// Commit, and whenever staging fails, no target is touched; the destructor
// removes every temporary file that was not renamed.
class OutputFiles {
 public:
  OutputFiles() = default;
  ~OutputFiles();
  OutputFiles(const OutputFiles&) = delete;
  OutputFiles& operator=(const OutputFiles&) = delete;

  // Writes the bytes `write` puts out as it goes (or `bytes`) to a temporary
  // file beside `path` and returns that file's path, which stays valid until
  // Commit or destruction (a later step may read it, e.g. to draw it).
  // Throws OutputError naming `path` when the temporary file cannot be
  // created or written; an exception from `write` passes through, and no
  // temporary file is left for it.
  std::string Stage(const std::string& path, const std::function<void(std::ostream&)>& write);
  std::string Stage(const std::string& path, std::string_view bytes);
  // Renames the staged files in the order they were staged. Throws
  // OutputError naming the target whose rename failed; the renames are the
  // last step, after every file was written, so only a folder changed in the
  // meantime can make one fail, and those before it stay done.
  void Commit();

 private:
  struct Staged {
    std::string target;
    std::string temporary;
  };
  std::vector<Staged> staged_;
};

// One file through OutputFiles: written to a temporary file and renamed to
// `path`. On failure `path` is untouched and OutputError names it.
void WriteFileAtomically(const std::string& path, std::string_view bytes);
void WriteFileAtomically(const std::string& path, const std::function<void(std::ostream&)>& write);

}  // namespace morvelin
