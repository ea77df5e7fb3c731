# The transliteration table of src/codec: written at build time by
# tools/transliteration, a program of the build machine (with ICU) built as a
# project of its own, so that the Windows cross builds can run it too. The
# table is C++ data; the add-in itself gains no dependency.
include(ExternalProject)

find_path(PARVEL_CLDR_TRANSFORMS Latin-ASCII.xml
  PATHS /usr/share/unicode/cldr/common/transforms
  NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH
  DOC "Unicode CLDR's transform rules (Debian package unicode-cldr-core)")
if(NOT PARVEL_CLDR_TRANSFORMS)
  message(FATAL_ERROR "Unicode CLDR's transforms are missing: install unicode-cldr-core "
                      "(scripts/install-deps.sh does)")
endif()

set(_parvel_translit_dir ${CMAKE_BINARY_DIR}/tools/transliteration)
set(PARVEL_TRANSLITERATION_TOOL ${_parvel_translit_dir}/parvel-transliteration)
ExternalProject_Add(parvel_transliteration_tool
  SOURCE_DIR ${PROJECT_SOURCE_DIR}/tools/transliteration
  BINARY_DIR ${_parvel_translit_dir}
  CMAKE_ARGS -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER=g++
  BUILD_ALWAYS ON
  BUILD_BYPRODUCTS ${PARVEL_TRANSLITERATION_TOOL}
  INSTALL_COMMAND ""
  USES_TERMINAL_BUILD OFF)

set(PARVEL_TRANSLITERATION_TABLE ${CMAKE_BINARY_DIR}/generated/codec/transliteration_table.inc)
add_custom_command(OUTPUT ${PARVEL_TRANSLITERATION_TABLE}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/generated/codec
  COMMAND ${PARVEL_TRANSLITERATION_TOOL} ${PARVEL_CLDR_TRANSFORMS} ${PARVEL_TRANSLITERATION_TABLE}
  DEPENDS parvel_transliteration_tool ${PARVEL_TRANSLITERATION_TOOL}
          ${PARVEL_CLDR_TRANSFORMS}/Latin-ASCII.xml ${PARVEL_CLDR_TRANSFORMS}/de-ASCII.xml
          ${PARVEL_CLDR_TRANSFORMS}/Greek-Latin.xml ${PARVEL_CLDR_TRANSFORMS}/Cyrillic-Latin.xml
  COMMENT "Transliteration table from Unicode CLDR's transforms"
  VERBATIM)
add_custom_target(parvel_transliteration_table DEPENDS ${PARVEL_TRANSLITERATION_TABLE})
