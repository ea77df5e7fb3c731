#!/usr/bin/env bash
# The second half of scripts/run.sh, once everything is built: the stand-in
# Outlook host under Wine with ParvelAddin.dll registered for the current Wine
# user and the sample address book.
#
#   scripts/run/standin.sh [BUILD_FOLDER [OUTPUT_FOLDER]]
#
# BUILD_FOLDER is a windows-x64 tree (default build/windows-x64), OUTPUT_FOLDER
# where the outbox and the picture go (default build/run). The Wine prefix is
# PARVEL_WINEPREFIX, by default the build folder's own. On a display the host
# opens there for you to use; without one it runs under a private Xvfb, fills
# in the compose window as a user would (scripts/run/screenshot.scn: on a new
# prefix the first press shows the "Initialisation" message, which it
# answers) and saves standin.png in OUTPUT_FOLDER.
set -euo pipefail
cd "$(dirname "$0")/../.."

build=${1:-build/windows-x64}
out=${2:-build/run}
host=$build/tools/standin_host/parvel-standin.exe
addin=$build/src/addin/ParvelAddin.dll
for file in "$host" "$addin"; do
  [ -f "$file" ] || { echo "$file is missing: build $build first (scripts/run.sh does)" >&2; exit 2; }
done
root=$PWD
host=$(realpath "$host")
addin=$(realpath "$addin")
mkdir -p "$out"
out=$(realpath "$out")
export PARVEL_WINEPREFIX=${PARVEL_WINEPREFIX:-$(realpath "$build")/wineprefix}
wine_path() { printf 'Z:%s' "$(realpath "$1")" | tr '/' '\\'; }

args=(--register "$(wine_path "$addin")"
      --addin ZintaraOutlook.OLConnector
      --data "$(wine_path tools/standin_host/sample/addressbook.json)"
      --outbox "$(wine_path "$out")\\outbox")

if [ -n "${DISPLAY:-}" ]; then
  echo "The stand-in host is opening on $DISPLAY; close it to end. Mails go to $out/outbox."
  exec cmake/wine-run.sh "$host" "${args[@]}"
fi

# A new prefix is made here; without a window manager (Xvfb has none) Wine
# draws the windows' title bars itself, as the picture shows them.
cmake/wine-run.sh --boot
rm -f "$out/standin.png"
(cd "$out" && "$root/cmake/wine-run.sh" "$host" "${args[@]}" \
  --scenario "$(wine_path "$root/scripts/run/screenshot.scn")")
[ -s "$out/standin.png" ] || { echo "The stand-in host ended without saving standin.png." >&2; exit 1; }
echo "No display: the host ran under Xvfb. Its picture: $out/standin.png"
