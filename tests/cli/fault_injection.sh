#!/usr/bin/env bash
# Saves workbooks with horatab-export where the file system works against
# it, and checks the promise: a failed save exits with status 1 and a
# message that gives the reason, leaves an existing workbook at the destination byte for byte as
# it was, leaves no partial file and no temporary files; a save that
# succeeds leaves a workbook that the independent reader opens.
#
# usage: fault_injection.sh SCENARIO HORATAB_EXPORT HORATAB_GEN PYTHON
# Scenarios that need a mount run in a private mount namespace (unshare)
# and exit with 77 (skipped) where the system does not allow one.
set -uo pipefail
scenario="$1" tool="$2" generator="$3" python="$4" skip=77

fail() { echo "FAIL [$scenario]: $*" >&2; exit 1; }
skip() { echo "SKIP [$scenario]: $*"; exit "$skip"; }

# Re-runs this script inside a private mount namespace; its mounts vanish with it.
if [[ "$scenario" == read-only-* || "$scenario" == full-* ]] && [ "${HORATAB_IN_NAMESPACE:-}" != 1 ]; then
  if [ "$(id -u)" -eq 0 ] && unshare -m --propagation private true 2>/dev/null; then runner=(unshare -m --propagation private)
  elif unshare -rm true 2>/dev/null; then runner=(unshare -rm)
  else skip "this system does not allow a private mount namespace (unshare)"; fi
  HORATAB_IN_NAMESPACE=1 exec "${runner[@]}" bash "$0" "$@"
fi
mount_tmpfs() { mkdir -p "$1" && mount -t tmpfs -o "$2" horatab-test "$1" || skip "mount -t tmpfs -o $2 is not permitted"; }

work="$(mktemp -d "${TMPDIR:-/tmp}/horatab-faults-XXXXXX")" || fail "cannot make a scratch folder"
cleanup() { for m in "$work"/mnt/*; do [ -d "$m" ] && umount "$m" 2>/dev/null; done; rm -rf "$work"; }
trap cleanup EXIT

# The input is large enough that its parts outgrow a 64 KiB file system.
input="$work/school.xml" tmp="$work/tmp" out="$work/out"
"$generator" --teachers 60 --groups 20 --days 5 --hours 8 --seed 3 -o "$input" || fail "cannot generate the input"
"$generator" --teachers 3 --groups 2 --days 2 --hours 2 --seed 4 -o "$work/small.xml" || fail "cannot generate the input"
mkdir -p "$tmp" "$work/mnt"
earlier="$work/earlier.xlsx"  # a real export of the small input
TMPDIR="$tmp" "$tool" "$work/small.xml" -t "$earlier" >/dev/null 2>&1 || fail "cannot make the earlier workbook"

# export [ARGS...]: runs the export with TMPDIR=$tmp into $out; sets status.
export_to_out() {
  status="$(TMPDIR="$tmp" "$tool" "$input" -t "$out/teachers.xlsx" "$@" >"$work/stdout" 2>"$work/stderr"; echo $?)"
}
listing() { (cd "$1" && find . -mindepth 1 | LC_ALL=C sort); }
place_earlier() { mkdir -p "$out" && cp "$earlier" "$out/teachers.xlsx" || fail "cannot place the earlier workbook"; }

# Status 1, a message with $reason, the destination folder as it was before (the earlier
# workbook unchanged), no temporary files.
expect_failure() {
  [ "$status" -eq 1 ] || fail "exit status $status, expected 1; errors: $(cat "$work/stderr")"
  grep -q '^horatab-export: ' "$work/stderr" || fail "no clear message on standard error: '$(cat "$work/stderr")'"
  grep -qF -- "$reason" "$work/stderr" || fail "the message does not say '$reason': '$(cat "$work/stderr")'"
  ! grep -qi 'saved\|written' "$work/stdout" || fail "a failed save was reported as written: $(cat "$work/stdout")"
  [ ! -d "$out" ] || [ "$(listing "$out")" = "$before" ] || fail "the destination folder changed: $(listing "$out")"
  [ ! -f "$out/teachers.xlsx" ] || cmp -s "$earlier" "$out/teachers.xlsx" || fail "the earlier workbook was changed"
  [ ! -d "$tmp" ] || [ -z "$(listing "$tmp")" ] || fail "temporary files left behind: $(listing "$tmp")"
  echo "ok [$scenario]: $(head -n 2 "$work/stderr" | tr '\n' ' ')"
}

# signal_mid_save SIGNAL: exports the district and sends SIGNAL while the
# teachers' workbook is being saved: its temporary folder made, the earlier
# workbook not yet replaced. The export is stopped (SIGSTOP) whenever that
# is looked at, so the look and the signal see the same moment however
# loaded the machine is. A save seen only after that moment (it finished
# between two looks) is put back and tried again. Sets status.
signal_mid_save() {
  local attempt look inode sent
  for attempt in 1 2 3 4 5; do
    inode="$(stat -c %i "$out/teachers.xlsx")" sent=no
    TMPDIR="$tmp" env --default-signal="$1" "$tool" "$input" -t "$out/teachers.xlsx" -s "$out/students.xlsx" \
      >"$work/stdout" 2>"$work/stderr" &
    local pid=$!
    for look in $(seq 12000); do  # at most about two minutes
      kill -STOP "$pid" 2>/dev/null || break
      if [ -n "$(ls -A "$tmp")" ]; then
        if [ "$(stat -c %i "$out/teachers.xlsx")" = "$inode" ]; then kill "-$1" "$pid" && sent=yes; fi
        kill -CONT "$pid"
        break
      fi
      kill -CONT "$pid"
      sleep 0.01
    done
    wait "$pid"; status=$?
    [ "$sent" = yes ] && return
    echo "note: SIG$1, attempt $attempt: the save went past its start unseen (status $status); again"
    rm -f "$out/students.xlsx"; cp "$earlier" "$out/teachers.xlsx"
  done
  fail "SIG$1: the save was never seen under way"
}

# Each scenario with the reason its message must give.
before="" reason=""
case "$scenario" in
  read-only-output-folder)
    out="$work/mnt/out" reason="Read-only file system"; mount_tmpfs "$out" size=4m; place_earlier
    mount -o remount,ro "$out" || skip "remount read-only is not permitted" ;;
  read-only-temporary-folder)
    place_earlier; tmp="$work/mnt/tmp" reason="Read-only file system"; mount_tmpfs "$tmp" ro,size=64k ;;
  # Small sheets stay in memory; the theme part alone is larger than one page.
  full-temporary-folder)
    place_earlier; tmp="$work/mnt/tmp" reason="No space left on device"; mount_tmpfs "$tmp" size=4k ;;
  # The earlier workbook takes part of a small file system; the new archive does not fit in the rest.
  full-output-folder)
    out="$work/mnt/out" reason="No space left on device"; mount_tmpfs "$out" size=64k; place_earlier ;;
  sheet-too-large) place_earlier; reason="too large for a sheet" ;;
  file-size-limit) place_earlier; reason="File too large" ;;
  memory-bounds) place_earlier; reason="too large to build" ;;
  replace-earlier-workbook|interrupted-save) place_earlier ;;
  *) fail "unknown scenario" ;;
esac
[ -d "$out" ] && before="$(listing "$out")"

case "$scenario" in
  full-output-folder) export_to_out; expect_failure ;;
  sheet-too-large)
    # One day of 20,000 hours: the summary needs more columns than a sheet has.
    input="$work/wide.xml"
    "$python" -c 'print("<Teachers_Timetable><Teacher name=\"Wide\"><Day name=\"Mon\">" + "<h/>" * 20000 + "</Day></Teacher></Teachers_Timetable>")' > "$input"
    export_to_out; expect_failure ;;
  read-only-*|full-temporary-folder) export_to_out -s "$out/students.xlsx"; expect_failure ;;
  file-size-limit)
    # The archive meets a file-size limit mid-save, XFSZ ignored (as a shell
    # with `trap '' XFSZ` leaves it), so writes fail with EFBIG. The limit
    # lies between the largest part file and the archive, checked on a save
    # without the limit, so the part files are written and the archive cut off.
    limit_kb="${HORATAB_FILE_LIMIT_KB:-40}"
    TMPDIR="$tmp" "$tool" "$input" -t "$work/free.xlsx" >/dev/null 2>&1 || fail "the save without a limit failed"
    "$python" -c '
import os, sys, zipfile
path, limit = sys.argv[1], int(sys.argv[2]) * 1024
sys.exit(0 if max(e.file_size for e in zipfile.ZipFile(path).infolist()) < limit < os.path.getsize(path) else 1)
' "$work/free.xlsx" "$limit_kb" || fail "the limit does not lie between the largest part and the archive"
    status="$(trap '' XFSZ; ulimit -f "$limit_kb"; export_to_out; echo "$status")"
    expect_failure ;;
  memory-bounds)
    # Files under 1 MB whose matrices would need gigabytes: a summary whose
    # rows and columns each fit a sheet but whose product does not fit the
    # memory, names copied into many cells, and a week of 9 million cells. Under a 300 MB address space
    # limit each is refused with its reason, not by running out of memory.
    [ "${HORATAB_SANITIZED:-}" != 1 ] || skip "a sanitizer build cannot run under an address space limit"
    input="$work/product.xml"
    "$python" -c 'print("<Teachers_Timetable><T name=\"Days\">" + "<d><h><Students name=\"g\"/></h></d>" * 120 + "</T><T name=\"Hours\"><d>" + "<h><Students name=\"g\"/></h>" * 120 + "</d></T>" + "".join("<T name=\"t%d\"><d><h><Students name=\"g%d\"/></h></d></T>" % (t, t) for t in range(5000)) + "</Teachers_Timetable>")' >"$input"
    "$python" -c 'print("<Teachers_Timetable><T name=\"Big\">" + "<d/>" * 3000 + "<d>" + "<h/>" * 3000 + "</d></T></Teachers_Timetable>")' >"$work/square.xml"
    for book in -t -s; do
      status="$(ulimit -v 307200; TMPDIR="$tmp" "$tool" "$input" $book "$out/teachers.xlsx" >"$work/stdout" 2>"$work/stderr"; echo $?)"
      grep -q "the summary of all .* would need [0-9]* cells" "$work/stderr" || fail "$book: no reason given: $(cat "$work/stderr")"
      expect_failure
    done
    # Names copied into many cells: a long subject of one hour taught to
    # 20,000 groups (the groups' summary) and a long teacher's name in the
    # 8,000 hours of one group (that group's week).
    "$python" -c 'print("<Teachers_Timetable><T name=\"T\"><d><h><Subject name=\"" + "s" * 400000 + "\"/>" + "".join("<Students name=\"g%d\"/>" % g for g in range(20000)) + "</h></d></T></Teachers_Timetable>")' >"$work/subject.xml"
    "$python" -c 'print("<Teachers_Timetable><T name=\"" + "t" * 400000 + "\">" + ("<d>" + "<h><Students name=\"G\"/></h>" * 1334 + "</d>") * 6 + "</T></Teachers_Timetable>")' >"$work/teacher.xml"
    for input in "$work/subject.xml" "$work/teacher.xml"; do
      [ "$(stat -c %s "$input")" -lt 1000000 ] || fail "$input is not under 1 MB"
      status="$(ulimit -v 307200; TMPDIR="$tmp" "$tool" "$input" -s "$out/teachers.xlsx" >"$work/stdout" 2>"$work/stderr"; echo $?)"
      grep -q "would need about [0-9]* MB" "$work/stderr" || fail "$input: no reason given: $(cat "$work/stderr")"
      expect_failure
    done
    status="$(ulimit -v 307200; "$tool" --show-teacher Big "$work/square.xml" 2>"$work/stderr" >/dev/null; echo $?)"
    [ "$status" -eq 1 ] && grep -q 'the week of "Big" would need 9009002 cells' "$work/stderr" ||
      fail "--show-teacher: status $status: $(cat "$work/stderr")" ;;
  interrupted-save)
    # SIGINT, SIGTERM, SIGHUP while a district is saved: the program ends by
    # the signal (128 + its number) and leaves no temporary folder, no
    # partial archive and the earlier workbook as it was.
    input="$work/district.xml"
    "$generator" --district -o "$input" >/dev/null || fail "cannot generate the district"
    for signal in INT TERM HUP; do
      signal_mid_save "$signal"
      [ "$status" -eq $((128 + $(kill -l "$signal"))) ] || fail "SIG$signal: exit status $status"
      [ "$(listing "$out")" = "$before" ] && cmp -s "$earlier" "$out/teachers.xlsx" || fail "SIG$signal: the destination folder changed: $(listing "$out")"
      [ -z "$(listing "$tmp")" ] || fail "SIG$signal: temporary files left behind: $(listing "$tmp" | head -3)"
    done
    echo "ok [$scenario]" ;;
  replace-earlier-workbook)
    export_to_out -s "$out/students.xlsx"
    [ "$status" -eq 0 ] || fail "exit status $status; errors: $(cat "$work/stderr")"
    ! cmp -s "$earlier" "$out/teachers.xlsx" || fail "the earlier workbook was not replaced"
    [ "$(listing "$out")" = "$(printf './students.xlsx\n./teachers.xlsx')" ] || fail "unexpected files: $(listing "$out")"
    [ -z "$(listing "$tmp")" ] || fail "temporary files left behind: $(listing "$tmp")"
    for book in teachers students; do
      "$python" -c 'import sys, openpyxl; assert len(openpyxl.load_workbook(sys.argv[1]).sheetnames) > 1' \
        "$out/$book.xlsx" || fail "the saved workbook $book.xlsx does not open in openpyxl"
    done
    echo "ok [$scenario]" ;;
esac
