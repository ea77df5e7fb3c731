# The size docs/performance.md gives for the add-in DLL of this bitness (the
# row "| `ParvelAddin.dll` x64 | 1,483,795 bytes | ...") is this build's,
# within 5 %: when the DLL grows or shrinks by more, measure again and write
# the new figures there.
# Arguments: DOC, DLL, ARCH (x64 or x86).
file(STRINGS ${DOC} rows REGEX "^\\| `ParvelAddin.dll` ${ARCH} \\|")
list(LENGTH rows count)
if(NOT count EQUAL 1)
  message(FATAL_ERROR "${DOC} has no row for the ${ARCH} DLL's size")
endif()
if(NOT rows MATCHES "^\\| `ParvelAddin.dll` ${ARCH} \\| ([0-9,]+) bytes")
  message(FATAL_ERROR "${DOC}: the ${ARCH} row gives no size in bytes: ${rows}")
endif()
string(REPLACE "," "" documented ${CMAKE_MATCH_1})
file(SIZE ${DLL} size)
math(EXPR difference "${size} - ${documented}")
if(difference LESS 0)
  math(EXPR difference "0 - ${difference}")
endif()
math(EXPR allowed "${documented} / 20")
if(difference GREATER allowed)
  message(FATAL_ERROR "${DOC} gives ${documented} bytes for the ${ARCH} DLL, the build's is "
                      "${size} bytes: measure again (the commands are in that file) and update it")
endif()
message(STATUS "${ARCH} DLL: ${size} bytes, documented ${documented}")
