// The files a commit has renamed into place so far, and how to take that
// back when a later rename fails, for every platform's OutputFiles. `Path` is
// the platform's path string; `Ops` gives
//   bool Rename(const Path& from, const Path& to)   (replacing `to`)
//   bool Remove(const Path& path)
// each true on success.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace morvelin {

template <typename Path, typename Ops>
class RenamedFiles {
 public:
  struct Entry {
    Path destination;
    Path backup;    // the old file's second name, or empty: there was none, or no link
    bool replaced;  // an old file was there
  };

  explicit RenamedFiles(Ops ops) : ops_(std::move(ops)) {}
  // Once every rename is done (or undone), the old files' second names go.
  ~RenamedFiles() {
    for (const Entry& done : entries_) {
      if (!done.backup.empty()) ops_.Remove(done.backup);
    }
  }
  RenamedFiles(const RenamedFiles&) = delete;
  RenamedFiles& operator=(const RenamedFiles&) = delete;

  void Add(Entry done) { entries_.push_back(std::move(done)); }

  // The problem of the file whose rename failed (`refused`: something not a
  // regular file took its place; otherwise `reason`), after putting back
  // the files renamed before it, newest first: an old file from its second
  // name, a new one removed.
  std::string Fail(bool refused, const std::string& reason) {
    bool restored = true;
    for (auto it = entries_.rbegin(); it != entries_.rend(); ++it) {
      if (!it->backup.empty()) {
        restored = ops_.Rename(it->backup, it->destination) && restored;
        it->backup = Path();  // it is the file again
      } else if (!it->replaced) {
        restored = ops_.Remove(it->destination) && restored;
      } else {
        restored = false;
      }
    }
    std::string problem =
        refused ? "is no longer a regular file; it is left alone" : "cannot replace the file: " + reason;
    if (!entries_.empty())
      problem += restored ? "; the files written before it were put back"
                          : "; not every file written before it could be put back";
    return problem;
  }

 private:
  Ops ops_;
  std::vector<Entry> entries_;
};

}  // namespace morvelin
