#!/usr/bin/env bash
# The module as hosts get it from a build tree: an install in a temporary
# prefix, used by a host through find_package and through pkg-config; the
# README's first program; the installed host program; the Debian package's
# contents; and the module built as a subdirectory of a host's own CMake build.
# Usage: tests/install/check.sh BUILD_DIR   (a build without sanitizers)
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(cd "$here/../.." && pwd)
build=$(cd "$1" && pwd)
work=$(mktemp -d /tmp/strataloom-install.XXXXXX)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
jobs=$(nproc)

step() { echo "== $*"; }
fail() {
  echo "FAIL $*" >&2
  exit 1
}

step "install into a temporary prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null
stale=$(grep -rIl -- "$build" "$prefix" || true)
[ -z "$stale" ] || fail "installed files name the build tree: $stale"

step "a host through find_package(strataloom CONFIG)"
cmake -S "$here" -B "$work/cmake-host" -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
cmake --build "$work/cmake-host" -j"$jobs" >/dev/null
mkdir "$work/cmake-run"
"$work/cmake-host/install_host" "$(cat "$work/cmake-host/data_dir.txt")" "$work/cmake-run"

step "a host through pkg-config"
PKG_CONFIG_PATH=$(dirname "$(find "$prefix" -name strataloom.pc)")
export PKG_CONFIG_PATH
libdir=$(pkg-config --variable=libdir strataloom)
datadir=$(pkg-config --variable=datadir strataloom)
# shellcheck disable=SC2046
c++ -std=c++17 "$here/install_host.cpp" -o "$work/pc_host" \
  $(pkg-config --cflags --libs strataloom) -Wl,-rpath,"$libdir"
mkdir "$work/pc-run"
"$work/pc_host" "$datadir" "$work/pc-run"

step "the README's first program, as written"
awk '/^## A first program/ { section = 1 }
     section && /^```cpp/ { inside = 1; next }
     inside && /^```/ { exit }
     inside { print }' "$source_dir/README.md" >"$work/first.cpp"
[ -s "$work/first.cpp" ] || fail "README.md has no first program"
# shellcheck disable=SC2046
c++ -std=c++17 "$work/first.cpp" -o "$work/first" \
  $(pkg-config --cflags --libs strataloom) -Wl,-rpath,"$libdir"
mkdir "$work/first-run"
"$work/first" "$work/first-run" "$datadir/template"

step "the installed host program finds its module and template"
"$prefix/bin/strataloom" demo "$work/demo-run" >/dev/null
[ -f "$work/demo-run/Demo/Demo.mdb" ] || fail "the installed demo made no project"

step "the Debian package holds the same install"
(cd "$build" && cpack -G DEB -B "$work/package" >/dev/null)
deb=$(ls "$work"/package/strataloom_*.deb)
dpkg-deb -c "$deb" >"$work/contents"
for file in usr/bin/strataloom usr/include/strataloom/strataloom.h usr/include/strataloom/version.h \
  usr/share/strataloom/template/Projects.mdb usr/share/strataloom/welltrove.bak \
  strataloomConfig.cmake strataloomTargets.cmake pkgconfig/strataloom.pc libstrataloom.so.0; do
  grep -q -- "$file" "$work/contents" || fail "the package lacks $file"
done

step "the module as a subdirectory of a host's build"
cmake -S "$here/subdir" -B "$work/subdir" -DSTRATALOOM_SOURCE_DIR="$source_dir" \
  -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$work/subdir" -j"$jobs" --target subdir_host template >/dev/null
mkdir "$work/subdir-run"
"$work/subdir/subdir_host" "$work/subdir/strataloom/share/strataloom" "$work/subdir-run"

echo "install check passed"
