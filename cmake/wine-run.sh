#!/bin/sh
# Runs a Windows program under Wine in the build's private prefix.
# "--boot" only prepares the prefix (a fresh one takes a few seconds).
set -eu
: "${PARVEL_WINEPREFIX:?PARVEL_WINEPREFIX names the Wine prefix}"
export WINEPREFIX="$PARVEL_WINEPREFIX"
export WINEDEBUG="${WINEDEBUG:--all}"
# No Mono or Gecko downloads: the prefix must boot without a network.
export WINEDLLOVERRIDES="mscoree,mshtml="
# A pinned locale gives the ANSI code page Windows-1252 and English month names.
export LANG=en_US.UTF-8 LC_ALL=en_US.UTF-8

# Wine needs an X display for windows, the clipboard and its desktop process;
# without one, start a private virtual display that later runs share.
if [ -z "${DISPLAY:-}" ]; then
  export DISPLAY=:77
  if [ ! -e /tmp/.X77-lock ]; then
    nohup Xvfb :77 -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    for _ in 1 2 3 4 5 6 7 8 9 10; do
      [ -e /tmp/.X11-unix/X77 ] && break
      sleep 0.5
    done
  fi
fi

# One server for the prefix, in a session of its own so that a test runner
# ending a test's process group leaves it up for the next test: a cold Wine
# start costs seconds per program, a warm one a few tenths. It ends by itself
# a minute after its last client. (When one already runs, this one just exits.)
mkdir -p "$WINEPREFIX"
setsid -f wineserver -p60 >/dev/null 2>&1 || true

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  wine wineboot -i >/dev/null 2>&1
elif [ "${1:-}" = "--boot" ]; then
  # Start Wine's own processes here, away from the output pipes of a test:
  # a test that started them would wait for them until the server ends.
  wine wineboot >/dev/null 2>&1
fi
if [ "${1:-}" = "--boot" ]; then
  # Xvfb has no window manager: unmanaged windows close at once instead of
  # Wine waiting two seconds for a manager to withdraw each one.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
fi
[ "${1:-}" = "--boot" ] && exit 0
exec wine "$@"
