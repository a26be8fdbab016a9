// Writing an output file so that a failure leaves no partial file behind.
#pragma once

#include <functional>
#include <ostream>
#include <string>
#include <string_view>

namespace morvelin {

// Writes `bytes` to a new temporary file in the folder of `path` and renames
// it to `path`, replacing any file there (keeping that file's permissions).
// On failure the temporary file is removed, `path` is untouched, and
// OutputError names `path`.
void WriteFileAtomically(const std::string& path, std::string_view bytes);

// The same, with the bytes `write` puts out as it goes.
void WriteFileAtomically(const std::string& path, const std::function<void(std::ostream&)>& write);

}  // namespace morvelin
