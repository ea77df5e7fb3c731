#!/usr/bin/env bash
# The README's main job on a brand-new Wine prefix, as a new machine or a new
# user meets it, whatever else ran in this tree: a prefix of its own, made
# here and removed at the end, with a display of its own (started here and
# ended at the end, so that the next run starts without one too).
#
#   fresh_prefix_test.sh SOURCE_FOLDER BUILD_FOLDER WORK_FOLDER
#
# 1. scripts/run/standin.sh (what scripts/run.sh runs once it has built)
#    without a display: the first press shows the "Initialisation" message of
#    a new prefix, the scenario answers it and takes its picture; nothing on
#    the error output (no "cannot open /tmp/.X...-lock" of a first run either);
#    the windows have Wine's own fonts, as on Windows.
# 2. The same again on the prefix now used.
# 3. tests/bench/wine_startup.sh, once.
# 4. The example at the top of tools/standin_host/README.md, as written.
set -euo pipefail

source=$(realpath "$1") build=$(realpath "$2") work=$3
mkdir -p "$work"
work=$(realpath "$work")
prefix=$work/wineprefix
export PARVEL_WINEPREFIX=$prefix
unset DISPLAY
# The display cmake/wine-run.sh gives this prefix.
number=$((100 + $(printf '%s' "$prefix" | cksum | cut -d' ' -f1) % 800))

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# Ends the prefix's Wine server and the display that runs for it (both were
# started for this test's prefix), and removes the prefix.
finish() {
  if [ -d "$prefix" ]; then
    WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1 || true
    WINEPREFIX=$prefix wineserver -w >/dev/null 2>&1 || true
  fi
  local server
  server=$({ tr -d ' ' <"/tmp/.X$number-lock"; } 2>/dev/null || true)
  if [ -n "$server" ] && [ "$(cat "/proc/$server/comm" 2>/dev/null)" = Xvfb ] &&
    tr '\0' ' ' <"/proc/$server/cmdline" | grep -q "Xvfb :$number "; then
    kill "$server" 2>/dev/null || true
    for _ in $(seq 1 20); do
      kill -0 "$server" 2>/dev/null || break
      sleep 0.25
    done
  fi
  rm -rf "$prefix"
}
finish
trap finish EXIT

cd "$source"

# run_quietly NAME COMMAND...: runs the command with its output in files (Wine's
# own processes may hold a pipe open); fails on a non-zero exit or anything on
# the error output.
run_quietly() {
  local name=$1 code=0
  shift
  "$@" >"$work/$name.out" 2>"$work/$name.err" </dev/null || code=$?
  [ "$code" = 0 ] || fail "$name exited with $code: $(cat "$work/$name.out" "$work/$name.err")"
  [ ! -s "$work/$name.err" ] || fail "$name wrote on its error output: $(cat "$work/$name.err")"
}

for run in new used; do
  rm -rf "$work/$run"
  run_quietly "run-$run" scripts/run/standin.sh "$build" "$work/$run"
  [ -s "$work/$run/standin.png" ] || fail "no picture on the $run prefix"
  grep -q "Its picture: $work/$run/standin.png" "$work/run-$run.out" ||
    fail "the $run run did not name its picture: $(cat "$work/run-$run.out")"
done
# The windows are drawn with Wine's own fonts, as on Windows: Tahoma, and
# Marlett for the title bars' buttons (fonts-wine, linked in by wine-run.sh).
for font in tahoma.ttf marlett.ttf; do
  [ -e "$prefix/drive_c/windows/Fonts/$font" ] ||
    fail "the new prefix has no $font (is fonts-wine installed? scripts/install-deps.sh installs it)"
done

run_quietly startup tests/bench/wine_startup.sh 1 "$build"
grep -q "Send SMS click, first" "$work/startup.out" || fail "wine_startup.sh printed no figures"

# The README's example, the paths of this build put in for build/windows-x64.
awk '/^```sh$/ { inside = 1; next } inside && /^```$/ { exit } inside { print }' \
  tools/standin_host/README.md | sed "s#build/windows-x64#$build#g" >"$work/example.sh"
[ -s "$work/example.sh" ] || fail "no example in tools/standin_host/README.md"
run_quietly example bash -euo pipefail "$work/example.sh"
echo "the main job, wine_startup.sh and the host's example ran on a new prefix"
