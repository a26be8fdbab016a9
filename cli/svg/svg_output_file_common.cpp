// The parts of output-file writing that every platform shares: the check of
// a command's targets, bytes staged through the streaming Stage, and single
// files written through OutputFiles. The platform's own file handling is in
// svg_output_file.cpp (POSIX) or svg_output_file_win32.cpp.
#include "cli/svg/standard_streams.h"
#include "cli/svg/svg_errors.h"
#include "cli/svg/svg_output_file.h"

namespace morvelin {

std::vector<OutputTarget> CheckOutputTargets(const std::vector<std::string>& paths,
                                             const std::string& input) {
  const std::string inputIdentity = input.empty()             ? std::string()
                                    : IsStandardStream(input) ? StandardInputIdentity()
                                                              : ExistingFileIdentity(input);
  std::vector<OutputTarget> targets;
  for (std::size_t i = 0; i < paths.size(); ++i) {
    const OutputTarget target = InspectOutputTarget(paths[i]);
    // Only a file is replaced; writing into a device or a pipe the drawing is
    // read from takes nothing away from it.
    if (target.kind == OutputTarget::Kind::kFile && target.identity == inputIdentity)
      throw OutputError(paths[i], "is the input drawing; write the result to another file");
    for (std::size_t j = 0; j < i; ++j) {
      if (targets[j].identity != target.identity) continue;
      throw OutputError(paths[i], (paths[i] == paths[j] ? std::string("is given twice")
                                                        : "is the same file as " + paths[j]) +
                                      "; give each output its own name");
    }
    targets.push_back(target);
  }
  return targets;
}

std::string OutputFiles::Stage(const std::string& path, std::string_view bytes) {
  return Stage(path, [bytes](std::ostream& out) {
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  });
}

void WriteFileAtomically(const std::string& path, std::string_view bytes) {
  OutputFiles files;
  files.Stage(path, bytes);
  files.Commit();
}

void WriteFileAtomically(const std::string& path, const std::function<void(std::ostream&)>& write) {
  OutputFiles files;
  files.Stage(path, write);
  files.Commit();
}

OutputFiles::~OutputFiles() {
  for (const Staged& file : staged_) Unstage(file);
}

void OutputFiles::Commit() {
  // Devices and pipes first: what went into one cannot be taken back, so
  // the files, which can, follow.
  for (const Staged& file : staged_) {
    if (file.target.kind == OutputTarget::Kind::kStream ||
        file.target.kind == OutputTarget::Kind::kStandardOutput)
      WriteStraight(file);
  }
  RenameFiles();
  for (const Staged& file : staged_) Unstage(file);
  staged_.clear();
}

}  // namespace morvelin
