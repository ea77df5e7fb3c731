#!/usr/bin/env bash
# Installs and removes a Windows Installer package silently (msiexec /qn) in
# the test's Wine prefix and checks what it leaves in the file system and the
# registry.
#
# msi_test.sh CASE WINE_RUN MSI OLDER_MSI ARCH HOST DATA WORK [SETUP WINE32]
#   per_user     the default scope: %LOCALAPPDATA%\Programs\Parvel, the
#                registration under HKCU exactly as the DLL's own
#                (regsvr32) writes it, put back by a repair after regsvr32
#                /u took it; the entry in Apps & features with its folder and
#                icon; the host loads the add-in, whose template lands beside
#                the DLL; the uninstall removes all the package wrote and
#                keeps the settings and the templates file
#   per_machine  ALLUSERS=1: Program Files\Parvel, the registration under
#                HKLM in the package's registry view, again exactly the
#                DLL's own, and put back by a repair; the entry in Apps &
#                features; the host loads the add-in, which reads the
#                administrator's templates beside the DLL and saves the
#                user's own under %APPDATA%\Parvel; the uninstall as above
#   installdir   INSTALLDIR="C:\Apps\Parvel SMS", per machine and per user,
#                as a batch file types it: everything there, a repair keeps
#                it there, and the removal leaves nothing behind
#   from_setup   a user of the setup program (SETUP, with a template beside
#                its DLL) moved to the per-user package by the administrator
#                guide's own lines: the setup program's installation gone
#                before the package comes, the template kept, the host loads
#                the package's add-in
#   upgrade      a per-machine install of the version before replaced by this
#                one (one product left), and the older package refused after
#                it
# ARCH is x64 or x86; the host (a 64-bit program) loads the x64 add-in only.
# HOST and DATA are the stand-in host and its address book; WINE32 is "yes"
# where 32-bit programs run.
#
# Wine 8's msiexec differs from Windows Installer in three ways the cases work
# around, each where it is used:
# - it knows no MSIINSTALLPERUSER and takes the package's ALLUSERS=2 for 1, so
#   that a plain install is per machine; per user needs ALLUSERS="" (which
#   Windows reads the same way);
# - it resolves HKMU by ALLUSERS even when it removes or repairs a product,
#   not by the scope the product is installed in: the per-user product's
#   repair and removal need ALLUSERS="" too;
# - an empty value in quotes swallows the property after it: ALLUSERS="" goes
#   last.
set -euo pipefail

case_name=$1 wine_run=$2 msi=$3 older_msi=$4 arch=$5 host=$6 data=$7 work=$8
setup=${9:-} wine32=${10:-no}
here=$(cd "$(dirname "$0")" && pwd)
: "${PARVEL_WINEPREFIX:?PARVEL_WINEPREFIX names the Wine prefix}"
per_user='ALLUSERS=""'

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

# A product code as Windows Installer's keys spell it: each of the first three
# groups reversed, the other bytes' two digits swapped.
packed_code() {
  local hex=${1//[\{\}-]/} out="" i
  out+=$(rev <<<"${hex:0:8}")$(rev <<<"${hex:8:4}")$(rev <<<"${hex:12:4}")
  for ((i = 16; i < 32; i += 2)); do out+=${hex:i+1:1}${hex:i:1}; done
  printf '%s' "$out"
}

# expect_apps_entry FOLDER: the product's entry in Apps & features names the
# folder it is installed in and has the package's icon. (Windows Installer
# writes the icon as DisplayIcon in the entry; Wine 8 only as the product's
# ProductIcon where it publishes the product, and it keeps a per-user
# product's entry below HKLM.)
expect_apps_entry() {
  local folder=$1 code root entry="" icon=""
  code=$(product_code "$msi")
  for root in HKCU HKLM; do
    if run reg query "$root\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$code"; then
      entry=$(output)
      break
    fi
  done
  [ -n "$entry" ] || fail "no entry $code in Apps & features"
  grep -qF "    InstallLocation    REG_SZ    $folder\\" <<<"$entry" ||
    fail "the entry's InstallLocation is not $folder\\: $entry"
  icon=$(sed -n 's/^ *DisplayIcon *REG_SZ *//p' <<<"$entry")
  for root in 'HKCU\Software\Microsoft\Installer' 'HKCR\Installer'; do
    [ -z "$icon" ] || break
    if run reg query "$root\\Products\\$(packed_code "$code")" /v ProductIcon; then
      icon=$(output | sed -n 's/^ *ProductIcon *REG_SZ *//p')
    fi
  done
  [ -n "$icon" ] || fail "the entry has no icon: $entry"
  [ -s "$(unix_path "${icon%,*}")" ] || fail "the entry's icon $icon is not there"
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
      # A per-user product is published below HKCU (and Wine needs to be
      # told its scope, see above).
      if run reg query "HKCU\\Software\\Microsoft\\Installer\\Products\\$(packed_code "$code")"; then
        run msiexec /x "$code" /qn "$per_user" || true
      else
        run msiexec /x "$code" /qn || true
      fi
    done
  done
}
remove_leftovers

case $case_name in
  per_user)
    folder="$(windows_folder LOCALAPPDATA)\\Programs\\Parvel"
    dir=$(unix_path "$folder")
    rm -rf "$dir"
    trap 'run msiexec /x "$msi" /qn "$per_user" || true; rm -rf "$dir"' EXIT

    msiexec 0 /i "$msi" "$per_user"
    [ "$(pe_machine "$dir/ParvelAddin.dll")" = "$machine" ] || fail "ParvelAddin.dll is not $arch"
    registration HKCU >"$work/package.txt"
    expect_registered "$work/package.txt" "$folder\\ParvelAddin.dll"
    [ -z "$(registration HKLM "$view")" ] || fail "a per-user install wrote below HKLM"
    expect_same_as_regsvr32 "$work/package.txt" "$folder\\ParvelAddin.dll"
    expect_apps_entry "$folder"
    # Windows Installer puts back what regsvr32 /u took: a repair (Wine's
    # msiexec knows it by its properties only, not as /f).
    msiexec 0 /i "$msi" REINSTALL=ALL REINSTALLMODE=omus "$per_user"
    [ "$(registration HKCU)" = "$(cat "$work/package.txt")" ] || fail "the repair left a difference"

    if [ "$arch" = x64 ]; then
      run_host "$here/installed_addin.scn"
      grep -q "Installed" "$dir/ZNSMSTemplates.txt" || fail "no template beside the installed add-in"
    fi

    msiexec 0 /x "$msi" "$per_user"
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
    expect_apps_entry "$folder"
    # The repair puts the registration back in the same place (the folder's
    # action for a new per-machine install does not run again).
    msiexec 0 /i "$msi" REINSTALL=ALL REINSTALLMODE=omus
    [ "$(registration HKLM "$view")" = "$(cat "$work/package.txt")" ] ||
      fail "the repair left a difference"

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

  installdir)
    folder='C:\Apps\Parvel SMS'
    dir=$(unix_path "$folder")
    msi_folder=$(dirname "$msi")
    msi_name=$(basename "$msi")
    trap 'run msiexec /x "$msi" /qn || true; run msiexec /x "$msi" /qn "$per_user" || true
          rm -rf "$(dirname "$dir")"' EXIT
    for scope in ALLUSERS=1 "$per_user"; do
      if [ "$scope" = ALLUSERS=1 ]; then root=HKLM; else root=HKCU; fi
      rm -rf "$dir"
      run_batch "$msi_folder" "msiexec /i $msi_name INSTALLDIR=\"$folder\" $scope /qn" ||
        fail "the install to $folder ($scope) exited with $?"
      [ -f "$dir/ParvelAddin.dll" ] || fail "no ParvelAddin.dll in $folder ($scope)"
      registration "$root" "$view" >"$work/package.txt"
      expect_registered "$work/package.txt" "$folder\\ParvelAddin.dll"
      expect_apps_entry "$folder"
      msiexec 0 /i "$msi" REINSTALL=ALL REINSTALLMODE=omus "$scope"
      [ "$(registration "$root" "$view")" = "$(cat "$work/package.txt")" ] ||
        fail "the repair ($scope) left a difference"
      [ ! -e "$(unix_path "$(windows_folder LOCALAPPDATA)\\Programs\\Parvel")/ParvelAddin.dll" ] &&
        [ ! -e "$(unix_path "$(windows_folder ProgramW6432)\\Parvel")/ParvelAddin.dll" ] ||
        fail "the repair ($scope) installed into the default folder"
      # As Apps & features removes it: by the product code.
      msiexec 0 /x "$(product_code "$msi")" "$scope"
      expect_nothing_registered
      [ ! -e "$dir" ] || fail "$folder is still there after the removal ($scope): $(ls "$dir")"
      ! run reg query "$root\\Software\\Zintara\\Parvel" "$view" || fail "the folder's value stayed"
    done
    ;;

  from_setup)
    [ -n "$setup" ] || fail "no setup program given"
    folder="$(windows_folder LOCALAPPDATA)\\Programs\\Parvel"
    dir=$(unix_path "$folder")
    rm -rf "$dir"
    trap 'run msiexec /x "$msi" /qn "$per_user" || true
          [ ! -f "$dir/Uninstall.exe" ] || run "$dir/Uninstall.exe" /S "_?=$folder" || true
          rm -rf "$dir"' EXIT
    if [ "$wine32" = yes ]; then bitness=(); else bitness=(/BITNESS=x64); fi
    run "$setup" /S "${bitness[@]}" || fail "the setup program exited with $?"
    [ -f "$dir/x64/ParvelAddin.dll" ] || fail "the setup program installed nothing"
    printf '%%LABEL%%Kept\r\nFrom the setup program\r\n' >"$dir/x64/ZNSMSTemplates.txt"

    # The administrator guide's lines, as written there but for the package's
    # file name (and, for Wine, ALLUSERS="" on msiexec's line: see above).
    awk '/^rem Moving a user from the setup program/ { inside = 1 }
         inside && /^```$/ { exit }
         inside { print }' "$here/../../docs/admin-guide.md" >"$work/guide.txt"
    grep -q '^msiexec ' "$work/guide.txt" || fail "no lines for the move in docs/admin-guide.md"
    mapfile -t lines < <(sed -e "s/Parvel-[0-9.]*-x64\.msi/$(basename "$msi")/" \
      -e "s/^msiexec .*/& $per_user/" "$work/guide.txt")
    run_batch "$(dirname "$msi")" "${lines[@]}" || fail "the guide's lines exited with $?: $(output)"

    # Removed before the package came: the setup program's entry, both its
    # builds, its uninstaller.
    ! run reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Parvel' ||
      fail "the setup program's entry in Apps & features is still there"
    for file in x64/ParvelAddin.dll x86/ParvelAddin.dll Uninstall.exe; do
      [ ! -e "$dir/$file" ] || fail "the setup program's $file is still there"
    done
    [ ! -e "$dir/x64" ] && [ ! -e "$dir/x86" ] || fail "the setup program's folders are still there"
    [ -f "$dir/ParvelAddin.dll" ] || fail "the package's DLL is not in $folder"
    registration HKCU >"$work/package.txt"
    expect_registered "$work/package.txt" "$folder\\ParvelAddin.dll"
    ! grep -q 'win32' "$work/package.txt" || fail "the setup program's x86 registration is still there"
    run_host "$here/installed_addin_moved.scn"
    grep -q "From the setup program" "$dir/ZNSMSTemplates.txt" || fail "the user's template was lost"
    grep -q "Installed" "$dir/ZNSMSTemplates.txt" || fail "no template added beside the package's DLL"
    msiexec 0 /x "$msi" "$per_user"
    expect_nothing_registered
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
