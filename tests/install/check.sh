#!/usr/bin/env bash
# The module as hosts get it from a build tree: an install in a temporary
# prefix, used by a host through find_package and through pkg-config; the
# README's programs (the module alone, and the formats library reading a LAS
# file into a project), built both ways; the installed host program; the
# Debian packages, each on its own and all of them unpacked together and
# used; and the module built as a subdirectory of a host's own CMake build.
# Usage: tests/install/check.sh BUILD_DIR   (a build without sanitizers)
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(cd "$here/../.." && pwd)
build=$(cd "$1" && pwd)
work=$(mktemp -d /tmp/strataloom-install.XXXXXX)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
jobs=$(nproc)
multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH 2>/dev/null || gcc -print-multiarch)
las=$source_dir/share/demo/DEMO-1.las

step() { echo "== $*"; }
fail() {
  echo "FAIL $*" >&2
  exit 1
}

# The code block of the README that follows the heading $1, fenced as $2.
readme_block() {
  awk -v heading="$1" -v fence="$2" '
     $0 == heading { section = 1 }
     section && $0 == "```" fence { inside = 1; next }
     inside && /^```/ { exit }
     inside { print }' "$source_dir/README.md"
}

# Runs the README's formats program ($1) on a fresh folder ($2) with the
# template of data folder $3, and checks what it imported.
run_las2project() {
  mkdir "$2"
  "$1" "$2" "$3/template" "$las" >"$2.out" || fail "$1 failed: $(cat "$2.out")"
  grep -q "well DEMO-1: 5 curves x 1200 depth steps" "$2.out" || fail "$1 said: $(cat "$2.out")"
  [ -f "$2/Logs/Logs.mdb" ] || fail "$1 made no project"
}

readme_block "## A first program" cpp >"$work/first.cpp"
readme_block "### The formats library in a program" cpp >"$work/las2project.cpp"
[ -s "$work/first.cpp" ] || fail "README.md has no first program"
[ -s "$work/las2project.cpp" ] || fail "README.md has no program on the formats library"

step "install into a temporary prefix, libraries in the multiarch folder"
cmake --install "$build" --prefix "$prefix" >/dev/null
stale=$(grep -rIl -- "$build" "$prefix" || true)
[ -z "$stale" ] || fail "installed files name the build tree: $stale"
for file in libstrataloom.so.0 libQuernxml.so.0 libQuernxml.so libstrataloom_formats.a; do
  [ -e "$prefix/lib/$multiarch/$file" ] || fail "the install lacks lib/$multiarch/$file"
done
objdump -p "$prefix/lib/$multiarch/libQuernxml.so" | grep -q "SONAME *libQuernxml.so.0" ||
  fail "libQuernxml.so has no soname"

step "hosts through find_package(strataloom CONFIG): the module, and the formats library"
cmake -S "$here" -B "$work/cmake-host" -DCMAKE_PREFIX_PATH="$prefix" \
  -DLAS2PROJECT_SOURCE="$work/las2project.cpp" >/dev/null
cmake --build "$work/cmake-host" -j"$jobs" >/dev/null
mkdir "$work/cmake-run"
"$work/cmake-host/install_host" "$(cat "$work/cmake-host/data_dir.txt")" "$work/cmake-run"
run_las2project "$work/cmake-host/las2project" "$work/cmake-las" "$(cat "$work/cmake-host/data_dir.txt")"

step "hosts through pkg-config: the module, the README's first program, the formats library"
PKG_CONFIG_PATH=$(dirname "$(find "$prefix" -name strataloom.pc)")
export PKG_CONFIG_PATH
libdir=$(pkg-config --variable=libdir strataloom)
datadir=$(pkg-config --variable=datadir strataloom)
# shellcheck disable=SC2046
c++ -std=c++17 "$here/install_host.cpp" -o "$work/pc_host" \
  $(pkg-config --cflags --libs strataloom) -Wl,-rpath,"$libdir"
mkdir "$work/pc-run"
"$work/pc_host" "$datadir" "$work/pc-run"
# shellcheck disable=SC2046
c++ -std=c++17 "$work/first.cpp" -o "$work/first" \
  $(pkg-config --cflags --libs strataloom) -Wl,-rpath,"$libdir"
mkdir "$work/first-run"
"$work/first" "$work/first-run" "$datadir/template"
# shellcheck disable=SC2046
c++ "$work/las2project.cpp" -o "$work/pc_las2project" \
  $(pkg-config --cflags --libs strataloom-formats) -Wl,-rpath,"$libdir"
run_las2project "$work/pc_las2project" "$work/pc-las" "$datadir"

step "the installed host program finds its module and template"
"$prefix/bin/strataloom" demo "$work/demo-run" >/dev/null
[ -f "$work/demo-run/Demo/Demo.mdb" ] || fail "the installed demo made no project"

step "the Debian packages, split as Debian splits a library"
(cd "$build" && cpack -G DEB -B "$work/package" >/dev/null)
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
deb() {
  local found
  found=$(ls "$work/package/$1_${version}"-*.deb 2>/dev/null) || fail "no package $1"
  echo "$found"
}
# package: files it must hold (paths under /usr)
declare -A holds=(
  [libstrataloom0]="lib/$multiarch/libstrataloom.so.0 lib/$multiarch/libstrataloom.so.$version lib/$multiarch/libQuernxml.so.0 lib/$multiarch/libQuernxml.so"
  [strataloom-data]="share/strataloom/template/Projects.mdb share/strataloom/welltrove.bak"
  [libstrataloom-dev]="lib/$multiarch/libstrataloom.so include/strataloom/strataloom.h include/strataloom/version.h include/strataloom/formats/lasimport.h lib/$multiarch/libstrataloom_formats.a lib/$multiarch/cmake/strataloom/strataloomConfig.cmake lib/$multiarch/cmake/strataloom/strataloomTargets.cmake lib/$multiarch/pkgconfig/strataloom.pc lib/$multiarch/pkgconfig/strataloom-formats.pc"
  [strataloom]="bin/strataloom share/man/man1/strataloom.1.gz"
)
declare -A depends=([libstrataloom0]="strataloom-data" [libstrataloom-dev]="libstrataloom0 (= $version-"
  [strataloom]="libstrataloom0" [strataloom-data]="")
for package in "${!holds[@]}"; do
  file=$(deb "$package")
  # Files and links, without the folders that packages share.
  dpkg-deb -c "$file" | awk '$1 !~ /^d/ { print $6 }' | sed 's|^\./||' >"$work/$package.contents"
  for path in ${holds[$package]} share/doc/$package/copyright share/doc/$package/changelog.Debian.gz; do
    grep -qx -- "usr/$path" "$work/$package.contents" || fail "$package lacks /usr/$path"
  done
  [ "$(dpkg-deb -f "$file" Package)" = "$package" ] || fail "$file is not named $package"
  [ -z "${depends[$package]}" ] || dpkg-deb -f "$file" Depends | grep -qF -- "${depends[$package]}" ||
    fail "$package does not depend on ${depends[$package]}: $(dpkg-deb -f "$file" Depends)"
done
# No file in two packages: they install side by side.
twice=$(cat "$work"/*.contents | sort | uniq -d)
[ -z "$twice" ] || fail "files in more than one package: $twice"
[ "$(dpkg-deb -f "$(deb strataloom-data)" Architecture)" = all ] || fail "strataloom-data is not Architecture: all"
# The run-time library: its soname in the package's name, a shlibs file, the
# loader cache renewed by dpkg's trigger.
runtime_control=$work/runtime-control
dpkg-deb -e "$(deb libstrataloom0)" "$runtime_control"
grep -q "^libstrataloom 0 libstrataloom0" "$runtime_control/shlibs" || fail "libstrataloom0 has no shlibs entry"
grep -q "^activate-noawait ldconfig" "$runtime_control/triggers" || fail "libstrataloom0 has no ldconfig trigger"
dpkg-deb --fsys-tarfile "$(deb strataloom)" | tar -xOf - ./usr/share/man/man1/strataloom.1.gz | zcat >"$work/strataloom.1"
# Read from a file: grep -q leaving a pipe early would fail the pipe under pipefail.
sed 's/\\-/-/g' "$work/strataloom.1" >"$work/strataloom.1.txt"
for command in create-project import-las export-csv las-info plot; do
  grep -q "^\.B strataloom $command" "$work/strataloom.1.txt" || fail "the manual page lacks $command"
done
for option in --replace --create-project --depth-unit --unit --depth; do
  grep -q -- "$option" "$work/strataloom.1.txt" || fail "the manual page lacks $option"
done
if command -v man >/dev/null; then
  man -l "$work/strataloom.1" >/dev/null 2>"$work/man.err" && [ ! -s "$work/man.err" ] ||
    fail "the manual page does not format: $(cat "$work/man.err")"
fi
if [ "$(id -u)" -eq 0 ]; then  # dpkg checks dependencies for the superuser only
  dpkg --dry-run -i "$work"/package/*.deb >/dev/null || fail "the packages do not install together"
fi

step "the packages unpacked together are used as installed"
root=$work/root
for package in "${!holds[@]}"; do dpkg-deb -x "$(deb "$package")" "$root"; done
"$root/usr/bin/strataloom" demo "$work/deb-demo" >/dev/null
[ -f "$work/deb-demo/Demo/Demo.mdb" ] || fail "the packaged demo made no project"
PKG_CONFIG_PATH=$root/usr/lib/$multiarch/pkgconfig
# shellcheck disable=SC2046
c++ "$work/las2project.cpp" -o "$work/deb_las2project" \
  $(pkg-config --cflags --libs strataloom-formats) -Wl,-rpath,"$root/usr/lib/$multiarch"
run_las2project "$work/deb_las2project" "$work/deb-las" "$root/usr/share/strataloom"
cmake -S "$here" -B "$work/deb-cmake" -DCMAKE_PREFIX_PATH="$root/usr" \
  -DLAS2PROJECT_SOURCE="$work/las2project.cpp" >/dev/null
cmake --build "$work/deb-cmake" -j"$jobs" >/dev/null
run_las2project "$work/deb-cmake/las2project" "$work/deb-cmake-las" "$root/usr/share/strataloom"

step "the module as a subdirectory of a host's build"
cmake -S "$here/subdir" -B "$work/subdir" -DSTRATALOOM_SOURCE_DIR="$source_dir" \
  -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$work/subdir" -j"$jobs" --target subdir_host template >/dev/null
mkdir "$work/subdir-run"
"$work/subdir/subdir_host" "$work/subdir/strataloom/share/strataloom" "$work/subdir-run"

echo "install check passed"
