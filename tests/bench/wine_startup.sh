#!/usr/bin/env bash
# Start-up of the add-in in the stand-in host under Wine: the DLL's load and
# connection, the customUI of the explorer's ribbon, and the compose window from the click on "Send SMS" (the first
# click apart from the later ones). Builds nothing: run it after building the
# windows-x64 preset (or the build folder given). Prints median and max over
# the runs, in milliseconds.
#   tests/bench/wine_startup.sh [RUNS] [BUILD_FOLDER]
set -euo pipefail
cd "$(dirname "$0")/../.."

runs=${1:-10}
build=${2:-build/windows-x64}
host=$build/tools/standin_host/parvel-standin.exe
addin=$build/src/addin/ParvelAddin.dll
for file in "$host" "$addin"; do
  [ -f "$file" ] || { echo "$file is missing: build $build first" >&2; exit 2; }
done

export PARVEL_WINEPREFIX=${PARVEL_WINEPREFIX:-$PWD/$build/wineprefix}
wine_path() { printf 'Z:%s' "$(realpath "$1")" | tr '/' '\\'; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The first start of a prefix boots Wine: not part of any run.
cmake/wine-run.sh --boot
for run in $(seq 1 "$runs"); do
  # Output goes to files: Wine's own processes may hold a pipe open.
  if ! cmake/wine-run.sh "$host" --register "$(wine_path "$addin")" \
      --addin ZintaraOutlook.OLConnector \
      --data "$(wine_path tools/standin_host/sample/addressbook.json)" \
      --outbox "$(wine_path "$work")\\outbox" \
      --scenario "$(wine_path tests/bench/wine_startup.scn)" \
      --timings "$(wine_path "$work")\\run$run.tsv" >"$work/out.txt" 2>"$work/err.txt" </dev/null; then
    echo "run $run failed:" >&2
    cat "$work/err.txt" >&2
    exit 1
  fi
done

# Each run's lines, in order: connect, then click and painted per press.
summary() {
  local title=$1 event=$2 presses=$3
  awk -F'\t' -v event="$event" -v presses="$presses" '
    FNR == 1 { press = 0 }
    $1 == "click" { ++press }
    $1 == event && (presses == "all" || (presses == "first" ? press == 1 : press > 1)) {
      print $3
    }' "$work"/run*.tsv | sort -n |
    awk -v title="$title" '
      { value[NR] = $1 }
      END {
        if (NR == 0) { printf "%-44s no figures\n", title; exit }
        median = NR % 2 ? value[(NR + 1) / 2] : (value[NR / 2] + value[NR / 2 + 1]) / 2
        printf "%-44s median %8.1f ms   max %8.1f ms   (%d)\n", title, median, value[NR], NR
      }'
}
echo "$runs runs, $(/usr/lib/wine/wine64 --version), load: $(cut -d' ' -f1-3 /proc/loadavg)"
summary "DLL load + OnConnection" connect all
summary "GetCustomUI, explorer ribbon" customui all
summary "Send SMS click, first (cold)" click first
summary "Send SMS click to painted, first (cold)" painted first
summary "Send SMS click, later (warm)" click later
summary "Send SMS click to painted, later (warm)" painted later
