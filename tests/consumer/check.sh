#!/usr/bin/env bash
# The installed package as users meet it: installs the build BUILD_DIR into a
# temporary prefix, builds the consumer programs of this folder against it
# twice, with find_package(Vandrel) and with a plain compiler line from
# pkg-config, and runs each build: zxing-cpp must read the EAN-13 picture the
# components program draws, TScanBarCode the PDF417 picture, and the engines
# program must give the module string that the installed tool gives.
# Usage: check.sh BUILD_DIR LIBDIR (LIBDIR relative to the prefix, e.g. lib)
set -euo pipefail
build=$(realpath "$1")
libdir=$2
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
export QT_QPA_PLATFORM=offscreen

cmake --install "$build" --prefix "$prefix" >/dev/null

fail() {
  echo "$*" >&2
  exit 1
}

# run NAME COMPONENTS_PROGRAM ENGINES_PROGRAM
run() {
  local name=$1 components=$2 engines=$3
  "$components" "$work/$name-ean13.png" "$work/$name-pdf417.png" >/dev/null
  local read
  read=$(ZXingReader -format EAN-13 "$work/$name-ean13.png")
  grep -q '^Text: *"4006381333931"' <<<"$read" || fail "$name: zxing-cpp reads no EAN-13 4006381333931: $read"
  local modules
  modules=$("$prefix/bin/vandrel" modules --type EAN13 --value 400638133393)
  [ "$("$engines")" = "$modules" ] || fail "$name: the engines give another module string than the tool"
  echo "$name: ok"
}

cmake -S "$here" -B "$work/cmake" -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
cmake --build "$work/cmake" -j 2 >/dev/null
run find_package "$work/cmake/vandrel-consumer" "$work/cmake/vandrel-engines-consumer"

# With pkg-config, as a Makefile builds; its output is split into words on
# purpose. Qt, built with reduced relocations, wants -fPIC.
export PKG_CONFIG_PATH=$prefix/$libdir/pkgconfig
# Every installed header compiles from the installed tree, without a warning
# that would stop a user's -Werror build: none of them reaches for a header
# that stays private.
for header in "$prefix"/include/vandrel/*.h; do
  echo "#include <vandrel/${header##*/}>"
done >"$work/headers.cpp"
c++ -std=c++20 -fPIC -fsyntax-only -Wall -Wextra -Werror "$work/headers.cpp" $(pkg-config --cflags vandrel)
rpath=-Wl,-rpath,$(pkg-config --variable=libdir vandrel)
c++ -std=c++20 -fPIC "$here/Components.cpp" -o "$work/components" $(pkg-config --cflags --libs vandrel) "$rpath"
c++ -std=c++20 -fPIC "$here/Engines.cpp" -o "$work/engines" $(pkg-config --cflags --libs vandrel-engines) "$rpath"
run pkg-config "$work/components" "$work/engines"
