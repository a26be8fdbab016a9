// How the tool meets the program that runs it, which differs by platform
// (cli/platform/program_io_posix.cpp, program_io_win32.cpp): its arguments,
// and its standard output when that carries a document.
#pragma once

#include <string>
#include <vector>

namespace morvelin {

// The command line's words in UTF-8, the program's name first. On POSIX
// systems they are argv as given; on Windows main() would get them in the
// ANSI code page, which cannot spell every file name (and every path the tool
// opens is taken as UTF-8 there), so they come from the wide command line.
std::vector<std::string> ProgramArguments(int argc, char** argv);

// Makes standard output pass bytes as written: Windows' C runtime otherwise
// writes every "\n" as "\r\n" and changes a document printed there. Nothing to
// do on POSIX systems.
void UseBinaryStandardOutput();

}  // namespace morvelin
