# What the package tests share, sourced after they set $work and $wine_run.
# shellcheck shell=bash

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# Output goes to files, not pipes: Wine's own processes can hold a pipe open
# long after the program they came with has ended.
run() {
  "$wine_run" "$@" >"$work/out.txt" 2>"$work/err.txt" </dev/null
}

output() { tr -d '\r' <"$work/out.txt"; }

unix_path() {
  run winepath -u "$1" || fail "winepath -u $1"
  output
}
