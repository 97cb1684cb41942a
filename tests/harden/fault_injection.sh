#!/usr/bin/env bash
# Saves workbooks with horatab-export where the file system works against
# it, as a user would meet it, and checks the promise: a failed save exits
# with status 1 and names the file and the reason, leaves an existing
# workbook at the destination byte for byte as it was, leaves no partial
# file and no temporary files; a save that succeeds leaves a workbook that
# the independent reader opens.
#
# usage: fault_injection.sh SCENARIO HORATAB_EXPORT HORATAB_GEN PYTHON
# Scenarios that need a mount (read-only or full file systems) run in a
# private mount namespace (unshare) and exit with 77, which ctest reports
# as skipped, where the system does not allow one.
set -uo pipefail

scenario="$1"
tool="$2"
generator="$3"
python="$4"
skip=77

fail() { echo "FAIL [$scenario]: $*" >&2; exit 1; }

# Re-runs this script inside a private mount namespace; mounts made there
# vanish with it.
in_mount_namespace() {
  if [ "${HORATAB_IN_NAMESPACE:-}" = 1 ]; then return 0; fi
  local runner=()
  if [ "$(id -u)" -eq 0 ] && unshare -m --propagation private true 2>/dev/null; then
    runner=(unshare -m --propagation private)
  elif unshare -rm true 2>/dev/null; then
    runner=(unshare -rm)
  else
    echo "SKIP [$scenario]: this system does not allow a private mount namespace (unshare)"
    exit "$skip"
  fi
  HORATAB_IN_NAMESPACE=1 exec "${runner[@]}" bash "$0" "$scenario" "$tool" "$generator" "$python"
}

mount_tmpfs() {  # mount_tmpfs FOLDER OPTIONS
  mkdir -p "$1"
  mount -t tmpfs -o "$2" horatab-test "$1" || { echo "SKIP [$scenario]: mount -t tmpfs -o $2 is not permitted"; exit "$skip"; }
}

case "$scenario" in
  read-only-*|full-*) in_mount_namespace ;;
esac

work="$(mktemp -d "${TMPDIR:-/tmp}/horatab-faults-XXXXXX")" || fail "cannot make a scratch folder"
cleanup() {
  # Mounts live in the namespace and go with it; unmount anyway so the
  # scratch folder can be removed.
  for m in "$work"/mnt/*; do [ -d "$m" ] && umount "$m" 2>/dev/null; done
  rm -rf "$work"
}
trap cleanup EXIT

# The input: large enough that its parts outgrow a 64 KiB file system.
input="$work/school.xml"
"$generator" --teachers 60 --groups 20 --days 5 --hours 8 --seed 3 -o "$input" || fail "cannot generate the input"
small_input="$work/small.xml"
"$generator" --teachers 3 --groups 2 --days 2 --hours 2 --seed 4 -o "$small_input" || fail "cannot generate the input"

private_tmp="$work/tmp"
mkdir -p "$private_tmp" "$work/mnt"

# An earlier workbook: a real export of the small input.
earlier="$work/earlier.xlsx"
TMPDIR="$private_tmp" "$tool" "$small_input" -t "$earlier" >/dev/null 2>&1 || fail "cannot make the earlier workbook"

# run_tool TMPDIR ARGS...: runs the export, keeping status, output and errors.
run_tool() {
  local tmp="$1"; shift
  TMPDIR="$tmp" "$tool" "$@" >"$work/stdout" 2>"$work/stderr"
  status=$?
}

listing() { (cd "$1" && find . -mindepth 1 | LC_ALL=C sort); }

# expect_failure DEST_FOLDER TMPDIR_FOLDER KEEP: status 1, a message naming
# horatab-export, the folder as it was before (the file KEEP, when given,
# unchanged), and no temporary files left.
expect_failure() {
  local folder="$1" tmp="$2" before="$3" keep="$4" keep_sum="${5:-}"
  [ "$status" -eq 1 ] || fail "exit status $status, expected 1; errors: $(cat "$work/stderr")"
  grep -q '^horatab-export: ' "$work/stderr" || fail "no clear message on standard error: '$(cat "$work/stderr")'"
  ! grep -qi 'saved\|written' "$work/stdout" || fail "a failed save was reported as written: $(cat "$work/stdout")"
  if [ -d "$folder" ]; then
    [ "$(listing "$folder")" = "$before" ] || fail "the destination folder changed: $(listing "$folder")"
  fi
  if [ -n "$keep" ]; then
    [ "$(sha256sum < "$keep")" = "$keep_sum" ] || fail "the earlier workbook $keep was changed"
  fi
  if [ -d "$tmp" ]; then
    [ -z "$(listing "$tmp")" ] || fail "temporary files left behind: $(listing "$tmp")"
  fi
  echo "ok [$scenario]: $(head -n 2 "$work/stderr" | tr '\n' ' ')"
}

# expect_workbook FILE: the independent reader opens it.
expect_workbook() {
  "$python" - "$1" <<'EOF' || fail "the saved workbook $1 does not open in openpyxl"
import sys, openpyxl
book = openpyxl.load_workbook(sys.argv[1])
assert len(book.sheetnames) > 1, book.sheetnames
EOF
}

# place_earlier FOLDER: copies the earlier workbook to FOLDER/teachers.xlsx
# and sets keep and keep_sum.
place_earlier() {
  keep="$1/teachers.xlsx"
  cp "$earlier" "$keep" || fail "cannot place the earlier workbook in $1"
  keep_sum="$(sha256sum < "$keep")"
}

case "$scenario" in
  missing-output-folder)
    run_tool "$private_tmp" "$input" -t "$work/no/such/folder/teachers.xlsx" -s "$work/no/such/folder/students.xlsx"
    expect_failure "$work/no" "$private_tmp" "" ""
    grep -q "$work/no/such/folder/teachers.xlsx" "$work/stderr" || fail "the message does not name the file"
    grep -q "$work/no/such/folder/students.xlsx" "$work/stderr" || fail "the message does not name the second file"
    ;;

  destination-is-a-folder)
    mkdir -p "$work/out/teachers.xlsx"
    before="$(listing "$work/out")"
    run_tool "$private_tmp" "$input" -t "$work/out/teachers.xlsx"
    expect_failure "$work/out" "$private_tmp" "$before" ""
    ;;

  read-only-output-folder)
    out="$work/mnt/out"
    mount_tmpfs "$out" "size=4m"
    place_earlier "$out"
    mount -o remount,ro "$out" || { echo "SKIP [$scenario]: remount read-only is not permitted"; exit "$skip"; }
    before="$(listing "$out")"
    run_tool "$private_tmp" "$input" -t "$out/teachers.xlsx" -s "$out/students.xlsx"
    expect_failure "$out" "$private_tmp" "$before" "$keep" "$keep_sum"
    ;;

  missing-temporary-folder)
    mkdir -p "$work/out"
    place_earlier "$work/out"
    before="$(listing "$work/out")"
    run_tool "$work/no-such-tmp" "$input" -t "$work/out/teachers.xlsx" -s "$work/out/students.xlsx"
    expect_failure "$work/out" "$work/no-such-tmp" "$before" "$keep" "$keep_sum"
    [ ! -e "$work/no-such-tmp" ] || fail "the missing TMPDIR was created"
    ;;

  read-only-temporary-folder)
    mount_tmpfs "$work/mnt/tmp" "ro,size=64k"
    mkdir -p "$work/out"
    place_earlier "$work/out"
    before="$(listing "$work/out")"
    run_tool "$work/mnt/tmp" "$input" -t "$work/out/teachers.xlsx" -s "$work/out/students.xlsx"
    expect_failure "$work/out" "$work/mnt/tmp" "$before" "$keep" "$keep_sum"
    ;;

  full-temporary-folder)
    mount_tmpfs "$work/mnt/tmp" "size=64k"
    mkdir -p "$work/out"
    place_earlier "$work/out"
    before="$(listing "$work/out")"
    run_tool "$work/mnt/tmp" "$input" -t "$work/out/teachers.xlsx" -s "$work/out/students.xlsx"
    expect_failure "$work/out" "$work/mnt/tmp" "$before" "$keep" "$keep_sum"
    ;;

  full-output-folder)
    # The earlier workbook takes part of a small file system; the new
    # archive does not fit in the rest.
    out="$work/mnt/out"
    mount_tmpfs "$out" "size=64k"
    place_earlier "$out"
    before="$(listing "$out")"
    run_tool "$private_tmp" "$input" -t "$out/teachers.xlsx"
    expect_failure "$out" "$private_tmp" "$before" "$keep" "$keep_sum"
    ;;

  file-size-limit)
    # The archive meets a file-size limit mid-save. XFSZ is ignored, as
    # a shell with `trap '' XFSZ` leaves it, so writes fail with EFBIG
    # instead of killing the process. The limit lies between the largest
    # part file and the archive, so the part files are written and the
    # archive is cut off; checked first on a save without the limit.
    limit_kb="${HORATAB_FILE_LIMIT_KB:-40}"
    mkdir -p "$work/free"
    run_tool "$private_tmp" "$input" -t "$work/free/teachers.xlsx"
    [ "$status" -eq 0 ] || fail "the save without a limit failed: $(cat "$work/stderr")"
    "$python" -c '
import os, sys, zipfile
path, limit = sys.argv[1], int(sys.argv[2]) * 1024
largest = max(entry.file_size for entry in zipfile.ZipFile(path).infolist())
sys.exit(0 if largest < limit < os.path.getsize(path) else 1)
' "$work/free/teachers.xlsx" "$limit_kb" || fail "the limit does not lie between the largest part and the archive"
    mkdir -p "$work/out"
    place_earlier "$work/out"
    before="$(listing "$work/out")"
    status="$(
      trap '' XFSZ
      ulimit -f "$limit_kb"
      TMPDIR="$private_tmp" "$tool" "$input" -t "$work/out/teachers.xlsx" >"$work/stdout" 2>"$work/stderr"
      echo $?
    )"
    expect_failure "$work/out" "$private_tmp" "$before" "$keep" "$keep_sum"
    ;;

  memory-limit)
    # A teacher of 10,000 days, one of them 10,000 hours long: an 80 KB
    # file whose week has a hundred million cells. Under a 1 GiB address
    # space limit both showing and exporting it must fail cleanly.
    # AddressSanitizer needs far more address space and reports instead of
    # failing an allocation, so sanitizer builds skip this.
    if [ "${HORATAB_SANITIZED:-}" = 1 ]; then
      echo "SKIP [$scenario]: a sanitizer build cannot run under an address space limit"
      exit "$skip"
    fi
    square="$work/square.xml"
    "$python" -c '
import sys
days = "<d/>" * 10000
hours = "<h/>" * 10000
sys.stdout.write("<Teachers_Timetable><Teacher name=\"Big\">" + days + "<Day name=\"long\">" + hours + "</Day></Teacher></Teachers_Timetable>")
' > "$square"
    mkdir -p "$work/out"
    status="$(ulimit -v 1048576; "$tool" --show-teacher Big "$square" >"$work/stdout" 2>"$work/stderr"; echo $?)"
    [ "$status" -eq 1 ] || fail "--show-teacher: exit status $status, expected 1; errors: $(cat "$work/stderr")"
    grep -q "^horatab-export: .*memory" "$work/stderr" || fail "--show-teacher: no clear message: $(cat "$work/stderr")"
    echo "ok [$scenario]: $(cat "$work/stderr")"
    status="$(ulimit -v 1048576; TMPDIR="$private_tmp" "$tool" "$square" -t "$work/out/teachers.xlsx" >"$work/stdout" 2>"$work/stderr"; echo $?)"
    expect_failure "$work/out" "$private_tmp" "" ""
    ;;

  replace-earlier-workbook)
    mkdir -p "$work/out"
    place_earlier "$work/out"
    run_tool "$private_tmp" "$input" -t "$work/out/teachers.xlsx" -s "$work/out/students.xlsx"
    [ "$status" -eq 0 ] || fail "exit status $status; errors: $(cat "$work/stderr")"
    [ "$(sha256sum < "$keep")" != "$keep_sum" ] || fail "the earlier workbook was not replaced"
    [ "$(listing "$work/out")" = "$(printf './students.xlsx\n./teachers.xlsx')" ] ||
      fail "unexpected files beside the workbooks: $(listing "$work/out")"
    [ -z "$(listing "$private_tmp")" ] || fail "temporary files left behind: $(listing "$private_tmp")"
    expect_workbook "$work/out/teachers.xlsx"
    expect_workbook "$work/out/students.xlsx"
    echo "ok [$scenario]"
    ;;

  *)
    fail "unknown scenario"
    ;;
esac
