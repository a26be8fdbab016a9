// "-" in place of a file name: the drawing read from the standard input, an
// output written to the standard output. A file of that name is reached as
// "./-".
#pragma once

#include <string>

namespace morvelin {

inline bool IsStandardStream(const std::string& path) { return path == "-"; }

// How messages and reports name what `path` stands for: "<stdin>" for an
// input of "-", "<stdout>" for an output of "-", `path` otherwise.
inline std::string InputName(const std::string& path) { return IsStandardStream(path) ? "<stdin>" : path; }
inline std::string OutputName(const std::string& path) { return IsStandardStream(path) ? "<stdout>" : path; }

}  // namespace morvelin
