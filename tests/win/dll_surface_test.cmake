# ParvelAddin.dll depends on Windows system DLLs only and exports exactly the
# four entry points of an in-process server.
# Arguments: OBJDUMP, DLL.
cmake_minimum_required(VERSION 3.25)
execute_process(COMMAND ${OBJDUMP} -p ${DLL} OUTPUT_VARIABLE dump RESULT_VARIABLE code)
if(NOT code EQUAL 0)
  message(FATAL_ERROR "objdump failed on ${DLL}")
endif()
set(system ADVAPI32.DLL COMCTL32.DLL GDI32.DLL KERNEL32.DLL MSVCRT.DLL OLE32.DLL OLEAUT32.DLL
           USER32.DLL)
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
