#!/bin/sh
# Tells whether this machine can start 32-bit programs. Some machines of our
# kind run a kernel without 32-bit support: there Wine's 32-bit loader fails
# with "Exec format error", no 32-bit Windows program can run, and only the
# 64-bit loader works. Prints "yes", or "no: <why>", and exits 0.
#
#   wine-probe.sh           Wine's 32-bit loader (the answer the builds use)
#   wine-probe.sh --kernel  the kernel alone, before Wine is installed
set -u

wine32=/usr/lib/wine/wine

kernel_runs_32bit() {
  # The smallest i386 ELF program: exit(42) through int 0x80. A kernel
  # without 32-bit support refuses to start it.
  dir=$(mktemp -d) || return 1
  printf '\177ELF\001\001\001\000\000\000\000\000\000\000\000\000\002\000\003\000\001\000\000\000\124\200\004\010\064\000\000\000\000\000\000\000\000\000\000\000\064\000\040\000\001\000\000\000\000\000\000\000\001\000\000\000\000\000\000\000\000\200\004\010\000\200\004\010\140\000\000\000\140\000\000\000\005\000\000\000\000\020\000\000\270\001\000\000\000\273\052\000\000\000\315\200' \
    >"$dir/probe"
  chmod +x "$dir/probe"
  "$dir/probe" 2>/dev/null
  code=$?
  rm -rf "$dir"
  [ "$code" = 42 ]
}

if [ "${1:-}" = "--kernel" ]; then
  if kernel_runs_32bit; then echo yes; else echo "no: this kernel cannot start 32-bit programs"; fi
  exit 0
fi

if [ ! -x "$wine32" ]; then
  echo "no: Wine's 32-bit loader $wine32 is not installed"
elif error=$("$wine32" --version 2>&1 >/dev/null); then
  echo yes
else
  # The shell's "<script>: <line>: <loader>: Exec format error" to its last part.
  error=$(printf '%s' "$error" | head -n 1)
  echo "no: $wine32 does not start (${error##*: })"
fi
