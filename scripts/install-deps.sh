#!/usr/bin/env bash
# Installs every Debian package that building, testing and the tools need.
# Idempotent: packages already present are left as they are.
set -euo pipefail
export DEBIAN_FRONTEND=noninteractive

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev libqt6sql6-sqlite libgl-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  libuemf-dev fontconfig fonts-dejavu-core
  qt6-svg-dev qt6-image-formats-plugins poppler-utils
  # The Designer plugin: Qt Designer's headers and libraries (whose CMake
  # package needs Qt OpenGL's) and Designer itself.
  qt6-tools-dev qt6-tools-dev-tools libqt6opengl6-dev
  libzxing-dev zxing-cpp-tools libzint-dev zint libbotan-2-dev
  # The tool writes its PNG files with zlib's checksums.
  zlib1g-dev
  cups cups-client cups-bsd printer-driver-cups-pdf
  # The house style check and the fuzz targets (libFuzzer).
  clang-format clang
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  $SUDO apt-get update -q
  $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
