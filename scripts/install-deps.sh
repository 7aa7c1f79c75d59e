#!/usr/bin/env bash
# Installs what the build and the tests need on a Debian machine: the native
# toolchain, the MinGW-w64 cross compilers for 32- and 64-bit Windows, Wine
# with its 32- and 64-bit halves (hosts that cannot start 32-bit programs
# still install the 32-bit half where the mirror has it, and run the 64-bit
# build), a virtual X display, the test and benchmark libraries, the Python
# AES-GCM of the key-file tests' reference writer, NSIS for the Windows
# installer, and clang with libFuzzer for the fuzz targets.
# Safe to run again: packages already present are left alone.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  googletest libgtest-dev libbenchmark-dev
  mingw-w64 g++-mingw-w64-i686 binutils-mingw-w64-i686
  g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64
  wine wine32 wine64 xvfb xauth x11-utils imagemagick fonts-wine
  openssl libssl-dev hyperfine python3 python3-cryptography valgrind nsis
  clang-14 libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
# An index that fails its check (a mirror in the middle of a sync) leaves
# its packages out, which matters only if they are needed.
$sudo apt-get update -q || echo "install-deps: going on with the package indexes that came" >&2
if ! $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"; then
  # Without the i386 indexes the 32-bit half of Wine cannot be installed:
  # the rest can, and the Windows tests run as 64-bit programs (build.sh).
  rest=()
  for p in "${missing[@]}"; do [ "$p" = wine32 ] || rest+=("$p"); done
  [ ${#rest[@]} -lt ${#missing[@]} ] || exit 1
  echo "install-deps: installing all but the 32-bit half of Wine" >&2
  $sudo apt-get install -y -q --no-install-recommends "${rest[@]}"
fi
