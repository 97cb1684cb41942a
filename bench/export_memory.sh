#!/usr/bin/env bash
# Peak memory (maximum resident set size) of horatab-export on the
# district-size timetable: 3,000 teachers, 1,000 groups, 6 days of 12 hours.
#   bench/export_memory.sh [BUILD_DIR]     (default: build)
# With LIMIT_MB set, exits with 1 when a run's peak exceeds it.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build_dir="${1:-$root/build}"
tool="$build_dir/bin/horatab-export"
generator="$build_dir/bin/horatab-gen-timetable"
[ -x "$tool" ] && [ -x "$generator" ] || { echo "build first: $tool and $generator are missing" >&2; exit 2; }
[ -x /usr/bin/time ] || { echo "needs /usr/bin/time (Debian package time)" >&2; exit 2; }

work="$(mktemp -d "${TMPDIR:-/tmp}/horatab-memory-XXXXXX")"
trap 'rm -rf "$work"' EXIT
"$generator" --district -o "$work/district.xml"
echo "input: district timetable, $(($(stat -c %s "$work/district.xml") / 1024)) KiB"

status=0
measure() {  # measure LABEL ARGS...
  local label="$1"; shift
  /usr/bin/time -v -o "$work/time.txt" "$tool" "$@" >/dev/null
  local kb seconds
  kb="$(awk -F': ' '/Maximum resident set size/ {print $2}' "$work/time.txt")"
  seconds="$(awk -F': ' '/Elapsed \(wall clock\)/ {print $2}' "$work/time.txt")"
  printf '%-32s peak %6d MiB   elapsed %s\n' "$label" $((kb / 1024)) "$seconds"
  if [ -n "${LIMIT_MB:-}" ] && [ $((kb / 1024)) -gt "$LIMIT_MB" ]; then
    echo "  exceeds LIMIT_MB=$LIMIT_MB" >&2
    status=1
  fi
}

measure "import only (--list teachers)" --list teachers "$work/district.xml"
measure "teachers' workbook" "$work/district.xml" -t "$work/teachers.xlsx"
measure "student groups' workbook" "$work/district.xml" -s "$work/students.xlsx"
measure "both workbooks" "$work/district.xml" -t "$work/teachers.xlsx" -s "$work/students.xlsx"
echo "workbooks: teachers $(($(stat -c %s "$work/teachers.xlsx") / 1024)) KiB," \
     "student groups $(($(stat -c %s "$work/students.xlsx") / 1024)) KiB"
exit "$status"
