#!/usr/bin/env bash
# Installs, through apt-get, whatever this machine lacks to build and test
# Parvel: both mingw-w64 toolchains, Wine (64-bit, and 32-bit where this
# machine can start 32-bit programs) with its own fonts (fonts-wine, only
# recommended by Wine's packages, which are installed without recommendations:
# Tahoma and the title bars' Marlett, so that windows and the guide's pictures
# look as on Windows), Xvfb, GoogleTest, Google Benchmark,
# nlohmann-json, the formatting tools, and clang with its sanitizer and
# libFuzzer runtimes (llvm puts llvm-symbolizer on the PATH, so that sanitizer
# reports name files and lines), NSIS for the setup program, wixl and msitools
# for the Windows Installer packages, and osslsigncode with openssl for code
# signing and its test, and ICU with Unicode CLDR's transforms, from which the
# build writes the add-in's transliteration table.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
  cmake ninja-build g++ clang clang-format clang-tidy libclang-rt-14-dev llvm
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix mingw-w64-tools
  wine wine64 libwine-dev fonts-wine xvfb xauth
  googletest libbenchmark-dev nlohmann-json3-dev nsis wixl msitools osslsigncode openssl
  libicu-dev unicode-cldr-core
)

sudo_if_needed() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# Wine's 32-bit half only where the kernel starts 32-bit programs: elsewhere
# it could not run, and its packages' own set-up scripts fail there.
if [ "$(sh cmake/wine-probe.sh --kernel)" = yes ]; then
  packages+=(wine32:i386)
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    sudo_if_needed dpkg --add-architecture i386
    need_update=1
  fi
fi

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done

if [ "${#missing[@]}" -gt 0 ] || [ -n "${need_update:-}" ]; then
  echo "Installing: ${missing[*]:-(package lists only)}"
  sudo_if_needed apt-get update -q
  if [ "${#missing[@]}" -gt 0 ]; then
    sudo_if_needed env DEBIAN_FRONTEND=noninteractive \
      apt-get install -y -q --no-install-recommends "${missing[@]}"
  fi
fi
