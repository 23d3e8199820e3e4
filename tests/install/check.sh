#!/usr/bin/env bash
# The module as hosts get it from a build tree: an install in a temporary
# prefix, used by a host through find_package and through pkg-config; the
# README's programs (the module alone, and the formats library reading a LAS
# file into a project), built both ways; the installed host program; the
# Debian packages, each on its own and all of them used together: as the
# superuser installed into the system with apt-get, used from /usr and purged
# again, leaving none of their files; otherwise unpacked into a folder; and
# the module built as a subdirectory of a host's own CMake build.
# Usage: tests/install/check.sh BUILD_DIR   (a build without sanitizers)
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(cd "$here/../.." && pwd)
build=$(cd "$1" && pwd)
work=$(mktemp -d /tmp/strataloom-install.XXXXXX)
# The packages installed into the system (the names of the built ones), and
# whether this check installed them: then it purges them on every way out.
system_packages=()
installed_here=0

# The packages of system_packages that dpkg knows in any state but "not installed".
known_packages() {
  local package
  for package in "${system_packages[@]}"; do
    dpkg-query -W -f='${Status}\n' "$package" 2>/dev/null | grep -qv ' not-installed$' &&
      echo "$package"
  done
  return 0
}

purge_packages() {
  local present
  mapfile -t present < <(known_packages)
  [ "${#present[@]}" -eq 0 ] && return 0
  DEBIAN_FRONTEND=noninteractive apt-get purge -y -q -o DPkg::Lock::Timeout=600 "${present[@]}" \
    >"$work/purge.log" 2>&1 ||
    # An install broken half-way can leave dependencies apt-get will not resolve.
    dpkg --purge --force-depends "${present[@]}" >>"$work/purge.log" 2>&1
}

# On every way out, a check that installed the packages purges them again.
clean_up() {
  if [ "$installed_here" -eq 1 ]; then
    purge_packages || {
      echo "FAIL could not purge ${system_packages[*]}:" >&2
      cat "$work/purge.log" >&2
    }
  fi
  rm -rf "$work"
}
trap clean_up EXIT
trap 'exit 130' INT TERM HUP
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
# grep reads to the end (no -q): a writer cut short fails the pipe under pipefail.
objdump -p "$prefix/lib/$multiarch/libQuernxml.so" | grep "SONAME *libQuernxml.so.0" >/dev/null ||
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
  grep "^\.B strataloom $command" "$work/strataloom.1.txt" >/dev/null ||
    fail "the manual page lacks $command"
done
for option in --replace --create-project --depth-unit --unit --depth; do
  grep -- "$option" "$work/strataloom.1.txt" >/dev/null || fail "the manual page lacks $option"
done
if command -v man >/dev/null; then
  man -l "$work/strataloom.1" >/dev/null 2>"$work/man.err" && [ ! -s "$work/man.err" ] ||
    fail "the manual page does not format: $(cat "$work/man.err")"
fi

# Uses the packages' files under root (/ when installed): the host program,
# the module and the formats library through find_package and pkg-config.
use_packaged() {
  local root=$1 name=$2 usr=${1%/}/usr
  "$usr/bin/strataloom" demo "$work/$name-demo" >/dev/null
  [ -f "$work/$name-demo/Demo/Demo.mdb" ] || fail "the packaged demo made no project"
  "$usr/bin/strataloom" projects "$work/$name-demo/Demo" --format csv >"$work/$name-projects.csv"
  grep -qx $'Demo,yes,3\r' "$work/$name-projects.csv" ||
    fail "the packaged program lists the demo's projects as: $(cat "$work/$name-projects.csv")"
  local pc=$usr/lib/$multiarch/pkgconfig
  local rpath=("-Wl,-rpath,$usr/lib/$multiarch")
  if [ "$root" = / ]; then
    rpath=()  # the loader finds the installed module by itself
    [ "$(realpath "$(PKG_CONFIG_PATH='' pkg-config --variable=pcfiledir strataloom-formats)")" = "$pc" ] ||
      fail "pkg-config does not find the installed strataloom-formats in $pc"
  fi
  # shellcheck disable=SC2046
  c++ "$work/first.cpp" -o "$work/$name-first" \
    $(PKG_CONFIG_PATH=$pc pkg-config --cflags --libs strataloom) "${rpath[@]}"
  mkdir "$work/$name-first-run"
  "$work/$name-first" "$work/$name-first-run" "$usr/share/strataloom/template"
  # shellcheck disable=SC2046
  c++ "$work/las2project.cpp" -o "$work/$name-las2project" \
    $(PKG_CONFIG_PATH=$pc pkg-config --cflags --libs strataloom-formats) "${rpath[@]}"
  run_las2project "$work/$name-las2project" "$work/$name-las" "$usr/share/strataloom"
  local prefix_path=()
  [ "$root" = / ] || prefix_path=(-DCMAKE_PREFIX_PATH="$usr")
  cmake -S "$here" -B "$work/$name-cmake" "${prefix_path[@]}" \
    -DLAS2PROJECT_SOURCE="$work/las2project.cpp" >/dev/null
  cmake --build "$work/$name-cmake" -j"$jobs" >/dev/null
  [ "$(cat "$work/$name-cmake/data_dir.txt")" = "$usr/share/strataloom" ] ||
    fail "find_package found the data folder $(cat "$work/$name-cmake/data_dir.txt"), not $usr/share/strataloom"
  mkdir "$work/$name-cmake-run"
  "$work/$name-cmake/install_host" "$usr/share/strataloom" "$work/$name-cmake-run"
  run_las2project "$work/$name-cmake/las2project" "$work/$name-cmake-las" "$usr/share/strataloom"
  if [ "$root" = / ]; then
    ldd "$work/$name-cmake/install_host" |
      grep -E " (/usr)?/lib/$multiarch/libstrataloom\.so\.0 " >/dev/null ||
      fail "the CMake host does not load the installed module: $(ldd "$work/$name-cmake/install_host")"
  fi
}

if [ "$(id -u)" -eq 0 ]; then
  step "the packages installed into the system with apt-get, used together, and purged"
  # One check at a time on a machine installs and purges these packages.
  exec 9>/run/lock/strataloom-install-check.lock
  flock -w 1800 9 || fail "another install check holds /run/lock/strataloom-install-check.lock"
  for file in "$work"/package/*.deb; do system_packages+=("$(dpkg-deb -f "$file" Package)"); done
  already=$(known_packages)
  [ -z "$already" ] ||
    fail "already on this system, left alone: $already (the check installs and purges its own)"
  installed_here=1
  DEBIAN_FRONTEND=noninteractive apt-get install -y -q -o DPkg::Lock::Timeout=600 \
    "$work"/package/*.deb >"$work/install.log" 2>&1 ||
    fail "apt-get could not install the packages: $(tail -n 20 "$work/install.log")"
  : >"$work/owned"
  for package in "${system_packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" | grep -q "install ok installed" ||
      fail "$package is not installed"
    dpkg -L "$package" >>"$work/owned"
  done
  # Where /lib is /usr/lib the cache may name either.
  ldconfig -p | grep -E "libstrataloom\.so\.0 .*=> (/usr)?/lib/$multiarch/libstrataloom\.so\.0$" >/dev/null ||
    fail "the loader cache does not know the installed module"
  use_packaged / system
  purge_packages || fail "apt-get could not purge the packages: $(tail -n 20 "$work/purge.log")"
  installed_here=0
  [ -z "$(known_packages)" ] || fail "left after the purge: $(known_packages)"
  # Every file and link of theirs gone, and every folder of their own.
  left=$(sort -u "$work/owned" | while read -r path; do
    case $path in /usr/*) ;; *) continue ;; esac
    if [ -L "$path" ] || [ -f "$path" ] || { [ -d "$path" ] && [[ $path == *strataloom* ]]; }; then
      echo "$path"
    fi
  done)
  [ -z "$left" ] || fail "left under /usr after the purge: $left"
else
  step "the packages unpacked together are used as installed"
  root=$work/root
  for package in "${!holds[@]}"; do dpkg-deb -x "$(deb "$package")" "$root"; done
  use_packaged "$root" deb
fi

step "the module as a subdirectory of a host's build"
cmake -S "$here/subdir" -B "$work/subdir" -DSTRATALOOM_SOURCE_DIR="$source_dir" \
  -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$work/subdir" -j"$jobs" --target subdir_host template >/dev/null
mkdir "$work/subdir-run"
"$work/subdir/subdir_host" "$work/subdir/strataloom/share/strataloom" "$work/subdir-run"

echo "install check passed"
