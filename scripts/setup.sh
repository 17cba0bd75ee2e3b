#!/usr/bin/env bash
# Installs, with apt-get, whatever the build and the tests need and this machine lacks.
# `setup.sh fuzz` adds clang and its libFuzzer runtime for `make fuzz`.
set -euo pipefail
pkgs=(cmake make g++ libgtest-dev libbenchmark-dev libopenblas-dev
      g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix gfortran-mingw-w64-x86-64-posix
      binutils-mingw-w64-x86-64 wine wine64 fonts-wine xvfb xauth console-setup-linux)
[ "${1:-}" = fuzz ] && pkgs+=(clang-14 libclang-rt-14-dev)
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "setup: installing ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
