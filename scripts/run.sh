#!/usr/bin/env bash
# The add-in's main job as far as it is built: a gateway request made from the
# sample request file, written as the e-mail the gateway receives, and read
# back the way the gateway deciphers it.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset native >/dev/null
cmake --build --preset native --target parvel-gateway

tool=build/native/tools/gateway/parvel-gateway
out=build/run
mkdir -p "$out"
"$tool" build --eml tests/tools/data/request.json >"$out/request.eml"
echo "== The gateway e-mail ($out/request.eml)"
cat "$out/request.eml"
echo
echo
echo "== What the gateway reads from it"
"$tool" read "$out/request.eml"
