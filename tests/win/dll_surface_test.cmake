# ParvelAddin.dll, read without running it: built for the expected machine,
# depends on Windows system DLLs only, exports exactly the four entry points
# of an in-process server and carries the version resource of this version.
# Arguments: OBJDUMP, WINDRES, DLL, MACHINE (the PE machine type, 014c or
# 8664), VERSION (major.minor.patch).
cmake_minimum_required(VERSION 3.25)

# A little-endian number of SIZE bytes at OFFSET, as hexadecimal digits.
function(read_le out offset size)
  file(READ ${DLL} bytes OFFSET ${offset} LIMIT ${size} HEX)
  string(REGEX MATCHALL ".." pairs "${bytes}")
  list(REVERSE pairs)
  string(JOIN "" value ${pairs})
  set(${out} ${value} PARENT_SCOPE)
endfunction()
read_le(header 60 4)
math(EXPR header "0x${header}")
read_le(signature ${header} 4)
math(EXPR machine_offset "${header} + 4")
read_le(machine ${machine_offset} 2)
if(NOT signature STREQUAL "00004550" OR NOT machine STREQUAL MACHINE)
  message(FATAL_ERROR "ParvelAddin.dll has PE machine type '${machine}', expected ${MACHINE}")
endif()

execute_process(COMMAND ${WINDRES} -i ${DLL} -O rc OUTPUT_VARIABLE resources RESULT_VARIABLE code)
string(REPLACE "." ", " comma_version "${VERSION}")
foreach(line IN ITEMS "FILEVERSION ${comma_version}, 0" "PRODUCTVERSION ${comma_version}, 0"
                      "VALUE \"FileVersion\", \"${VERSION}\""
                      "VALUE \"ProductVersion\", \"${VERSION}\"")
  string(FIND "${resources}" "${line}" at)
  if(NOT code EQUAL 0 OR at EQUAL -1)
    message(FATAL_ERROR "ParvelAddin.dll's version resource lacks '${line}'")
  endif()
endforeach()
execute_process(COMMAND ${OBJDUMP} -p ${DLL} OUTPUT_VARIABLE dump RESULT_VARIABLE code)
if(NOT code EQUAL 0)
  message(FATAL_ERROR "objdump failed on ${DLL}")
endif()
set(system ADVAPI32.DLL COMCTL32.DLL GDI32.DLL KERNEL32.DLL MSVCRT.DLL OLE32.DLL OLEAUT32.DLL
           SHELL32.DLL USER32.DLL)
string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${dump}")
foreach(import IN LISTS imports)
  string(REPLACE "DLL Name: " "" name "${import}")
  string(STRIP "${name}" name)
  string(TOUPPER "${name}" name)
  if(NOT name IN_LIST system)
    message(FATAL_ERROR "ParvelAddin.dll imports ${name}, which is no system DLL")
  endif()
endforeach()
# The export names stand in the lines right after this heading, up to a blank line.
string(REGEX MATCH "\\[Ordinal/Name Pointer\\] Table\n([^\n]+\n)*" table "${dump}")
string(REGEX MATCHALL "\\[ *[0-9]+\\] [A-Za-z_@0-9]+" exports "${table}")
list(TRANSFORM exports REPLACE "\\[ *[0-9]+\\] " "")
set(expected DllCanUnloadNow DllGetClassObject DllRegisterServer DllUnregisterServer)
if(NOT exports STREQUAL expected)
  message(FATAL_ERROR "ParvelAddin.dll exports '${exports}', expected '${expected}'")
endif()
