#!/bin/sh
# Runs a Windows program under Wine in the build's private prefix.
# "--boot" only prepares the prefix (a fresh one takes a few seconds).
#
# Wine's loaders are called directly, the one that matches the program: the
# 64-bit loader for 64-bit programs and Wine's own tools, the 32-bit one for a
# 32-bit program. Debian's "wine" wrapper would take the 32-bit loader for
# everything whenever wine32 is installed, and on a machine that cannot start
# 32-bit programs not even a 64-bit one would run.
set -eu
here=$(dirname "$0")
# PARVEL_WINEPREFIX names the prefix; by default the windows-x64 tree's (the
# tests of a tree set their own).
: "${PARVEL_WINEPREFIX:=$(cd "$here/.." && pwd)/build/windows-x64/wineprefix}"
wine64=/usr/lib/wine/wine64
wine32=/usr/lib/wine/wine
export WINEPREFIX="$PARVEL_WINEPREFIX"
export WINEDEBUG="${WINEDEBUG:--all}"
# No Mono or Gecko downloads: the prefix must boot without a network.
export WINEDLLOVERRIDES="mscoree,mshtml="
# A pinned locale gives the ANSI code page Windows-1252 and English month names.
# PARVEL_WINE_LANG picks another for one run (ja_JP.UTF-8: the user locale
# ja-JP and code page 932); Wine needs no generated system locale for it.
lang="${PARVEL_WINE_LANG:-en_US.UTF-8}"
export LANG="$lang" LC_ALL="$lang"

# Wine needs an X display for windows, the clipboard and its desktop process;
# without one, start a private virtual display for this prefix that later runs
# share. One display per prefix: Wine ties the clipboard to the display, and
# builds tested side by side must not share one.
if [ -z "${DISPLAY:-}" ]; then
  number=$((100 + $(printf '%s' "$WINEPREFIX" | cksum | cut -d' ' -f1) % 800))
  export DISPLAY=":$number"
  # A display whose server died (a killed session, a rebooted container)
  # leaves its lock and socket behind: only a live server counts.
  server=$({ tr -d ' ' <"/tmp/.X$number-lock"; } 2>/dev/null || true)
  if [ -z "$server" ] || ! kill -0 "$server" 2>/dev/null || [ ! -e "/tmp/.X11-unix/X$number" ]; then
    rm -f "/tmp/.X$number-lock" "/tmp/.X11-unix/X$number"
    setsid -f Xvfb "$DISPLAY" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1
    for _ in $(seq 1 20); do
      [ -e "/tmp/.X11-unix/X$number" ] && break
      sleep 0.25
    done
  fi
fi

# One server for the prefix, in a session of its own so that a test runner
# ending a test's process group leaves it up for the next test: a cold Wine
# start costs seconds per program, a warm one a few tenths. It ends by itself
# a minute after its last client. (When one already runs, this one just exits.)
mkdir -p "$WINEPREFIX"
setsid -f wineserver -p60 >/dev/null 2>&1 || true

# Bring up the prefix (created on first use) and its own processes (services,
# RPC, the desktop) with no handle on our output: started from a test instead,
# they would hold its output pipe open until the server ends, and the test
# runner would wait that long for the test.
# WINELOADER tells Wine which loader starts further programs: a 64-bit
# process starting a 32-bit program takes the 32-bit loader beside it.
export WINELOADER="$wine64"
# A server that is still starting or ending can refuse one client: once more,
# then say so.
if ! "$wine64" wineboot >/dev/null 2>&1 </dev/null; then
  sleep 1
  "$wine64" wineboot >/dev/null 2>&1 </dev/null ||
    { echo "wine-run.sh: wineboot failed twice in $WINEPREFIX" >&2; exit 1; }
fi
# Wine's own fonts (Debian package fonts-wine: Tahoma, the dialogs' font, and
# Marlett, which draws the title bars' buttons) are not found in Wine's data
# folder by Wine 8 as Debian ships it: without them windows show DejaVu and
# "0 1 r" for their buttons. Linked into the prefix's Fonts folder they are
# found, and windows look as on Windows.
fonts=/usr/share/wine/fonts
if [ -f "$fonts/tahoma.ttf" ] && [ -d "$WINEPREFIX/drive_c/windows/Fonts" ] &&
  [ ! -e "$WINEPREFIX/drive_c/windows/Fonts/tahoma.ttf" ]; then
  for font in "$fonts"/*; do
    ln -sf "$font" "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
  done
fi
if [ "${1:-}" = "--boot" ]; then
  # Xvfb has no window manager: unmanaged windows close at once instead of
  # Wine waiting two seconds for a manager to withdraw each one.
  "$wine64" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  # A program that crashes ends with its report on the error output instead of
  # a crash dialog that nobody closes.
  "$wine64" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
    >/dev/null 2>&1
  exit 0
fi

# The machine type in the PE header of a program file: 014c is i386.
pe_machine() {
  offset=$(od -An -tu4 -j60 -N4 "$1" 2>/dev/null | tr -d ' ')
  [ -n "$offset" ] && od -An -tx2 -j$((offset + 4)) -N2 "$1" 2>/dev/null | tr -d ' '
}

if [ -f "$1" ] && [ "$(pe_machine "$1")" = 014c ]; then
  answer=$(sh "$here/wine-probe.sh")
  if [ "$answer" != yes ]; then
    echo "wine-run.sh: $1 is a 32-bit program, and this machine cannot start 32-bit programs (${answer#no: })" >&2
    exit 77
  fi
  export WINELOADER="$wine32"
  exec "$wine32" "$@"
fi
exec "$wine64" "$@"
