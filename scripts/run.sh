#!/usr/bin/env bash
# The add-in's main job: the stand-in Outlook host under Wine with
# ParvelAddin.dll registered for the current user and the sample address book.
# On a display the host opens there for you to use (sent mails land in
# build/run/outbox); without one it runs under a private Xvfb, opens the
# compose window as a user would and saves build/run/standin.png.
# The host and the add-in are 64-bit programs: they run on every machine of
# our kind, also where 32-bit programs cannot start.
set -euo pipefail
cd "$(dirname "$0")/.."

step="installing what is missing"
# Any failure ends with one line that says where.
trap 'code=$?; [ "$code" = 0 ] || echo "scripts/run.sh failed while ${step} (exit code ${code}); the messages above say why." >&2' EXIT

scripts/install-deps.sh
echo "32-bit Windows programs: $(sh cmake/wine-probe.sh) (the stand-in host runs as a 64-bit program)"
step="configuring windows-x64"
cmake --preset windows-x64 >/dev/null
step="building the add-in and the stand-in host"
cmake --build --preset windows-x64 --target ParvelAddin parvel-standin parvel-gateway

build=build/windows-x64
out=$PWD/build/run
mkdir -p "$out"
export PARVEL_WINEPREFIX=$PWD/$build/wineprefix
wine_path() { printf 'Z:%s' "$(realpath "$1")" | tr '/' '\\'; }

args=(--register "$(wine_path "$build/src/addin/ParvelAddin.dll")"
      --addin ZintaraOutlook.OLConnector
      --data "$(wine_path tools/standin_host/sample/addressbook.json)"
      --outbox "$(wine_path "$out")\\outbox")

step="running the stand-in host under Wine"
if [ -n "${DISPLAY:-}" ]; then
  echo "The stand-in host is opening on $DISPLAY; close it to end. Mails go to $out/outbox."
  exec cmake/wine-run.sh "$build/tools/standin_host/parvel-standin.exe" "${args[@]}"
fi

cd "$out"
rm -f standin.png
"$OLDPWD/cmake/wine-run.sh" "$OLDPWD/$build/tools/standin_host/parvel-standin.exe" "${args[@]}" \
  --scenario "$(wine_path "$OLDPWD/scripts/run/screenshot.scn")"
step="checking the picture"
[ -s standin.png ] || { echo "The stand-in host ended without saving standin.png." >&2; exit 1; }
echo "No display: the host ran under Xvfb. Its picture: $out/standin.png"
