#!/usr/bin/env bash
# Builds Horatab's Debian package on a fresh clone: installs what the build
# needs, makes a Release build with Debian's hardening flags in
# build-package (BUILD_DIR) and packs it with CPack. Prints the .deb's path.
#   scripts/build_package.sh
# CMAKE_ARGS adds configure flags (for example a compiler launcher).
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build_dir="${BUILD_DIR:-$root/build-package}"

"$root/scripts/install_packages.sh" package \
  build-essential cmake pkg-config dpkg-dev file \
  libpugixml-dev libminizip-dev zlib1g-dev qt6-base-dev librsvg2-bin

export DEB_BUILD_MAINT_OPTIONS="hardening=+all"
cppflags="$(dpkg-buildflags --get CPPFLAGS)"

# shellcheck disable=SC2086
cmake -S "$root" -B "$build_dir" -DCMAKE_BUILD_TYPE=Release -DHORATAB_BUILD_TESTS=OFF \
  -DCMAKE_C_FLAGS="$(dpkg-buildflags --get CFLAGS) $cppflags" \
  -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CXXFLAGS) $cppflags" \
  -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" \
  ${CMAKE_ARGS:-} >/dev/null
cmake --build "$build_dir" --parallel "$(nproc)"

rm -f "$build_dir"/horatab_*.deb
(cd "$build_dir" && cpack -G DEB >/dev/null)
ls "$build_dir"/horatab_*.deb
