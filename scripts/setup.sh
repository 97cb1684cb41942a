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
  libpugixml-dev libminizip-dev zlib1g-dev
  libgtest-dev
  qt6-base-dev desktop-file-utils
  python3 python3-openpyxl
  unzip time valgrind
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ "${#missing[@]}" -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

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
