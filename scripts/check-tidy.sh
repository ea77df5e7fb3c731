#!/bin/sh
# clang-tidy (.clang-tidy's checks, every finding an error) on the portable
# code of src/ and tools/, as the native build compiles it.
# Usage: check-tidy.sh BUILD_DIR
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=$1
cd "$root"
find src tools -name '*.cpp' ! -name '*_win.cpp' | sort |
  xargs -P "$(nproc)" -n 4 clang-tidy -p "$build" --quiet 2>&1 |
  grep -v '^[0-9]* warnings\? generated\.$' |
  { if grep .; then exit 1; fi; }
