# Writes a file's bytes as a C++ array:
#   cmake -DINPUT=FILE -DOUTPUT=FILE.cpp -DSYMBOL=NAME -P embed_bytes.cmake
# defines `const uint8_t NAME[]` and `const std::size_t NAMESize`.
file(READ ${INPUT} hex HEX)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
file(WRITE ${OUTPUT} "// Generated from ${INPUT}.\n#include <cstddef>\n#include <cstdint>\n"
  "extern const uint8_t ${SYMBOL}[] = {${bytes}};\n"
  "extern const std::size_t ${SYMBOL}Size = sizeof ${SYMBOL};\n")
