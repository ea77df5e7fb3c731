#!/bin/sh
# clang-tidy (.clang-tidy's checks, every finding an error) on the code of src/
# and tools/ as BUILD_DIR compiles it: the portable code in a native tree, the
# Windows code (*_win.cpp) with --windows in a mingw-w64 tree.
# Usage: check-tidy.sh [--windows] BUILD_DIR
# Exits 77 (ctest's skip) when a tool it needs is missing.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
windows=false
if [ "${1:-}" = --windows ]; then
  windows=true
  shift
fi
build=$(cd "$1" && pwd)
cd "$root"

skip() {
  echo "skipped: $*"
  exit 77
}
command -v clang-tidy >/dev/null || skip "no clang-tidy"
[ -f "$build/compile_commands.json" ] || skip "no $build/compile_commands.json"

if ! $windows; then
  find src tools -name '*.cpp' ! -name '*_win.cpp' | sort |
    xargs -P "$(nproc)" -n 4 clang-tidy -p "$build" --quiet 2>&1 |
    grep -v '^[0-9]* warnings\? generated\.$' |
    { if grep .; then exit 1; fi; }
  exit 0
fi

# clang parses the Windows code for the cross compiler's target with its
# headers: clang finds no libstdc++ of a gcc whose version reads "12-posix".
# Its own builtin headers stand in for gcc's (gcc's intrinsics are not clang's).
cxx=$(sed -n 's/^ *"command": "\([^ ]*\) .*_win\.cpp",*$/\1/p' \
  "$build/compile_commands.json" | head -n 1)
[ -n "$cxx" ] || skip "no Windows code in $build/compile_commands.json"
command -v "$cxx" >/dev/null || skip "no cross compiler $cxx"
target=$($cxx -dumpmachine)
# -Wno-unknown-warning-option: the compile commands hold g++-only warnings.
gcc_include=$(cd "$($cxx -print-file-name=include)" && pwd -P)
args="--extra-arg=--target=$target --extra-arg=-Wno-unknown-warning-option"
for dir in $($cxx -E -x c++ - -v </dev/null 2>&1 |
  sed -n '/^#include <\.\.\.> search starts here:$/,/^End of search list\.$/s/^ //p'); do
  case $(cd "$dir" && pwd -P) in
    "$gcc_include" | "$gcc_include-fixed") ;;
    *) args="$args --extra-arg=-isystem$dir" ;;
  esac
done

find src tools -name '*_win.cpp' | sort |
  xargs -P "$(nproc)" -n 4 clang-tidy -p "$build" --quiet $args 2>&1 |
  grep -v '^[0-9]* warnings\? generated\.$' |
  { if grep .; then exit 1; fi; }
