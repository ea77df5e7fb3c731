# Windows binaries built here run under Wine: every test of a cross build goes
# through cmake/wine-run.sh with a private prefix inside the build folder.
set(PARVEL_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)

if(WIN32 AND CMAKE_CROSSCOMPILING)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/cmake/wine-run.sh)
endif()

# parvel_add_test(<name> LABELS <label...> COMMAND <target or program> [args...])
# Registers a test that runs natively, or under Wine in a cross build once the
# prefix has been prepared by the wine.prefix fixture.
function(parvel_add_test name)
  cmake_parse_arguments(ARG "" "" "LABELS;COMMAND" ${ARGN})
  add_test(NAME ${name} COMMAND ${ARG_COMMAND})
  set_tests_properties(${name} PROPERTIES LABELS "${ARG_LABELS}")
  if(WIN32 AND CMAKE_CROSSCOMPILING)
    set_tests_properties(${name} PROPERTIES
      ENVIRONMENT "PARVEL_WINEPREFIX=${PARVEL_WINEPREFIX}"
      FIXTURES_REQUIRED wineprefix)
  endif()
endfunction()

function(parvel_add_wine_prefix_fixture)
  if(WIN32 AND CMAKE_CROSSCOMPILING)
    add_test(NAME wine.prefix COMMAND ${CMAKE_SOURCE_DIR}/cmake/wine-run.sh --boot)
    set_tests_properties(wine.prefix PROPERTIES
      ENVIRONMENT "PARVEL_WINEPREFIX=${PARVEL_WINEPREFIX}"
      FIXTURES_SETUP wineprefix LABELS wine)
  endif()
endfunction()
