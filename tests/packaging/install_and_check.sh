#!/usr/bin/env bash
# Installs the build folder BUILD into a temporary root with
# `cmake --install` and checks what arrived (check_installed.sh).
#   install_and_check.sh BUILD VERSION EXAMPLE.xml
set -euo pipefail
root="$(mktemp -d)"
trap 'rm -rf "$root"' EXIT
cmake --install "$1" --prefix "$root/usr" >/dev/null
"$(dirname "${BASH_SOURCE[0]}")/check_installed.sh" "$root" "$2" "$3"
