#!/usr/bin/env bash
# Exports the bundled example under valgrind: no leak and no memory error.
# usage: valgrind_export.sh HORATAB_EXPORT EXAMPLE.xml
set -euo pipefail
tool="$1"
example="$2"
work="$(mktemp -d "${TMPDIR:-/tmp}/horatab-valgrind-XXXXXX")"
trap 'rm -rf "$work"' EXIT
mkdir "$work/tmp"
TMPDIR="$work/tmp" valgrind --quiet --leak-check=full --show-leak-kinds=definite,indirect,possible \
  --errors-for-leak-kinds=definite,indirect,possible --error-exitcode=1 \
  "$tool" "$example" -t "$work/teachers.xlsx" -s "$work/students.xlsx"
[ -s "$work/teachers.xlsx" ] && [ -s "$work/students.xlsx" ] || { echo "FAIL: a workbook is missing" >&2; exit 1; }
echo "ok: no leak and no error"
