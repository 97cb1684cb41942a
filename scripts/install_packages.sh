#!/usr/bin/env bash
# Installs the Debian packages given as arguments that are not installed yet
# (apt-get update first; sudo when not root). Quick when all are present.
# Waits up to ten minutes for another package manager run to release its lock.
#   scripts/install_packages.sh LABEL PACKAGE...
set -euo pipefail

label="$1"
shift
missing=()
for p in "$@"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ "${#missing[@]}" -eq 0 ] && exit 0

echo "$label: installing ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
lock_wait=(-o DPkg::Lock::Timeout=600)
"${sudo_cmd[@]}" apt-get "${lock_wait[@]}" update -qq
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get "${lock_wait[@]}" install -y -qq --no-install-recommends "${missing[@]}"
