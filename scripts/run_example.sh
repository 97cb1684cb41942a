#!/usr/bin/env bash
# Loads the bundled example timetable and prints its teachers, groups and one week.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build_dir="${1:-${BUILD_DIR:-$root/build}}"
tool="$build_dir/bin/horatab-export"
example="$root/examples/school.xml"

echo "== Teachers in $example"
"$tool" --list teachers "$example"
echo "== Student groups"
"$tool" --list students "$example"
first_teacher="$("$tool" --list teachers "$example" | head -n 1)"
echo "== Week of $first_teacher"
"$tool" --show-teacher "$first_teacher" "$example"
