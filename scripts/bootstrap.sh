#!/usr/bin/env bash
# Installs what a fresh Debian machine lacks to build and test kolektor:
# the mingw cross compilers (32-bit for the shipped build, 64-bit for the
# test build of machines that run no 32-bit programs), wine with its 32-bit
# and 64-bit parts, GoogleTest, Google Benchmark,
# clang with its sanitizer/fuzzer runtime, cmake and ninja, socat (serial
# ports for the Windows tests).
# Idempotent and quiet: packages already present are skipped.
set -euo pipefail

want=(g++ g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine wine32:i386 wine64 libgtest-dev googletest
      libbenchmark-dev clang libclang-rt-14-dev cmake ninja-build
      clang-format unzip time nsis osslsigncode openssl socat)

SUDO=""
if [ "$(id -u)" != 0 ]; then SUDO=sudo; fi

missing=()
for p in "${want[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi
echo "bootstrap: installing ${missing[*]}" >&2
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq >/dev/null
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
