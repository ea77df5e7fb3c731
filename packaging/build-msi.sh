#!/bin/sh
# Builds one Windows Installer package from parvel.wxs with wixl, then puts
# right what wixl 0.101 writes wrongly into two tables:
#   Registry: the root "HKMU" comes out as 4, which Windows Installer does not
#     know; -1 is HKMU (HKCU per user, HKLM per machine).
#   Upgrade: IncludeMaximum is dropped; the package is to replace an installed
#     copy of its own version too (the other bitness's package, a rebuild).
# (wixl also places a custom action given After= wrongly: parvel.wxs gives
# them their sequence numbers, which the checks at the end hold it to.)
#
# build-msi.sh WXS ARCH VERSION ADDIN_DLL OUTPUT
#   ARCH is x64 or x86. The icon of Apps & features is parvel.ico beside WXS.
set -eu
wxs=$1 arch=$2 version=$3 dll=$4 output=$5

case $output in /*) ;; *) output=$PWD/$output ;; esac
case $wxs in /*) ;; *) wxs=$PWD/$wxs ;; esac
# wixl takes a source file's name relative to the current folder only: the
# DLL's folder, from where the icon is named.
icon=$(realpath --relative-to="$(dirname "$dll")" "$(dirname "$wxs")/parvel.ico")
rm -f "$output"
(cd "$(dirname "$dll")" &&
  wixl -a "$arch" -D Arch="$arch" -D Version="$version" -D AddinDll="$(basename "$dll")" \
    -D Icon="$icon" -o "$output" "$wxs")
msibuild "$output" -q 'UPDATE `Registry` SET `Root` = -1 WHERE `Root` = 4'
# Attributes is part of the Upgrade table's key: the row is written anew,
# with both ends of its version range included (256 + 512).
upgrade_code=$(msiinfo export "$output" Property | tr -d '\r' | awk -F '\t' '$1 == "UpgradeCode" { print $2 }')
msibuild "$output" -q "DELETE FROM \`Upgrade\` WHERE \`ActionProperty\` = 'PARVEL_OLDER'"
msibuild "$output" -q "INSERT INTO \`Upgrade\` (\`UpgradeCode\`, \`VersionMin\`, \`VersionMax\`, \`Attributes\`, \`ActionProperty\`) VALUES ('$upgrade_code', '0.0.0', '$version', 768, 'PARVEL_OLDER')"

# Says so at once if a later wixl writes these tables differently.
msiinfo export "$output" Registry | awk -F '\t' 'NR > 3 && $2 != -1 { bad = 1 } END { exit bad }' ||
  { echo "build-msi.sh: a registry row of $output is not under HKMU" >&2; exit 1; }
msiinfo export "$output" Upgrade | grep -q "	768		PARVEL_OLDER" ||
  { echo "build-msi.sh: the upgrade row of $output is not as set" >&2; exit 1; }
for sequence in InstallUISequence InstallExecuteSequence; do
  msiinfo export "$output" "$sequence" | grep -q "^PerMachineFolder	.*	901" ||
    { echo "build-msi.sh: the per-machine folder is not set right after FileCost in $sequence" >&2; exit 1; }
done
msiinfo export "$output" InstallExecuteSequence | grep -q "^InstallLocation	.*	1001" ||
  { echo "build-msi.sh: InstallLocation is not set right after CostFinalize" >&2; exit 1; }
