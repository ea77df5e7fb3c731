# Compiler warnings shared by every target of ours (not by third-party code).
add_library(parvel_warnings INTERFACE)
target_compile_options(parvel_warnings INTERFACE
  -Wall -Wextra -Werror
  "$<$<COMPILE_LANGUAGE:CXX>:-Wpedantic;-Wshadow;-Wconversion;-Wsign-conversion>"
  "$<$<COMPILE_LANGUAGE:CXX>:-Wold-style-cast;-Woverloaded-virtual;-Wimplicit-fallthrough>"
  # COM interfaces have no virtual destructor by design; the check stays for
  # the portable code, which the native build compiles.
  $<$<AND:$<COMPILE_LANGUAGE:CXX>,$<NOT:$<BOOL:${WIN32}>>>:-Wnon-virtual-dtor>
  # Designated initializers that leave members to their defaults are intended.
  -Wno-missing-field-initializers)

if(WIN32)
  # Everything the add-in and its tools need from the compiler's runtime is
  # linked in, so the binaries depend on Windows system DLLs only.
  add_link_options(-static -static-libgcc -static-libstdc++)
  add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX
                          _WIN32_WINNT=0x0601)
endif()

# nlohmann-json is header-only; expose just its folder so that a cross build
# does not see the host's /usr/include.
find_path(PARVEL_NLOHMANN_DIR nlohmann/json.hpp
  PATHS /usr/include /usr/local/include NO_CMAKE_FIND_ROOT_PATH REQUIRED)
set(_parvel_json_root ${CMAKE_BINARY_DIR}/third_party/json)
file(MAKE_DIRECTORY ${_parvel_json_root})
file(CREATE_LINK ${PARVEL_NLOHMANN_DIR}/nlohmann ${_parvel_json_root}/nlohmann SYMBOLIC)
add_library(parvel_json INTERFACE)
target_include_directories(parvel_json SYSTEM INTERFACE ${_parvel_json_root})

if(PARVEL_BUILD_FUZZERS)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "PARVEL_BUILD_FUZZERS needs clang, which brings libFuzzer")
  endif()
  # Coverage counters in every library, so that the fuzzers see which paths an
  # input opens; libFuzzer itself is linked into the fuzzers only.
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()
