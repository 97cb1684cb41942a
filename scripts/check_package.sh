#!/usr/bin/env bash
# Checks Horatab's Debian package: lintian reports no error, the control
# data and the files are right, and the files unpacked with dpkg -x run and
# validate (tests/packaging/check_installed.sh).
# With --system (as root) it also installs the package with apt-get, checks
# the installed system (PATH, man, the MIME database) and removes it again.
#   scripts/check_package.sh [--system] build-package/horatab_VERSION_ARCH.deb
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
system=0
if [ "${1:-}" = "--system" ]; then
  system=1
  shift
fi
deb="$(realpath "$1")"
example="$root/examples/school.xml"
mime_type="application/x-teachers-timetable+xml"

"$root/scripts/install_packages.sh" check-package \
  lintian desktop-file-utils appstream shared-mime-info xdg-utils libfile-mimeinfo-perl man-db

echo "== lintian"
lintian --fail-on error --display-info --pedantic "$deb"

echo "== control data"
version="$(dpkg-deb -f "$deb" Version)"
depends="$(dpkg-deb -f "$deb" Depends)"
echo "Version: $version"
echo "Depends: $depends"
for library in libqt6widgets6 libpugixml1v5 libminizip1 libc6; do
  case "$depends" in
    *"$library"*) ;;
    *) echo "the dependencies lack $library" >&2; exit 1 ;;
  esac
done
outside="$(dpkg-deb -c "$deb" | awk '{print $6}' | grep -v '^\./$' | grep -v '^\./usr/' || true)"
if [ -n "$outside" ]; then
  echo "files outside /usr: $outside" >&2
  exit 1
fi

echo "== unpacked"
unpacked="$(mktemp -d)"
trap 'rm -rf "$unpacked"' EXIT
dpkg -x "$deb" "$unpacked"
"$root/tests/packaging/check_installed.sh" "$unpacked" "$version" "$example"

[ "$system" -eq 1 ] || exit 0
echo "== installed with apt-get"
DEBIAN_FRONTEND=noninteractive apt-get install -o DPkg::Lock::Timeout=600 -y -qq "$deb" >/dev/null
# Checked in a subshell so that the package is removed whatever happens.
set +e
(
  set -e
  [ "$(command -v horatab-export)" = /usr/bin/horatab-export ]
  man -w horatab-export
  man -w horatab
  found="$(env -u XDG_CURRENT_DESKTOP XDG_DATA_HOME=/nonexistent XDG_DATA_DIRS=/usr/share \
    xdg-mime query filetype "$example")"
  echo "xdg-mime: $found"
  [ "$found" = "$mime_type" ]
  "$root/tests/packaging/check_installed.sh" / "$version" "$example"
)
status=$?
set -e
DEBIAN_FRONTEND=noninteractive apt-get remove -o DPkg::Lock::Timeout=600 --purge -y -qq horatab >/dev/null
for gone in /usr/bin/horatab-export "/usr/share/mime/${mime_type}.xml" /usr/share/doc/horatab; do
  if [ -e "$gone" ]; then
    echo "left behind after removal: $gone" >&2
    status=1
  fi
done
[ "$status" -eq 0 ] && echo "installed, checked and removed again"
exit "$status"
