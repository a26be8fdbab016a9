// Windows-1252, the platform's 8-bit code page, decoded to UTF-8.
#pragma once

#include <cstddef>
#include <string>

namespace standin {

// The UTF-8 text of `length` bytes of Windows-1252. Every byte decodes: the
// five bytes the code page leaves unassigned (0x81, 0x8D, 0x8F, 0x90, 0x9D)
// become the C1 control of the same number, as the platform's own conversion
// does, and a zero byte stays a zero byte.
std::string Windows1252ToUtf8(const char* bytes, std::size_t length);

}  // namespace standin
