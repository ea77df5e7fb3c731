#!/usr/bin/env bash
# The contacts picker against large address books in the stand-in host under
# Wine, with the host calls costing what Outlook's cost: a contact folder of
# N items opened in the picker, and the Global Address List of N entries
# listed, each read item by item (--no-tables: the walk of a host without
# tables) and as tables, in the same run of this script. Builds nothing: run
# it after building the windows-x64 preset (parvel-standin, ParvelAddin) and
# the native parvel-standin-gal.
#   tests/bench/picker_costs.sh [SIZES] [PRESETS] [SOURCES] [WAYS]
# SIZES "1000 10000 100000", PRESETS "free cached online", SOURCES
# "folder gal", WAYS "walk table" by default. Prints one line a run:
# the milliseconds to the first rows and to all rows, the host calls of the
# listing and those per entry.
set -euo pipefail
cd "$(dirname "$0")/../.."

sizes=${1:-1000 10000 100000}
presets=${2:-free cached online}
sources=${3:-folder gal}
ways=${4:-walk table}
build=${PARVEL_BUILD:-build/windows-x64}
host=$build/tools/standin_host/parvel-standin.exe
addin=$build/src/addin/ParvelAddin.dll
generator=${PARVEL_GAL_GENERATOR:-build/native/tools/standin_host/parvel-standin-gal}
for file in "$host" "$addin" "$generator"; do
  [ -f "$file" ] || { echo "$file is missing: build it first" >&2; exit 2; }
done

export PARVEL_WINEPREFIX=${PARVEL_WINEPREFIX:-$PWD/$build/wineprefix}
wine_path() { printf 'Z:%s' "$(realpath "$1")" | tr '/' '\\'; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The rows the picker shows for the generated books (gal_generator.cpp): the
# lists, and the users or contacts with a mobile number.
gal_rows() {
  awk -v n="$1" 'BEGIN { for (i = 1; i <= n; ++i)
    if (i % 20 == 0 || (i % 25 != 0 && i % 15 != 0 && i % 10 != 0)) ++rows; print rows + 0 }'
}
folder_rows() {
  awk -v n="$1" 'BEGIN { for (i = 1; i <= n; ++i)
    if (i % 20 == 0 || (i % 15 != 0 && i % 10 != 0)) ++rows; print rows + 0 }'
}

cmake/wine-run.sh --boot
echo "$(/usr/lib/wine/wine64 --version), load: $(cut -d' ' -f1-3 /proc/loadavg)"
printf '%-7s %-7s %-6s %7s %12s %12s %12s %10s\n' \
  source preset way entries "first ms" "all ms" "host calls" "per entry"
for size in $sizes; do
  for source in $sources; do
    if [ "$source" = gal ]; then
      "$generator" "$size" 0 >"$work/book.json"
      rows=$(gal_rows "$size")
      scenario=tests/bench/picker_gal.scn
    else
      "$generator" 0 "$size" >"$work/book.json"
      rows=$(folder_rows "$size")
      scenario=tests/bench/picker_folder.scn
    fi
    sed "s/ROWS/$rows/" "$scenario" >"$work/run.scn"
    for preset in $presets; do
      for way in $ways; do
        args=()
        [ "$preset" = free ] || args+=(--call-cost "$preset")
        [ "$way" = table ] || args+=(--no-tables)
        if ! cmake/wine-run.sh "$host" --register "$(wine_path "$addin")" \
            --addin ZintaraOutlook.OLConnector \
            --data "$(wine_path "$work/book.json")" \
            --outbox "$(wine_path "$work")\\outbox" \
            --scenario "$(wine_path "$work/run.scn")" --timeout 900 "${args[@]}" \
            --timings "$(wine_path "$work")\\timings.tsv" \
            >"$work/out.txt" 2>"$work/err.txt" </dev/null; then
          echo "$source $preset $way $size failed:" >&2
          cat "$work/err.txt" >&2
          continue
        fi
        awk -F'\t' -v source="$source" -v preset="$preset" -v way="$way" -v n="$size" '
          $1 == "timer" && $2 == "first-rows" { first = $3 }
          $1 == "timer" && $2 == "all-rows" { rest = $3 }
          $1 == "timer-calls" && ($2 == "first-rows" || $2 == "all-rows") { calls += $3 }
          END {
            printf "%-7s %-7s %-6s %7d %12.1f %12.1f %12d %10.3f\n",
              source, preset, way, n, first, first + rest, calls, calls / n
          }' "$work/timings.tsv"
      done
    done
  done
done
