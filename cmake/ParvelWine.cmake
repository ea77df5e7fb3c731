# Windows binaries built here run under Wine: every test of a cross build goes
# through cmake/wine-run.sh with a private prefix inside the build folder.
set(PARVEL_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)

if(WIN32 AND CMAKE_CROSSCOMPILING)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/cmake/wine-run.sh)
  # Whether 32-bit Windows programs can run here, asked once per build tree.
  if(NOT DEFINED PARVEL_WINE32)
    execute_process(COMMAND sh ${CMAKE_SOURCE_DIR}/cmake/wine-probe.sh
      OUTPUT_VARIABLE answer OUTPUT_STRIP_TRAILING_WHITESPACE)
    set(PARVEL_WINE32 "${answer}" CACHE INTERNAL "Can 32-bit Windows programs run: yes or no: why")
  endif()
  message(STATUS "32-bit Windows programs: ${PARVEL_WINE32}")
endif()

# True where the tests of this tree can run: everywhere but a 32-bit Windows
# tree on a machine that cannot start 32-bit programs.
if(WIN32 AND CMAKE_CROSSCOMPILING AND CMAKE_SIZEOF_VOID_P EQUAL 4
   AND NOT PARVEL_WINE32 STREQUAL "yes")
  set(PARVEL_TESTS_RUN OFF)
  string(REGEX REPLACE "^no: " "" PARVEL_SKIP_REASON "${PARVEL_WINE32}")
  set(PARVEL_SKIP_REASON "skipped: this test runs 32-bit Windows code, and ${PARVEL_SKIP_REASON}")
else()
  set(PARVEL_TESTS_RUN ON)
endif()

# A resource that gives a Windows program common controls version 6, as
# Outlook has them; add it to the program's sources.
if(WIN32)
  enable_language(RC)
  set(PARVEL_COMMON_CONTROLS_V6 ${CMAKE_SOURCE_DIR}/cmake/common-controls-v6.rc)
  set_source_files_properties(${PARVEL_COMMON_CONTROLS_V6} PROPERTIES
    OBJECT_DEPENDS ${CMAKE_SOURCE_DIR}/cmake/common-controls-v6.manifest)
endif()

# ctest reports a test that exits with this code as skipped.
set(PARVEL_SKIP_CODE 77)

# parvel_skipped_test(<name> LABELS <label...>): a test that cannot run on this
# machine, reported as skipped with its reason.
function(parvel_skipped_test name)
  cmake_parse_arguments(ARG "" "" "LABELS" ${ARGN})
  add_test(NAME ${name} COMMAND sh -c "echo \"$1\"; exit ${PARVEL_SKIP_CODE}" skip
    "${PARVEL_SKIP_REASON}")
  set_tests_properties(${name} PROPERTIES LABELS "${ARG_LABELS}"
    SKIP_RETURN_CODE ${PARVEL_SKIP_CODE})
endfunction()

# parvel_add_test(<name> LABELS <label...> COMMAND <target or program> [args...])
# Registers a test that runs natively, or under Wine in a cross build once the
# prefix has been prepared by the wine.prefix fixture. Where this tree's
# programs cannot run, the test is registered as skipped.
function(parvel_add_test name)
  cmake_parse_arguments(ARG "" "" "LABELS;COMMAND" ${ARGN})
  if(NOT PARVEL_TESTS_RUN)
    parvel_skipped_test(${name} LABELS ${ARG_LABELS})
    return()
  endif()
  add_test(NAME ${name} COMMAND ${ARG_COMMAND})
  set_tests_properties(${name} PROPERTIES LABELS "${ARG_LABELS}")
  if(WIN32 AND CMAKE_CROSSCOMPILING)
    set_tests_properties(${name} PROPERTIES
      ENVIRONMENT "PARVEL_WINEPREFIX=${PARVEL_WINEPREFIX}"
      FIXTURES_REQUIRED wineprefix
      SKIP_RETURN_CODE ${PARVEL_SKIP_CODE})
  endif()
endfunction()

function(parvel_add_wine_prefix_fixture)
  if(WIN32 AND CMAKE_CROSSCOMPILING AND PARVEL_TESTS_RUN)
    add_test(NAME wine.prefix COMMAND ${CMAKE_SOURCE_DIR}/cmake/wine-run.sh --boot)
    set_tests_properties(wine.prefix PROPERTIES
      ENVIRONMENT "PARVEL_WINEPREFIX=${PARVEL_WINEPREFIX}"
      FIXTURES_SETUP wineprefix LABELS wine)
  endif()
endfunction()
