#!/usr/bin/env bash
# Installs, with apt-get, whatever the build and the tests need and this machine lacks.
# Extras by name: `setup.sh fuzz` adds clang and its libFuzzer runtime for `make fuzz`,
# `setup.sh bench` FFTW for the comparison cases of `make bench`, `setup.sh r` R for the
# scripts under scripts/bench and scripts/reference. `make test` asks for none of them.
set -euo pipefail
pkgs=(cmake make g++ libgtest-dev libbenchmark-dev libopenblas-dev
      g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix gfortran-mingw-w64-x86-64-posix
      binutils-mingw-w64-x86-64 wine wine64 fonts-wine xvfb xauth console-setup-linux)
for extra in "$@"; do
  case "$extra" in
    fuzz) pkgs+=(clang-14 libclang-rt-14-dev) ;;
    bench) pkgs+=(libfftw3-dev) ;;
    r) pkgs+=(r-base-core) ;;
    *) echo "setup: unknown extra '$extra' (fuzz, bench, r)" >&2; exit 2 ;;
  esac
done
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
