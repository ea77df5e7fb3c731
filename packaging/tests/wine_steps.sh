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

windows_path() {
  run winepath -w "$1" || fail "winepath -w $1"
  output
}

# run_batch FOLDER LINE...: runs the lines as a batch file of cmd, in FOLDER
# (a Unix path), as an administrator types them into one; its exit code is the
# last command's.
run_batch() {
  local folder=$1
  shift
  printf '%s\r\n' "@echo off" "$@" "exit /b %ERRORLEVEL%" >"$work/steps.bat"
  local batch
  batch=$(windows_path "$work/steps.bat")
  (cd "$folder" && run cmd /c "$batch")
}
