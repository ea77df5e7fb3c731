#!/usr/bin/env bash
# Pictures for the user guide: runs each scenario of docs/screenshots in the
# stand-in host under Wine with the x64 add-in and the sample address book,
# and puts the pictures the scenarios take into docs/images.
#
#   scripts/docs-screenshots.sh [SCENARIO...]   # default: every docs/screenshots/*.scn
#
# The add-in runs from a copy of its own (build/docs-screenshots/addin), so
# the templates file the pictures need never touches a build's templates.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --preset windows-x64 >/dev/null
cmake --build --preset windows-x64 --target ParvelAddin parvel-standin

build=build/windows-x64
work=$PWD/build/docs-screenshots
images=$PWD/docs/images
export PARVEL_WINEPREFIX=$PWD/$build/wineprefix
wine_path() { printf 'Z:%s' "$(realpath "$1")" | tr '/' '\\'; }

# Unmanaged windows: Wine then draws their title bars itself, as there is no
# window manager under Xvfb to draw them.
cmake/wine-run.sh --boot

rm -rf "$work"
mkdir -p "$work/addin" "$images"
cp "$build/src/addin/ParvelAddin.dll" "$work/addin/"

if [ $# -eq 0 ]; then set -- docs/screenshots/*.scn; fi
for scenario in "$@"; do
  name=$(basename "$scenario" .scn)
  shots=$work/$name
  mkdir -p "$shots"
  echo "== $name"
  (cd "$shots" && "$OLDPWD/cmake/wine-run.sh" "$OLDPWD/$build/tools/standin_host/parvel-standin.exe" \
      --register "$(wine_path "$work/addin/ParvelAddin.dll")" \
      --addin ZintaraOutlook.OLConnector \
      --data "$(wine_path "$OLDPWD/tools/standin_host/sample/addressbook.json")" \
      --outbox "$(wine_path "$shots")\\outbox" \
      --scenario "$(wine_path "$OLDPWD/$scenario")" \
      --clear-key 'SOFTWARE\Parvello\Unsent')
  for picture in "$shots"/*.png; do
    [ -e "$picture" ] || continue
    cp "$picture" "$images/"
    echo "   docs/images/$(basename "$picture")"
  done
done
