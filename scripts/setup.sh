#!/usr/bin/env bash
# Installs the Debian packages Horatab needs, configures and builds it.
#   scripts/setup.sh          set up and build
#   scripts/setup.sh --run    ... then export the bundled example timetable
#   scripts/setup.sh --test   ... then run the test suite
# BUILD_DIR (default: build) and CMAKE_ARGS (extra configure flags) may be set.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build_dir="${BUILD_DIR:-$root/build}"
mode="${1:-}"

packages=(
  build-essential cmake pkg-config
  libpugixml-dev libminizip-dev zlib1g-dev libicu-dev
  libgtest-dev
  qt6-base-dev desktop-file-utils
  librsvg2-bin appstream shared-mime-info xdg-utils libfile-mimeinfo-perl man-db
  python3 python3-openpyxl
  unzip time valgrind
)
# The test suite also opens hostile workbooks in LibreOffice and prints the
# print-ready workbook to PDF, whose pages poppler-utils counts.
[ "$mode" = --test ] && packages+=(libreoffice-calc-nogui poppler-utils)

"$root/scripts/install_packages.sh" setup "${packages[@]}"

# shellcheck disable=SC2086
cmake -S "$root" -B "$build_dir" ${CMAKE_ARGS:-} >/dev/null
cmake --build "$build_dir" --parallel "$(nproc)"

case "$mode" in
  --run)
    exec "$root/scripts/run_example.sh" "$build_dir"
    ;;
  --test)
    cd "$build_dir"
    exec ctest --output-on-failure --parallel "$(nproc)"
    ;;
  "") ;;
  *) echo "setup: unknown option $mode (use --run or --test)" >&2; exit 2 ;;
esac
