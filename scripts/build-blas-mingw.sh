#!/usr/bin/env bash
# Builds the reference BLAS from Debian's lapack source package with the mingw-w64 Fortran compiler.
# Usage: build-blas-mingw.sh OUTDIR   (leaves OUTDIR/libblas.a; does nothing when it exists)
set -euo pipefail
out=$(realpath -m "$1")
[ -f "$out/libblas.a" ] && exit 0
mkdir -p "$out"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"

# Source entries are derived from the machine's own Debian entries; no host is named here.
srcfile=/etc/apt/sources.list.d/vesk-deb-src.sources
if ! grep -rqs "deb-src" /etc/apt/sources.list /etc/apt/sources.list.d/; then
  tmp=$(mktemp)
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    # Keep the stanzas signed by Debian's archive key, turned into source entries.
    awk 'BEGIN{RS="";ORS="\n\n"} /debian-archive-keyring/ {sub(/Types: deb/,"Types: deb-src"); print}' "$f" >> "$tmp"
  done
  if [ -s "$tmp" ]; then
    $sudo cp "$tmp" "$srcfile"
  elif [ -f /etc/apt/sources.list ]; then
    # One-line format only: every binary entry gets its source twin.
    grep -E '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' > "$tmp.list" || true
    [ -s "$tmp.list" ] && $sudo cp "$tmp.list" /etc/apt/sources.list.d/vesk-deb-src.list
  fi
  rm -f "$tmp" "$tmp.list"
  $sudo apt-get update -q
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
(cd "$work" && apt-get source --download-only -q lapack >/dev/null)
tarball=$(ls "$work"/lapack_*.orig.tar.* | head -n 1)
tar -xf "$tarball" -C "$work"
srcdir=$(ls -d "$work"/lapack-*/BLAS/SRC | head -n 1)
mkdir -p "$work/obj"
ls "$srcdir"/*.f "$srcdir"/*.f90 2>/dev/null |
  xargs -P "$(nproc)" -I{} sh -c 'x86_64-w64-mingw32-gfortran-posix -O2 -c "$1" -o "$2/$(basename "$1").o"' _ {} "$work/obj"
x86_64-w64-mingw32-ar rcs "$out/libblas.a.tmp" "$work"/obj/*.o
mv "$out/libblas.a.tmp" "$out/libblas.a"
echo "build-blas-mingw: $(ls "$work"/obj | wc -l) objects in $out/libblas.a"
