#!/usr/bin/env bash
# Runs the setup program silently in the test's Wine prefix and checks what it
# leaves in the file system and the registry.
#
# installer_test.sh CASE WINE_RUN SETUP VERSION HOST DATA SCENARIO WORK WINE32
#   install_uninstall  default folder, both builds, the host loads the installed
#                      add-in, the uninstaller keeps settings and templates
#   bitness            a 64-bit Outlook's "Bitness" picks the x64 build, and
#                      Click-to-Run's "Platform" when there is no "Bitness"; an
#                      unknown /BITNESS is refused
#   bitness_x86        the same for a 32-bit Outlook, and /BITNESS overrides
#   failed_registration  a DLL that regsvr32 cannot load: exit code 3 and
#                      nothing left behind
# WINE32 is "yes" where 32-bit programs run. Elsewhere the 32-bit regsvr32
# cannot run either, so the setup program is told to register the x64 build
# (/BITNESS=x64) where it would otherwise register both.
#
# Wine 8 keeps no 32-bit view of HKCU\Software\Classes: both builds write the
# same class key, so which builds are registered shows in the type library's
# win32 and win64 entries, and the class key names the build registered last.
set -euo pipefail

case_name=$1 wine_run=$2 setup=$3 version=$4 host=$5 data=$6 scenario=$7 work=$8 wine32=$9
if [ "$wine32" = yes ]; then
  default_bitness=() default_builds=both
else
  default_bitness=(/BITNESS=x64) default_builds=x64
fi

clsid='{02EBD1AD-E93D-4C03-A944-77F367121DEB}'
libid='{061E5F29-4F20-4456-8299-3A9AA670A969}'
iid='{8F63346A-24C7-41F0-BAC6-A2CBC3CFB543}'
progid=ZintaraOutlook.OLConnector
classes='HKCU\Software\Classes'
class_key="$classes\\CLSID\\$clsid"
typelib_key="$classes\\TypeLib\\$libid\\1.0\\0"
addin_key="HKCU\\Software\\Microsoft\\Office\\Outlook\\Addins\\$progid"
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Parvel'
settings_key='HKCU\SOFTWARE\Parvello'
office_key='HKLM\SOFTWARE\Microsoft\Office\16.0\Outlook'
click_to_run_key='HKLM\SOFTWARE\Microsoft\Office\ClickToRun\Configuration'
overrides_key='HKCU\Software\Wine\AppDefaults\regsvr32.exe\DllOverrides'

rm -rf "$work"
mkdir -p "$work"

# shellcheck source=wine_steps.sh
source "$(dirname "$0")/wine_steps.sh"

# Reads the keys the checks look at once; the checks below look into that copy.
# Not all of HKCU\Software: Wine 8's reg.exe crashes on an empty REG_SZ value
# (the add-in stores an empty "NamePrefix" so), and its debugger then waits.
# A key that is not there reads as empty.
snapshot() {
  : >"$work/registry.txt"
  local key
  for key in "$classes" "${addin_key%\\*}" "${uninstall_key%\\*}"; do
    if run reg query "$key" /s; then output >>"$work/registry.txt"; fi
  done
  if run reg query "$settings_key" /v Account; then output >>"$work/registry.txt"; fi
}

# value KEY NAME: the data of a value in the snapshot ("" names the default one).
# Names reach awk through the environment: -v would take backslashes as escapes.
value() {
  KEY="HKEY_CURRENT_USER${1#HKCU}" NAME="${2:-(Default)}" awk -F '    ' '
    BEGIN { key = tolower(ENVIRON["KEY"]); name = ENVIRON["NAME"] }
    /^HKEY_/ { inside = (tolower($0) == key); next }
    inside && NF >= 4 && $2 == name { print $4; found = 1; exit }
    END { exit !found }' "$work/registry.txt"
}

has_key() {
  KEY="HKEY_CURRENT_USER${1#HKCU}" awk '
    BEGIN { key = tolower(ENVIRON["KEY"]) }
    { line = tolower($0) }
    line == key || index(line, key "\\") == 1 { found = 1; exit }
    END { exit !found }' "$work/registry.txt"
}

expect_value() {
  local got
  got=$(value "$1" "$2") || fail "no value \"$2\" under $1"
  [ "$got" = "$3" ] || fail "$1 \"$2\" is \"$got\", expected \"$3\""
}

expect_no_key() { ! has_key "$1" || fail "key $1 is still there"; }

# The machine type in a PE file's header: 8664 for x64, 014c for x86.
pe_machine() {
  local offset
  offset=$(od -An -tu4 -j60 -N4 "$1" | tr -d ' ')
  od -An -tx2 -j$((offset + 4)) -N2 "$1" | tr -d ' '
}

# setup EXPECTED_CODE ARGS...
setup() {
  local expected=$1 code=0
  shift
  run "$setup" /S "$@" || code=$?
  [ "$code" = "$expected" ] || fail "setup $* exited with $code, expected $expected"
}

# Uninstalls as "Apps & features" does, from a copy outside the folder (as the
# uninstaller itself arranges), but waiting for it to finish.
uninstall() {
  local folder=$1 code=0
  cp "$(unix_path "$folder")/Uninstall.exe" "$work/Uninstall.exe"
  run "$work/Uninstall.exe" /S "_?=$folder" || code=$?
  rm -f "$work/Uninstall.exe"
  [ "$code" = 0 ] || fail "the uninstaller exited with $code"
}

# At the end, passed or failed: uninstalls whatever is left, so that later
# tests find neither a registration nor the folder.
clean_up() {
  local folder=$1 dir
  dir=$(unix_path "$folder") || return 0
  if [ -f "$dir/Uninstall.exe" ]; then
    cp "$dir/Uninstall.exe" "$work/Uninstall.exe"
    run "$work/Uninstall.exe" /S "_?=$folder" || true
  fi
  rm -rf "$dir"
}

expect_registered() {
  local folder=$1 builds=$2
  snapshot
  case $builds in
    both)
      expect_value "$typelib_key\\win32" "" "$folder\\x86\\ParvelAddin.dll"
      expect_value "$typelib_key\\win64" "" "$folder\\x64\\ParvelAddin.dll"
      expect_value "$class_key\\InprocServer32" "" "$folder\\x64\\ParvelAddin.dll"
      ;;
    x86)
      expect_value "$typelib_key\\win32" "" "$folder\\x86\\ParvelAddin.dll"
      expect_no_key "$typelib_key\\win64"
      expect_value "$class_key\\InprocServer32" "" "$folder\\x86\\ParvelAddin.dll"
      ;;
    x64)
      expect_no_key "$typelib_key\\win32"
      expect_value "$typelib_key\\win64" "" "$folder\\x64\\ParvelAddin.dll"
      expect_value "$class_key\\InprocServer32" "" "$folder\\x64\\ParvelAddin.dll"
      ;;
  esac
  expect_value "$classes\\$progid\\CLSID" "" "$clsid"
  expect_value "$addin_key" LoadBehavior 0x3
}

expect_unregistered() {
  snapshot
  expect_no_key "$class_key"
  expect_no_key "$classes\\$progid"
  expect_no_key "$classes\\TypeLib\\$libid"
  expect_no_key "$classes\\Interface\\$iid"
  expect_no_key "$addin_key"
  expect_no_key "$uninstall_key"
}

case $case_name in
  install_uninstall)
    run cmd /c echo '%LOCALAPPDATA%' || fail "no %LOCALAPPDATA%"
    folder="$(output)\\Programs\\Parvel"
    dir=$(unix_path "$folder")
    rm -rf "$dir"
    trap 'clean_up "$folder"' EXIT

    setup 0 "${default_bitness[@]}"
    [ "$(pe_machine "$dir/x64/ParvelAddin.dll")" = 8664 ] || fail "x64\\ParvelAddin.dll is not x64"
    [ "$(pe_machine "$dir/x86/ParvelAddin.dll")" = 014c ] || fail "x86\\ParvelAddin.dll is not x86"
    [ -f "$dir/Uninstall.exe" ] || fail "no Uninstall.exe"
    for build in x64 x86; do
      ! grep -qa '\.debug_info' "$dir/$build/ParvelAddin.dll" || fail "$build\\ParvelAddin.dll is not stripped"
    done
    expect_registered "$folder" "$default_builds"
    expect_value "$uninstall_key" DisplayName Parvel
    expect_value "$uninstall_key" DisplayVersion "$version"
    expect_value "$uninstall_key" Publisher Zintara
    expect_value "$uninstall_key" UninstallString "\"$folder\\Uninstall.exe\""
    # The silent uninstall that waits: run in place, then its own file and
    # folder removed by cmd.
    quiet=$(value "$uninstall_key" QuietUninstallString) || fail "no QuietUninstallString"
    [ "${quiet#\"*\\cmd.exe\" }" = "/c start \"\" /wait \"$folder\\Uninstall.exe\" /S _?=$folder& if not errorlevel 1 (del \"$folder\\Uninstall.exe\" & rmdir \"$folder\" 2>nul & (call ))" ] ||
      fail "QuietUninstallString is $quiet"
    expect_value "$uninstall_key" DisplayIcon "$folder\\Uninstall.exe,0"
    expect_value "$uninstall_key" InstallLocation "$folder"
    expect_value "$uninstall_key" NoModify 0x1
    expect_value "$uninstall_key" NoRepair 0x1
    size=$(value "$uninstall_key" EstimatedSize) || fail "no EstimatedSize"
    [ $((size)) -gt 0 ] || fail "EstimatedSize is $size"

    code=0
    (cd "$work" && "$wine_run" "$host" --addin "$progid" --data "$data" --outbox "$work/outbox" \
      --scenario "$scenario" >"$work/host.out" 2>"$work/host.err" </dev/null) || code=$?
    [ "$code" = 0 ] || fail "the host exited with $code: $(cat "$work/host.err")"
    [ ! -s "$work/host.err" ] || fail "the host wrote: $(cat "$work/host.err")"
    grep -q "Installed" "$dir/x64/ZNSMSTemplates.txt" || fail "no template beside the installed add-in"

    # As a deployment tool runs the entry's silent uninstall (one cmd more
    # takes the command line whole): everything is gone when it returns.
    run_batch "$work" "cmd /c \"$quiet\"" || fail "the QuietUninstallString exited with $?: $(output)"
    expect_unregistered
    expect_value "$settings_key" Account acc1
    [ -f "$dir/x64/ZNSMSTemplates.txt" ] || fail "the templates file is gone"
    [ ! -e "$dir/x64/ParvelAddin.dll" ] || fail "x64\\ParvelAddin.dll is still there"
    [ ! -e "$dir/x86" ] || fail "the x86 folder is still there"
    [ ! -e "$dir/Uninstall.exe" ] || fail "Uninstall.exe is still there"
    ;;

  bitness | bitness_x86)
    folder=$(windows_path "$work/app")
    trap 'run reg delete "$office_key" /v Bitness /f || true
          run reg delete "$click_to_run_key" /v Platform /f || true
          clean_up "$folder"' EXIT
    if [ "$case_name" = bitness ]; then outlook=x64 other=x86; else outlook=x86 other=x64; fi
    run reg add "$office_key" /v Bitness /d "$outlook" /f || fail "cannot set Bitness"

    setup 0 "/D=$folder"
    expect_registered "$folder" "$outlook"
    if [ "$wine32" = yes ]; then
      setup 0 "/BITNESS=$other" "/D=$folder"
      expect_registered "$folder" "$other"
    fi
    # Without "Bitness", the platform of a Click-to-Run Office.
    run reg delete "$office_key" /v Bitness /f || fail "cannot delete Bitness"
    run reg add "$click_to_run_key" /v Platform /d "$outlook" /f || fail "cannot set Platform"
    setup 0 "/D=$folder"
    expect_registered "$folder" "$outlook"
    uninstall "$folder"
    expect_unregistered
    [ ! -e "$work/app" ] || fail "the folder is still there"

    setup 2 /BITNESS=arm "/D=$folder"
    [ ! -e "$work/app" ] || fail "an unknown bitness installed something"
    ;;

  failed_registration)
    folder=$(windows_path "$work/app")
    trap 'run reg delete "$overrides_key" /v ParvelAddin /f || true
          clean_up "$folder"' EXIT
    run reg add "$overrides_key" /v ParvelAddin /d "" /f || fail "cannot disable the add-in"

    setup 3 "${default_bitness[@]}" "/D=$folder"
    expect_unregistered
    [ ! -e "$work/app" ] || fail "the folder is still there"
    ;;

  *)
    fail "unknown case $case_name"
    ;;
esac
