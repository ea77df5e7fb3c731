#!/usr/bin/env bash
# The add-in's main job: the stand-in Outlook host under Wine with
# ParvelAddin.dll registered for the current user and the sample address book.
# On a display the host opens there for you to use (sent mails land in
# build/run/outbox; build/native/tools/gateway/parvel-gateway read FILE shows
# what the gateway deciphers from one); without one it runs under a private
# Xvfb, opens the compose window as a user would (answering the first-run
# "Initialisation" message of a new prefix) and saves build/run/standin.png.
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
cmake --build --preset windows-x64 --target ParvelAddin parvel-standin
# parvel-gateway reads the mails of the outbox on this machine.
step="configuring native"
cmake --preset native >/dev/null
step="building parvel-gateway"
cmake --build --preset native --target parvel-gateway

step="running the stand-in host under Wine"
scripts/run/standin.sh build/windows-x64 build/run
