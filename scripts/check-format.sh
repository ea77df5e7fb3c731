#!/usr/bin/env bash
# Fails when a C++ file of ours is not formatted as .clang-format says.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files -co --exclude-standard -- '*.cpp' '*.h' | grep -v '^build/')
[ "${#files[@]}" -eq 0 ] || clang-format --dry-run --Werror "${files[@]}"
