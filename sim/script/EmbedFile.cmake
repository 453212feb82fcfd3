# Writes OUTPUT, a C++ source that holds the bytes of INPUT as sim::${SYMBOL}Bytes (followed by
# a NUL that ${SYMBOL}Size does not count). Run at build time with cmake -P, so that the program
# carries the file wherever it is copied to, whatever the compiler and assembler.
#   cmake -DINPUT=... -DOUTPUT=... -DSYMBOL=... -P EmbedFile.cmake
foreach(name INPUT OUTPUT SYMBOL)
  if(NOT DEFINED ${name})
    message(FATAL_ERROR "EmbedFile.cmake needs -D${name}=...")
  endif()
endforeach()

file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" digits)
math(EXPR size "${digits} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
# Sixteen bytes a line (CMake's expressions know no counted repeats).
string(REPEAT "0x[0-9a-f][0-9a-f]," 16 line)
string(REGEX REPLACE "(${line})" "\\1\n    " bytes "${bytes}")
get_filename_component(input_name "${INPUT}" NAME)

file(WRITE "${OUTPUT}.tmp"
"// Generated from ${input_name} by EmbedFile.cmake at build time: edit ${input_name}, not this.
#include <cstddef>

namespace sim {

extern const unsigned char ${SYMBOL}Bytes[];
extern const std::size_t ${SYMBOL}Size;

const unsigned char ${SYMBOL}Bytes[] = {
    ${bytes}0x00};
const std::size_t ${SYMBOL}Size = ${size};

}  // namespace sim
")
# Only a changed text touches the output, so an unchanged input recompiles nothing.
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
