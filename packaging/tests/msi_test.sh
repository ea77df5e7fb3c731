#!/usr/bin/env bash
# Installs and removes a Windows Installer package silently (msiexec /qn) in
# the test's Wine prefix and checks what it leaves in the file system and the
# registry.
#
# msi_test.sh CASE WINE_RUN MSI OLDER_MSI ARCH HOST DATA WORK
#   per_user     the default scope: %LOCALAPPDATA%\Programs\Parvel, the
#                registration under HKCU exactly as the DLL's own
#                (regsvr32) writes it, put back by a repair after regsvr32
#                /u took it; the host loads the add-in, whose
#                template lands beside the DLL; the uninstall removes all the
#                package wrote and keeps the settings and the templates file
#   per_machine  ALLUSERS=1: Program Files\Parvel, the registration under
#                HKLM in the package's registry view, again exactly the
#                DLL's own; the host loads the add-in, which reads the
#                administrator's templates beside the DLL and saves the
#                user's own under %APPDATA%\Parvel; the uninstall as above
#   upgrade      a per-machine install of the version before replaced by this
#                one (one product left), and the older package refused after
#                it
# ARCH is x64 or x86; the host (a 64-bit program) loads the x64 add-in only.
# HOST and DATA are the stand-in host and its address book.
set -euo pipefail

case_name=$1 wine_run=$2 msi=$3 older_msi=$4 arch=$5 host=$6 data=$7 work=$8
here=$(cd "$(dirname "$0")" && pwd)
: "${PARVEL_WINEPREFIX:?PARVEL_WINEPREFIX names the Wine prefix}"

clsid='{02EBD1AD-E93D-4C03-A944-77F367121DEB}'
libid='{061E5F29-4F20-4456-8299-3A9AA670A969}'
iid='{8F63346A-24C7-41F0-BAC6-A2CBC3CFB543}'
progid=ZintaraOutlook.OLConnector
# What the registration consists of, below the root.
owned_keys=(
  "Software\\Classes\\CLSID\\$clsid"
  "Software\\Classes\\$progid"
  "Software\\Classes\\TypeLib\\$libid"
  "Software\\Classes\\Interface\\$iid"
  "Software\\Microsoft\\Office\\Outlook\\Addins\\$progid"
)
settings_key='HKCU\SOFTWARE\Parvello'
if [ "$arch" = x64 ]; then view=/reg:64 machine=8664; else view=/reg:32 machine=014c; fi

rm -rf "$work"
mkdir -p "$work"

# shellcheck source=wine_steps.sh
source "$(dirname "$0")/wine_steps.sh"

windows_folder() {
  run cmd /c echo "%$1%" || fail "no %$1%"
  output
}

product_code() {
  msiinfo export "$1" Property | tr -d '\r' | awk -F '\t' '$1 == "ProductCode" { print $2 }'
}

# msiexec EXPECTED_CODE ARGS...: msiexec's exit code reaches us through a
# Unix exit status, which keeps its lowest 8 bits (1603 arrives as 67).
msiexec() {
  local expected=$1 code=0
  shift
  run msiexec "$@" /qn || code=$?
  [ "$code" = $((expected % 256)) ] || fail "msiexec $* exited with $code, expected $expected"
}

# registration ROOT [VIEW]: the registration's keys and values below HKCU or
# HKLM, with the root's name taken out, so that the two can be compared.
registration() {
  local root=$1 key
  shift
  : >"$work/registration.txt"
  for key in "${owned_keys[@]}"; do
    if run reg query "$root\\$key" /s "$@"; then
      output | sed -e 's/^HKEY_[A-Z_]*\\/ROOT\\/' -e '/^$/d' >>"$work/registration.txt"
    fi
  done
  cat "$work/registration.txt"
}

# The machine type in a PE file's header: 8664 for x64, 014c for x86.
pe_machine() {
  local offset
  offset=$(od -An -tu4 -j60 -N4 "$1" | tr -d ' ')
  od -An -tx2 -j$((offset + 4)) -N2 "$1" | tr -d ' '
}

# The regsvr32 of the package's bitness.
regsvr32() {
  if [ "$arch" = x64 ]; then
    run regsvr32 "$@"
  else
    run "$PARVEL_WINEPREFIX/drive_c/windows/syswow64/regsvr32.exe" "$@"
  fi
}

# expect_same_as_regsvr32 WRITTEN DLL: the package wrote what DllRegisterServer
# writes for the installed DLL (below HKCU), value for value.
expect_same_as_regsvr32() {
  local written=$1 dll=$2
  regsvr32 /s "$dll" || fail "regsvr32 $dll failed"
  registration HKCU >"$work/regsvr32.txt"
  regsvr32 /u /s "$dll" || fail "regsvr32 /u $dll failed"
  diff -u "$work/regsvr32.txt" "$written" >&2 ||
    fail "the package's registration differs from the DLL's own (above)"
}

expect_registered() {
  local written=$1 dll=$2
  grep -qxF "ROOT\\Software\\Classes\\CLSID\\$clsid\\InprocServer32" "$written" ||
    fail "no class key"
  grep -qF "    (Default)    REG_SZ    $dll" "$written" || fail "the class does not name $dll"
  grep -qF "    LoadBehavior    REG_DWORD    0x3" "$written" || fail "no LoadBehavior 3"
}

# The host runs the scenario with the installed add-in.
run_host() {
  local scenario=$1 code=0
  (cd "$work" && "$wine_run" "$host" --addin "$progid" --data "$data" --outbox "$work/outbox" \
    --scenario "$scenario" >"$work/host.out" 2>"$work/host.err" </dev/null) || code=$?
  [ "$code" = 0 ] || fail "the host exited with $code: $(cat "$work/host.err")"
  [ ! -s "$work/host.err" ] || fail "the host wrote: $(cat "$work/host.err")"
}

expect_settings_kept() {
  run reg query "$settings_key" /v Account || fail "the settings are gone"
  output | grep -q 'acc1' || fail "the settings changed"
}

expect_nothing_registered() {
  local root
  for root in HKCU HKLM; do
    [ -z "$(registration "$root" "$view")" ] || fail "$root still holds: $(cat "$work/registration.txt")"
  done
}

# Removes every Parvel product a run that did not end cleanly left behind
# (a package built since has another product code), per user and per machine.
remove_leftovers() {
  local root code
  for root in HKCU HKLM; do
    run reg query "$root\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall" /s || continue
    for code in $(output | awk '/^HKEY_/ { key = $0 } /^ +DisplayName +REG_SZ +Parvel$/ { print key }' |
      grep -o '{[0-9A-F-]*}$'); do
      run msiexec /x "$code" /qn || true
    done
  done
}
remove_leftovers

case $case_name in
  per_user)
    folder="$(windows_folder LOCALAPPDATA)\\Programs\\Parvel"
    dir=$(unix_path "$folder")
    rm -rf "$dir"
    trap 'run msiexec /x "$msi" /qn || true; rm -rf "$dir"' EXIT

    msiexec 0 /i "$msi"
    [ "$(pe_machine "$dir/ParvelAddin.dll")" = "$machine" ] || fail "ParvelAddin.dll is not $arch"
    registration HKCU >"$work/package.txt"
    expect_registered "$work/package.txt" "$folder\\ParvelAddin.dll"
    [ -z "$(registration HKLM "$view")" ] || fail "a per-user install wrote below HKLM"
    expect_same_as_regsvr32 "$work/package.txt" "$folder\\ParvelAddin.dll"
    # Windows Installer puts back what regsvr32 /u took: a repair (Wine's
    # msiexec knows it by its properties only, not as /f).
    msiexec 0 /i "$msi" REINSTALL=ALL REINSTALLMODE=omus
    [ "$(registration HKCU)" = "$(cat "$work/package.txt")" ] || fail "the repair left a difference"

    if [ "$arch" = x64 ]; then
      run_host "$here/installed_addin.scn"
      grep -q "Installed" "$dir/ZNSMSTemplates.txt" || fail "no template beside the installed add-in"
    fi

    msiexec 0 /x "$msi"
    expect_nothing_registered
    [ ! -e "$dir/ParvelAddin.dll" ] || fail "ParvelAddin.dll is still there"
    if [ "$arch" = x64 ]; then
      [ -f "$dir/ZNSMSTemplates.txt" ] || fail "the templates file is gone"
      expect_settings_kept
    else
      [ ! -e "$dir" ] || fail "the folder is still there"
    fi
    ;;

  per_machine)
    if [ "$arch" = x64 ]; then files=ProgramW6432; else files=ProgramFiles\(x86\); fi
    folder="$(windows_folder "$files")\\Parvel"
    dir=$(unix_path "$folder")
    user_templates="$(unix_path "$(windows_folder APPDATA)\\Parvel")/ZNSMSTemplates.txt"
    rm -rf "$dir" "$(dirname "$user_templates")"
    code=$(product_code "$msi")
    trap 'run msiexec /x "$code" /qn || true; rm -rf "$dir" "$(dirname "$user_templates")"' EXIT

    msiexec 0 /i "$msi" ALLUSERS=1
    [ "$(pe_machine "$dir/ParvelAddin.dll")" = "$machine" ] || fail "ParvelAddin.dll is not $arch"
    registration HKLM "$view" >"$work/package.txt"
    expect_registered "$work/package.txt" "$folder\\ParvelAddin.dll"
    [ -z "$(registration HKCU)" ] || fail "a per-machine install wrote below HKCU"
    # The class and Outlook's entry are per view (the type library key is
    # shared by both, on Windows as in Wine).
    if [ "$arch" = x64 ]; then other_view=/reg:32; else other_view=/reg:64; fi
    for key in "${owned_keys[0]}" "${owned_keys[4]}"; do
      ! run reg query "HKLM\\$key" "$other_view" || fail "HKLM\\$key is in the other registry view"
    done
    expect_same_as_regsvr32 "$work/package.txt" "$folder\\ParvelAddin.dll"

    if [ "$arch" = x64 ]; then
      # The administrator's starting set beside the DLL, which users read
      # until they save templates of their own.
      printf '%%LABEL%%Welcome\r\nWelcome to Parvel\r\n' >"$dir/ZNSMSTemplates.txt"
      run_host "$here/installed_addin_machine.scn"
      grep -q "Welcome" "$user_templates" || fail "the user's templates lack the shared one"
      grep -q "Installed" "$user_templates" || fail "the user's templates lack the new one"
      [ "$(cat "$dir/ZNSMSTemplates.txt")" = "$(printf '%%LABEL%%Welcome\r\nWelcome to Parvel\r')" ] ||
        fail "the shared templates file changed"
    fi

    msiexec 0 /x "$code"
    expect_nothing_registered
    [ ! -e "$dir/ParvelAddin.dll" ] || fail "ParvelAddin.dll is still there"
    if [ "$arch" = x64 ]; then
      [ -f "$dir/ZNSMSTemplates.txt" ] || fail "the administrator's templates file is gone"
      [ -f "$user_templates" ] || fail "the user's templates file is gone"
      expect_settings_kept
    else
      [ ! -e "$dir" ] || fail "the folder is still there"
    fi
    ;;

  upgrade)
    folder="$(windows_folder ProgramW6432)\\Parvel"
    dir=$(unix_path "$folder")
    rm -rf "$dir"
    code=$(product_code "$msi") older_code=$(product_code "$older_msi")
    trap 'run msiexec /x "$code" /qn || true; run msiexec /x "$older_code" /qn || true
          rm -rf "$dir"' EXIT
    uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
    version=$(msiinfo export "$msi" Property | tr -d '\r' | awk -F '\t' '$1 == "ProductVersion" { print $2 }')

    msiexec 0 /i "$older_msi" ALLUSERS=1
    run reg query "$uninstall_key\\$older_code" /v DisplayVersion || fail "the older version is not listed"
    msiexec 0 /i "$msi" ALLUSERS=1
    # 1605: the older product is not installed any more.
    msiexec 1605 /x "$older_code"
    ! run reg query "$uninstall_key\\$older_code" || fail "the older version is still listed"
    run reg query "$uninstall_key\\$code" /v DisplayVersion || fail "this version is not listed"
    output | grep -qF "$version" || fail "the listed version is not $version"
    registration HKLM "$view" >"$work/package.txt"
    expect_registered "$work/package.txt" "$folder\\ParvelAddin.dll"

    # 1603: the older package refuses to replace this one, which stays.
    msiexec 1603 /i "$older_msi" ALLUSERS=1
    [ "$(registration HKLM "$view")" = "$(cat "$work/package.txt")" ] ||
      fail "the refused downgrade changed the registration"
    [ -f "$dir/ParvelAddin.dll" ] || fail "the refused downgrade removed the DLL"

    msiexec 0 /x "$code"
    expect_nothing_registered
    [ ! -e "$dir" ] || fail "the folder is still there"
    ;;

  *)
    fail "unknown case $case_name"
    ;;
esac
