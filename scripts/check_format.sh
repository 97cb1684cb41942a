#!/usr/bin/env bash
# Fails when any C++ file in the repository differs from .clang-format's style.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/install_packages.sh" format clang-format
cd "$root"
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror
echo "format: all C++ files follow .clang-format"
