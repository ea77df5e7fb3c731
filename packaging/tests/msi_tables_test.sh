#!/usr/bin/env bash
# The Windows Installer packages' tables, read with msiinfo, as the
# administrator guide describes them: dual-purpose (per user by default, per
# machine by the deploying tool's choice) with no elevation asked, the bitness
# of each package, the folders, the entry in Apps & features, the registration
# rows under HKMU, the upgrade rows, and no self-registration or program run at
# install.
#
# msi_tables_test.sh MSI_X64 MSI_X86 VERSION
set -euo pipefail

msi_x64=$1 msi_x86=$2 version=$3
icon=$(cd "$(dirname "$0")/.." && pwd)/parvel.ico
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

table() { msiinfo export "$1" "$2" | tr -d '\r' | tail -n +4; }

# expect_row MSI TABLE ROW: the table has this row (tab-separated columns).
expect_row() {
  table "$1" "$2" | grep -qxF "$3" || fail "$(basename "$1"): no $2 row \"$3\""
}

for arch in x64 x86; do
  if [ "$arch" = x64 ]; then
    msi=$msi_x64 platform="x64;1033" component=256 files=ProgramFiles64Folder typelib=win64
  else
    msi=$msi_x86 platform="Intel;1033" component=0 files=ProgramFilesFolder typelib=win32
  fi
  name=$(basename "$msi")
  summary=$(msiinfo suminfo "$msi")
  grep -qxF "Template: $platform" <<<"$summary" || fail "$name: not a $platform package"
  # Word count 10: compressed (2) and no elevation asked for (8).
  grep -qxF "Source: 10 (a)" <<<"$summary" || fail "$name: word count is not 10"

  expect_row "$msi" Property "ProductName	Parvel"
  expect_row "$msi" Property "Manufacturer	Zintara"
  expect_row "$msi" Property "ProductVersion	$version"
  expect_row "$msi" Property "UpgradeCode	{1FEDAFCB-EE57-4BB7-B11D-4B42EC21241F}"
  expect_row "$msi" Property "ARPNOMODIFY	1"
  # Single-package authoring: per user unless the deploying tool says otherwise.
  expect_row "$msi" Property "ALLUSERS	2"
  expect_row "$msi" Property "MSIINSTALLPERUSER	1"
  # Apps & features: the icon from the package's Icon table, the folder set
  # at the first install.
  expect_row "$msi" Property "ARPPRODUCTICON	parvel.ico"
  # (msiinfo writes the icons' data as files into ./Icon: in a folder of its own.)
  (cd "$scratch" && table "$msi" Icon) | grep -q "^parvel.ico	Icon.parvel.ico$" ||
    fail "$name: no icon parvel.ico"
  cmp -s "$scratch/Icon/Icon.parvel.ico" "$icon" || fail "$name: the icon is not parvel.ico"

  expect_row "$msi" Directory "INSTALLDIR	UserPrograms	Parvel"
  expect_row "$msi" Directory "UserPrograms	LocalAppDataFolder	Programs"
  expect_row "$msi" CustomAction "PerMachineFolder	2099	INSTALLDIR	[$files]Parvel\\	"
  expect_row "$msi" CustomAction "InstalledUserFolder	2099	INSTALLDIR	[PARVEL_USER_DIR]	"
  expect_row "$msi" CustomAction "InstalledMachineFolder	2099	INSTALLDIR	[PARVEL_MACHINE_DIR]	"
  expect_row "$msi" CustomAction "InstallLocation	2099	ARPINSTALLLOCATION	[INSTALLDIR]	"
  # The per-machine folder on the first install only; a repair or a removal
  # takes the folder the installation wrote down.
  for sequence in InstallUISequence InstallExecuteSequence; do
    expect_row "$msi" $sequence "FileCost		900"
    expect_row "$msi" $sequence "PerMachineFolder	ALLUSERS=1 AND NOT INSTALLDIR AND NOT Installed	901"
    expect_row "$msi" $sequence "InstalledUserFolder	Installed AND ALLUSERS<>1 AND PARVEL_USER_DIR	902"
    expect_row "$msi" $sequence "InstalledMachineFolder	Installed AND ALLUSERS=1 AND PARVEL_MACHINE_DIR	903"
    expect_row "$msi" $sequence "CostFinalize		1000"
  done
  expect_row "$msi" InstallExecuteSequence "InstallLocation	NOT Installed	1001"
  if [ "$arch" = x64 ]; then locator=18; else locator=2; fi
  expect_row "$msi" AppSearch "PARVEL_USER_DIR	UserInstallDir"
  expect_row "$msi" AppSearch "PARVEL_MACHINE_DIR	MachineInstallDir"
  expect_row "$msi" RegLocator "UserInstallDir	1	Software\\Zintara\\Parvel	InstallDir	$locator"
  expect_row "$msi" RegLocator "MachineInstallDir	2	Software\\Zintara\\Parvel	InstallDir	$locator"
  # Only those four actions of type 51 (setting a property): nothing runs a program.
  [ "$(table "$msi" CustomAction | wc -l)" = 4 ] || fail "$name: other custom actions"
  ! msiinfo tables "$msi" | grep -qx SelfReg || fail "$name: a SelfReg table"
  for action in SelfRegModules RegisterComPlus RegisterTypeLibraries; do
    ! table "$msi" InstallExecuteSequence | grep -q "^$action	" || fail "$name: $action"
  done

  expect_row "$msi" Component "Addin	$(table "$msi" Component | cut -f2 | head -1)	INSTALLDIR	$component		ParvelAddin.dll"
  table "$msi" File | grep -q "^ParvelAddin.dll	Addin	ParvelAddin.dll	" || fail "$name: no add-in file"

  # The registration's 20 values and the folder's, all under HKMU (-1), the
  # class server and type library naming the file.
  registry=$(table "$msi" Registry)
  [ "$(wc -l <<<"$registry")" = 21 ] || fail "$name: $(wc -l <<<"$registry") registry rows"
  grep -qP '\t-1\tSoftware\\Zintara\\Parvel\tInstallDir\t\[INSTALLDIR\]\tAddin$' <<<"$registry" ||
    fail "$name: no InstallDir row"
  [ -z "$(cut -f2 <<<"$registry" | grep -vx -- -1)" ] || fail "$name: a registry row not under HKMU"
  grep -qP '\tSoftware\\Classes\\CLSID\\\{02EBD1AD-E93D-4C03-A944-77F367121DEB\}\\InprocServer32\t\t\[#ParvelAddin.dll\]\tAddin$' <<<"$registry" ||
    fail "$name: no class server row"
  grep -qP "\\\\1.0\\\\0\\\\$typelib\\t\\t\\[#ParvelAddin.dll\\]\\tAddin\$" <<<"$registry" ||
    fail "$name: no $typelib type library row"
  grep -qP '\tSoftware\\Microsoft\\Office\\Outlook\\Addins\\ZintaraOutlook.OLConnector\tLoadBehavior\t#3\tAddin$' <<<"$registry" ||
    fail "$name: no LoadBehavior 3"

  # Older and equal versions are removed (768: both ends included), newer ones
  # refused by the launch condition.
  expect_row "$msi" Upgrade "{1FEDAFCB-EE57-4BB7-B11D-4B42EC21241F}	0.0.0	$version		768		PARVEL_OLDER"
  expect_row "$msi" Upgrade "{1FEDAFCB-EE57-4BB7-B11D-4B42EC21241F}	$version			2		PARVEL_NEWER"
  expect_row "$msi" LaunchCondition "NOT PARVEL_NEWER	A newer version of Parvel is already installed."
  expect_row "$msi" InstallExecuteSequence "RemoveExistingProducts		1401"
  echo "tables as described: $name"
done
