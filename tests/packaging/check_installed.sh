#!/usr/bin/env bash
# Checks an installed Horatab whose files are under ROOT/usr (ROOT is / for
# the system, or a folder the build or the package was unpacked into):
# every file is in place, the programs run, the manual pages format without
# warnings, the menu entry and the AppStream metadata are valid, and the MIME
# definition makes the example a teachers-timetable export.
#   check_installed.sh ROOT VERSION EXAMPLE.xml
# Exits 77 when a checking tool is missing.
set -euo pipefail

root="${1%/}"
version="$2"
example="$3"
prefix="$root/usr"
share="$prefix/share"
mime_type="application/x-teachers-timetable+xml"
icon_sizes=(16 22 24 32 48 64 128 256)

for tool in desktop-file-validate appstreamcli update-mime-database xdg-mime mimetype man; do
  if ! command -v "$tool" >/dev/null; then
    echo "skipped: $tool is not installed (scripts/setup.sh installs it)"
    exit 77
  fi
done

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

check_files() {
  local expected=(
    bin/horatab bin/horatab-export
    share/man/man1/horatab.1.gz share/man/man1/horatab-export.1.gz
    share/applications/horatab.desktop
    share/icons/hicolor/scalable/apps/horatab.svg
    share/mime/packages/horatab.xml
    share/doc/horatab/copyright share/doc/horatab/changelog.gz
  )
  local size file
  for size in "${icon_sizes[@]}"; do
    expected+=("share/icons/hicolor/${size}x${size}/apps/horatab.png")
  done
  for file in "${expected[@]}"; do
    [ -f "$prefix/$file" ] || fail "not installed: $file"
  done
  metainfo=("$share"/metainfo/*horatab.metainfo.xml)
  [ -f "${metainfo[0]}" ] || fail "no AppStream metadata in $share/metainfo"
}

# Each PNG icon is as large as its folder says (width and height from the
# PNG header).
check_icon_sizes() {
  local size png width height
  for size in "${icon_sizes[@]}"; do
    png="$share/icons/hicolor/${size}x${size}/apps/horatab.png"
    [ -f "$png" ] || continue
    read -r width height < <(od -An -tu4 --endian=big -j16 -N8 "$png")
    [ "$width $height" = "$size $size" ] || fail "$png is ${width}x${height}, not ${size}x${size}"
  done
}

check_programs() {
  local said
  said="$("$prefix/bin/horatab-export" --version)" || fail "horatab-export --version failed"
  [ "$said" = "horatab-export $version" ] || fail "horatab-export --version said: $said"
  said="$(DISPLAY='' WAYLAND_DISPLAY='' QT_QPA_PLATFORM='' "$prefix/bin/horatab" --version)" ||
    fail "horatab --version failed"
  [ "$said" = "Horatab $version" ] || fail "horatab --version said: $said"

  if "$prefix/bin/horatab-export" "$example" -t "$work/teachers.xlsx" -s "$work/groups.xlsx" \
    >/dev/null; then
    local book
    for book in "$work/teachers.xlsx" "$work/groups.xlsx"; do
      [ "$(head -c 2 "$book" 2>/dev/null)" = "PK" ] || fail "$book is not a zip package"
    done
  else
    fail "the installed horatab-export could not export $example"
  fi
}

# The manual pages format without a warning, as lintian checks them.
check_man_pages() {
  local page warnings
  for page in horatab horatab-export; do
    warnings="$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z \
      "$share/man/man1/$page.1.gz" 2>&1 >/dev/null)" || fail "man could not format $page(1)"
    [ -z "$warnings" ] || fail "$page(1): $warnings"
  done
}

check_metadata() {
  desktop-file-validate "$share/applications/horatab.desktop" || fail "desktop entry not valid"
  grep -qx "MimeType=$mime_type;" "$share/applications/horatab.desktop" ||
    fail "the desktop entry does not claim exactly $mime_type"
  appstreamcli validate --no-net "${metainfo[0]}" || fail "AppStream metadata not valid"
  grep -q "<launchable type=\"desktop-id\">horatab.desktop</launchable>" "${metainfo[0]}" ||
    fail "the AppStream metadata does not launch horatab.desktop"
}

# The MIME definition alone, in a data folder of its own over the system's
# types: the example is a timetable export with and without a byte order
# mark, other XML stays application/xml.
check_mime_type() {
  mkdir -p "$work/data/mime/packages"
  cp "$share/mime/packages/horatab.xml" "$work/data/mime/packages/"
  XDG_DATA_HOME="$work/data" update-mime-database "$work/data/mime" || fail "update-mime-database rejected horatab.xml"

  sed '1s/^\xEF\xBB\xBF//' "$example" >"$work/plain.xml"
  printf '\xEF\xBB\xBF' >"$work/with-bom.xml"
  cat "$work/plain.xml" >>"$work/with-bom.xml"
  printf '<?xml version="1.0" encoding="UTF-8"?>\n<Students_Timetable/>\n' >"$work/other.xml"

  local file expected found
  for file in plain.xml:$mime_type with-bom.xml:$mime_type other.xml:application/xml; do
    expected="${file#*:}"
    file="$work/${file%%:*}"
    found="$(env -u XDG_CURRENT_DESKTOP -u KDE_FULL_SESSION -u GNOME_DESKTOP_SESSION_ID \
      -u DESKTOP_SESSION XDG_DATA_HOME="$work/data" XDG_DATA_DIRS=/usr/share \
      xdg-mime query filetype "$file")" || fail "xdg-mime failed on $file"
    [ "$found" = "$expected" ] || fail "xdg-mime says $file is $found, not $expected"
  done
}

metainfo=()
check_files
check_icon_sizes
check_programs
check_man_pages
check_metadata
check_mime_type
if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed for the files under $prefix" >&2
  exit 1
fi
echo "all installed files under $prefix are in place and valid"
