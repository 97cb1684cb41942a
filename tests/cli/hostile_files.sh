#!/usr/bin/env bash
# Destinations, inputs and names that work against horatab-export: devices,
# FIFOs, links to the input, control characters and endless inputs. Each
# case runs the tool and checks its status, its message and what is left.
#
# usage: hostile_files.sh CASE HORATAB_EXPORT HORATAB_GEN
set -uo pipefail
case_name="$1" tool="$2" generator="$3"

fail() { echo "FAIL [$case_name]: $*" >&2; exit 1; }
work="$(mktemp -d "${TMPDIR:-/tmp}/horatab-hostile-XXXXXX")" || fail "no scratch folder"
trap 'rm -rf "$work"' EXIT
cd "$work" || fail "cannot enter $work"
"$generator" --teachers 3 --groups 2 --days 2 --hours 2 --seed 5 -o in.xml >/dev/null || fail "no input"
cp in.xml original.xml

# run ARGS...: the tool with a 20 s bound; sets status, leaves out/err.
run() { status="$(TMPDIR="$work" timeout 20 "$tool" "$@" >out 2>err; echo $?)"; }
refused() {  # PATTERN: status 1, one line naming the reason, input as it was, no temporary folder
  [ "$status" -eq 1 ] || fail "status $status, expected 1: $(cat err)"
  [ "$(wc -l <err)" -eq 1 ] && grep -q "^horatab-export: .*$1" err || fail "message '$(cat err)', expected '$1'"
  cmp -s in.xml original.xml || fail "the input was changed"
  ! ls -d xlsx_* horatab-stdout-* 2>/dev/null | grep -q . || fail "temporary folder left behind"
}
no_control_bytes() { ! LC_ALL=C grep -q $'[\x01-\x08\x0b-\x1f\x7f]' "$1" && ! grep -aq $'\xc2[\x80-\x9f]' "$1"; }

case "$case_name" in
  device-destination)
    # Nodes and links of the scratch folder only: a regression must not
    # replace the system's /dev/null or /dev/stdout.
    ln -s /proc/self/fd/1 stdout.xlsx; mkfifo fifo.xlsx
    dests=(stdout.xlsx fifo.xlsx)
    if mknod null.xlsx c 1 3 2>/dev/null; then ln -s null.xlsx link.xlsx; dests+=(null.xlsx link.xlsx)
    else echo "note: mknod not permitted, device nodes not tried"; fi
    for dest in "${dests[@]}"; do
      run in.xml -t "$dest"; refused "character device\\|open file descriptor\\|pipe (FIFO), not a regular file"
    done
    [ -p fifo.xlsx ] && [ -L stdout.xlsx ] || fail "a special destination was replaced"
    [ ! -e null.xlsx ] || { [ -c null.xlsx ] && [ -L link.xlsx ]; } || fail "the device node was replaced" ;;
  input-is-destination)
    ln in.xml hard.xml; ln -s in.xml soft.xlsx
    for dest in ./in.xml hard.xml soft.xlsx "$work/in.xml"; do run in.xml -t "$dest"; refused "is the input file"; done
    run in.xml -t same.xlsx -s ./same.xlsx; refused "same file as"
    [ ! -e same.xlsx ] || fail "a workbook was written" ;;
  link-and-mode-kept)
    echo "target" > target.txt; ln -s target.txt link.xlsx
    printf 'old' > private.xlsx; chmod 600 private.xlsx
    run in.xml -t link.xlsx -s private.xlsx
    [ "$status" -eq 0 ] || fail "status $status: $(cat err)"
    [ -f link.xlsx ] && [ ! -L link.xlsx ] && [ "$(cat target.txt)" = target ] || fail "the link's target was written"
    [ "$(stat -c %a private.xlsx)" = 600 ] || fail "mode $(stat -c %a private.xlsx), expected 600"
    unzip -tq private.xlsx >/dev/null || fail "the replaced workbook is not a whole archive" ;;
  standard-streams)
    run in.xml -t -; [ "$status" -eq 0 ] && [ ! -s err ] || fail "-t -: status $status: $(cat err)"
    unzip -tq out >/dev/null || fail "standard output is not a whole archive"
    status="$(TMPDIR="$work" "$tool" - -s students.xlsx <in.xml >/dev/null 2>err; echo $?)"
    [ "$status" -eq 0 ] && unzip -tq students.xlsx >/dev/null || fail "reading - failed: $(cat err)" ;;
  special-input)
    mkfifo pipe.xml; run --list teachers pipe.xml; refused "pipe (FIFO), not a regular file"
    run /dev/zero -t t.xlsx; refused "character device, not a regular file" ;;
  null-reference)
    printf '<Teachers_Timetable>\n<T name="a&#0;b"><D><H name="1"/></D></T><!-- &#0; --></Teachers_Timetable>' >null.xml
    run --list teachers null.xml; refused "line 2, column 11: .*U+0000" ;;
  control-characters)
    printf '<Teachers_Timetable><T name="A&#27;[2J&#7;&#x9b;1m"><D name="&#27;]0;x&#7;"><H name="1"><Students name="g&#127;"/></H></D></T></Teachers_Timetable>' >ctl.xml
    for args in "--list teachers" "--list students" "--show-students g$(printf '\x7f')"; do
      run $args ctl.xml; [ "$status" -eq 0 ] || fail "$args: status $status: $(cat err)"
      no_control_bytes out || fail "$args printed control characters: $(od -c out | head -3)"
    done
    run --show-teacher "$(printf 'A\x1b[2J')" ctl.xml; refused "no teacher named"
    no_control_bytes err || fail "the message holds control characters"
    run --show-teacher "$(printf 'x%.0s' {1..5000})" ctl.xml; refused "no teacher named"
    [ "$(wc -c <err)" -lt 200 ] || fail "the echoed name was not cut: $(wc -c <err) bytes"
    { printf '<?xml version="1.0" encoding="'; printf 'x\n%.0s' {1..20000}; printf '"?><a/>'; } >enc.xml
    run --list teachers enc.xml; refused "unknown character encoding"
    [ "$(wc -c <err)" -lt 200 ] || fail "the encoding name was not cut: $(wc -c <err) bytes"
    printf '<R\xc2\x9bx%s/>' "$(printf 'x%.0s' {1..5000})" >root.xml
    run --list teachers root.xml; refused "its root element is <R.*xxx*\.\.\.>, not"
    no_control_bytes err || fail "the root element's name holds control characters"
    [ "$(wc -c <err)" -lt 200 ] || fail "the root element's name was not cut: $(wc -c <err) bytes" ;;
  *) fail "unknown case" ;;
esac
echo "ok [$case_name]"
