#!/usr/bin/env bash
# Times this .xlsx writer against libxlsxwriter (default and constant-memory
# mode) and against the time zlib needs to deflate the same bytes, then times
# the two district-size timetable exports. Prints a Markdown table and the
# targets met or missed.
#
#   bench/run_benchmarks.sh
#
# Environment: REPEATS (runs per program and case, default 3), SIZES (rows
# of the 10-column sheets, default "100000 1000000"), SCALING (teacher
# counts of the scaling runs, default "300 3000 30000"), HOSTILE (sizes n
# and m of hostile_bench, default "2500 450"), CHECK=0 skips the openpyxl
# read-back, BENCH_BUILD_DIR (default build-bench).
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${BENCH_BUILD_DIR:-$root/build-bench}"
repeats="${REPEATS:-3}"
sizes="${SIZES:-100000 1000000}"
check="${CHECK:-1}"
cols=10
python=/usr/bin/python3

ensure_packages() {
  local packages=(build-essential cmake pkg-config libpugixml-dev libminizip-dev zlib1g-dev libicu-dev
                  libxlsxwriter-dev time unzip python3 python3-openpyxl)
  "$root/scripts/install_packages.sh" bench "${packages[@]}"
}

build_programs() {
  cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DHORATAB_BUILD_APP=OFF \
        -DHORATAB_BUILD_TESTS=OFF >/dev/null
  local targets=(xlsx_bench deflate_bound hostile_bench horatab-export horatab-gen-timetable)
  if cmake --build "$build" --target help | grep -q xlsx_peer_bench; then
    targets+=(xlsx_peer_bench)
  fi
  cmake --build "$build" --parallel 2 --target "${targets[@]}" >/dev/null
}

work="$(mktemp -d "${TMPDIR:-/tmp}/horatab-bench.XXXXXX")"
shm=""  # a folder on tmpfs for the second round of exports
cleanup() { rm -rf "$work"; if [ -n "$shm" ]; then rm -rf "$shm"; fi; }
trap cleanup EXIT

# measure LABEL COMMAND...: runs COMMAND once under /usr/bin/time and
# appends its wall time (s) and peak resident set (KiB) to LABEL's records.
measure() {
  local label="$1"
  shift
  if ! /usr/bin/time -f "%e %M" -o "$work/time.txt" "$@" >"$work/out.txt" 2>&1; then
    echo "bench: $label failed:" >&2
    cat "$work/out.txt" "$work/time.txt" >&2
    exit 1
  fi
  read -r wall rss <"$work/time.txt"
  echo "$wall" >>"$work/$label.wall"
  echo "$rss" >>"$work/$label.rss"
}

# deflate_bound LABEL ARCHIVE: the single-threaded zlib time for the
# uncompressed parts of ARCHIVE, measured REPEATS times.
deflate_bound() {
  local label="$1" archive="$2" dir="$work/unpacked"
  rm -rf "$dir"
  unzip -q "$archive" -d "$dir"
  local files=()
  mapfile -t files < <(find "$dir" -type f)
  local i
  for ((i = 0; i < repeats; i++)); do
    read -r seconds bytes_in _ < <("$build/bin/deflate_bound" "${files[@]}")
    echo "$seconds" >>"$work/$label.wall"
  done
  echo "$bytes_in" >"$work/$label.bytes"
  rm -rf "$dir"
}

median() { sort -g "$1" | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else printf "%.3f\n", (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
wall() { median "$work/$1.wall"; }
rss_mib() { [ -f "$work/$1.rss" ] && awk '{ printf "%.1f\n", $1 / 1024 }' < <(median "$work/$1.rss") || echo "-"; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f\n", (b > 0) ? a / b : 0 }'; }
holds() { awk -v v="$1" -v limit="$2" 'BEGIN { print (v <= limit) ? "holds" : "MISSED" }'; }

rows_out=()
targets_out=()
row() { rows_out+=("| $1 | $2 | $3 | $4 | $5 |"); }
target() { targets_out+=("- $1: $2 (limit $3): $(holds "$2" "$3")"); }

# sheet_limit ROWS MILLION OTHER: the limit for the sheet of ROWS rows, the
# tighter one for the million-row sheet.
sheet_limit() { if [ "$1" -ge 1000000 ]; then echo "$2"; else echo "$3"; fi; }

bench_sheet() {
  local rows="$1" case="$2" have_peer="$3" i
  local ours=(xlsx_bench --rows "$rows" --cols "$cols" --kind mixed --out "$work/ours.xlsx")
  local peer=(xlsx_peer_bench --rows "$rows" --cols "$cols" --kind mixed --out "$work/peer.xlsx")
  for ((i = 0; i < repeats; i++)); do
    measure "ours-$rows" "$build/bin/${ours[0]}" "${ours[@]:1}"
    if [ "$have_peer" = yes ]; then
      measure "peer-$rows" "$build/bin/${peer[0]}" "${peer[@]:1}"
      measure "peercm-$rows" "$build/bin/${peer[0]}" "${peer[@]:1}" --constant-memory
    fi
  done
  deflate_bound "deflate-$rows" "$work/ours.xlsx"
  if [ "$check" = 1 ]; then
    "$python" "$root/bench/check_workbook.py" bench "$work/ours.xlsx" "$rows" "$cols" mixed
  fi

  local t_ours t_bound
  t_ours="$(wall "ours-$rows")"
  t_bound="$(wall "deflate-$rows")"
  row "$case" "this writer" "$t_ours" "$(rss_mib "ours-$rows")" ""
  if [ "$have_peer" = yes ]; then
    local t_peer t_peercm
    t_peer="$(wall "peer-$rows")"
    t_peercm="$(wall "peercm-$rows")"
    row "$case" "libxlsxwriter" "$t_peer" "$(rss_mib "peer-$rows")" "$(ratio "$t_ours" "$t_peer")"
    row "$case" "libxlsxwriter constant memory" "$t_peercm" "$(rss_mib "peercm-$rows")" \
        "$(ratio "$t_ours" "$t_peercm")"
    target "$case: this writer / libxlsxwriter constant memory" "$(ratio "$t_ours" "$t_peercm")" \
           "$(sheet_limit "$rows" 0.3 0.75)"
  fi
  row "$case" "zlib deflate bound ($(awk '{ printf "%.0f", $1 / 1e6 }' "$work/deflate-$rows.bytes") MB)" \
      "$t_bound" "" "$(ratio "$t_ours" "$t_bound")"
  target "$case: this writer / deflate bound" "$(ratio "$t_ours" "$t_bound")" \
         "$(sheet_limit "$rows" 0.6 1.3)"
  target "$case: this writer peak memory (MiB)" "$(rss_mib "ours-$rows")" 32
}

bench_exports() {
  local input="$work/district.xml" kind i
  "$build/bin/horatab-gen-timetable" --district -o "$input"
  if ! "$build/bin/horatab-export" "$input" -t "$work/probe.xlsx" >"$work/out.txt" 2>&1; then
    echo "bench: the export is not available in this build; skipped ($(head -n 1 "$work/out.txt"))"
    return
  fi
  rm -f "$work/probe.xlsx"
  # The same exports with the temporary part files on tmpfs show what
  # creating ~4,000 part files on the disk costs on this machine.
  if [ -d /dev/shm ] && [ -w /dev/shm ]; then shm="$(mktemp -d /dev/shm/horatab-bench.XXXXXX)"; fi
  for ((i = 0; i < repeats; i++)); do
    measure export-teachers "$build/bin/horatab-export" "$input" -t "$work/teachers.xlsx"
    measure export-students "$build/bin/horatab-export" "$input" -s "$work/students.xlsx"
    if [ -n "$shm" ]; then
      measure shm-teachers env TMPDIR="$shm" "$build/bin/horatab-export" "$input" -t "$work/shm.xlsx"
      measure shm-students env TMPDIR="$shm" "$build/bin/horatab-export" "$input" -s "$work/shm.xlsx"
    fi
  done
  for kind in teachers students; do
    deflate_bound "deflate-$kind" "$work/$kind.xlsx"
    if [ "$check" = 1 ]; then "$python" "$root/bench/check_workbook.py" opens "$work/$kind.xlsx"; fi
    local t t_bound
    t="$(wall "export-$kind")"
    t_bound="$(wall "deflate-$kind")"
    row "district $kind export" "horatab-export" "$t" "$(rss_mib "export-$kind")" ""
    if [ -f "$work/shm-$kind.wall" ]; then
      row "district $kind export" "horatab-export, TMPDIR on tmpfs" "$(wall "shm-$kind")" \
          "$(rss_mib "shm-$kind")" ""
    fi
    row "district $kind export" \
        "zlib deflate bound ($(awk '{ printf "%.0f", $1 / 1e6 }' "$work/deflate-$kind.bytes") MB)" \
        "$t_bound" "" "$(ratio "$t" "$t_bound")"
    target "district $kind export / deflate bound" "$(ratio "$t" "$t_bound")" 2
    target "district $kind export peak memory (MiB)" "$(rss_mib "export-$kind")" 256
  done
}

# Both workbooks of one run at 300, 3,000 and 30,000 teachers (a third as
# many groups, 6 days of 12 hours): time and peak memory grow linearly.
bench_scaling() {
  local teachers input per_thousand
  for teachers in ${SCALING:-300 3000 30000}; do
    input="$work/scaling-$teachers.xml"
    "$build/bin/horatab-gen-timetable" --teachers "$teachers" --groups $((teachers / 3)) \
      --days 6 --hours 12 -o "$input"
    measure "scaling-$teachers" "$build/bin/horatab-export" "$input" \
      -t "$work/scaling-t.xlsx" -s "$work/scaling-s.xlsx"
    rm -f "$input" "$work/scaling-t.xlsx" "$work/scaling-s.xlsx"
    per_thousand="$(awk -v t="$(wall "scaling-$teachers")" -v n="$teachers" \
                    'BEGIN { printf "%.2f s per 1,000 teachers", t * 1000 / n }')"
    row "$(printf "%'d" "$teachers") teachers, both workbooks" "horatab-export" \
        "$(wall "scaling-$teachers")" "$(rss_mib "scaling-$teachers")" "$per_thousand"
  done
  if [ -f "$work/scaling-30000.rss" ]; then
    target "30,000 teachers, both workbooks: peak memory (MiB)" "$(rss_mib scaling-30000)" 512
  fi
}

# A workbook of more than 65,535 parts (65,540 teachers): its archive must
# carry the zip64 end records, so that unzip and Python's zipfile read it.
bench_many_parts() {
  local input="$work/many.xml" entries
  "$build/bin/horatab-gen-timetable" --teachers 65540 --groups 10 --days 1 --hours 1 -o "$input"
  measure many-parts "$build/bin/horatab-export" "$input" -t "$work/many.xlsx"
  unzip -tq "$work/many.xlsx" >/dev/null || { echo "bench: unzip rejects the workbook of 65,540 sheets" >&2; exit 1; }
  entries="$("$python" -c 'import sys, zipfile
z = zipfile.ZipFile(sys.argv[1])
assert z.testzip() is None
print(len(z.infolist()))' "$work/many.xlsx")" || { echo "bench: zipfile rejects the workbook of 65,540 sheets" >&2; exit 1; }
  row "65,540 teachers, $entries parts" "horatab-export" "$(wall many-parts)" "$(rss_mib many-parts)" \
      "read whole by unzip -t and zipfile"
  rm -f "$input" "$work/many.xlsx"
}

ensure_packages
build_programs
have_peer=no
[ -x "$build/bin/xlsx_peer_bench" ] && have_peer=yes
[ "$have_peer" = no ] && echo "bench: libxlsxwriter not found; the peer is left out"

echo "bench: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//'),"\
     "load average $(cut -d' ' -f1-3 /proc/loadavg); $repeats runs each, medians"
for rows in $sizes; do
  bench_sheet "$rows" "$(printf "%'d" "$rows") x $cols mixed" "$have_peer"
done
bench_exports
bench_scaling
bench_many_parts
# Alike names and one teacher of many groups, at n and 4n (HOSTILE="N M").
# shellcheck disable=SC2086
hostile="$("$build/bin/hostile_bench" ${HOSTILE:-})"

echo
echo "| Case | Program | Wall time (s) | Peak memory (MiB) | This writer / program |"
echo "|---|---|---:|---:|---:|"
printf '%s\n' "${rows_out[@]}"
echo
echo "Targets:"
printf '%s\n' "${targets_out[@]}"
echo
echo "Hostile timetables:"
echo "$hostile"
