#!/usr/bin/env bash
# Exports the bundled example timetable to the teachers' and the student
# groups' workbooks, then shows what the example holds.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build_dir="${1:-${BUILD_DIR:-$root/build}}"
tool="$build_dir/bin/horatab-export"
example="$root/examples/school.xml"
output="$build_dir/example-output"

mkdir -p "$output"
echo "== Exporting $example"
"$tool" "$example" --teachers "$output/school-teachers.xlsx" --students "$output/school-students.xlsx"

echo "== Teachers"
"$tool" --list teachers "$example" | paste -sd ',' - | sed 's/,/, /g'
echo "== Student groups"
"$tool" --list students "$example" | paste -sd ',' - | sed 's/,/, /g'
first_teacher="$("$tool" --list teachers "$example" | head -n 1)"
echo "== Week of $first_teacher (group / subject)"
"$tool" --show-teacher "$first_teacher" "$example"
echo
echo "Open the workbooks in a spreadsheet program:"
echo "  $output/school-teachers.xlsx"
echo "  $output/school-students.xlsx"
