#!/bin/sh
# Builds one Windows Installer package from parvel.wxs with wixl, then puts
# right what wixl 0.101 writes wrongly into three tables:
#   Registry: the root "HKMU" comes out as 4, which Windows Installer does not
#     know; -1 is HKMU (HKCU per user, HKLM per machine).
#   Upgrade: IncludeMaximum is dropped; the package is to replace an installed
#     copy of its own version too (the other bitness's package, a rebuild).
#
#   InstallUISequence: the per-machine folder's action comes after
#     ExecuteAction, too late; it goes right after FileCost, as in the
#     InstallExecuteSequence.
#
# build-msi.sh WXS ARCH VERSION ADDIN_DLL OUTPUT
#   ARCH is x64 or x86.
set -eu
wxs=$1 arch=$2 version=$3 dll=$4 output=$5

case $output in /*) ;; *) output=$PWD/$output ;; esac
case $wxs in /*) ;; *) wxs=$PWD/$wxs ;; esac
rm -f "$output"
# wixl takes a source file's name relative to the current folder only.
(cd "$(dirname "$dll")" &&
  wixl -a "$arch" -D Arch="$arch" -D Version="$version" -D AddinDll="$(basename "$dll")" \
    -o "$output" "$wxs")
msibuild "$output" -q 'UPDATE `Registry` SET `Root` = -1 WHERE `Root` = 4'
msibuild "$output" -q "UPDATE \`InstallUISequence\` SET \`Sequence\` = 901 WHERE \`Action\` = 'PerMachineFolder'"
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
    { echo "build-msi.sh: the per-machine folder is set too late in $sequence" >&2; exit 1; }
done
