#!/usr/bin/env bash
# Builds the libFuzzer target (clang-14, AddressSanitizer and
# UndefinedBehaviorSanitizer) and fuzzes the import and both exports.
#   scripts/fuzz.sh [SECONDS]     run for SECONDS (default 60)
# FUZZ_BUILD_DIR (default: build-fuzz) and FUZZ_JOBS (parallel fuzzing
# processes, default 1) may be set. New inputs go to FUZZ_BUILD_DIR/corpus
# (the seeds in fuzz/corpus are not changed); a crashing input is saved in
# FUZZ_BUILD_DIR/findings, and the script then fails.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
seconds="${1:-60}"
build_dir="${FUZZ_BUILD_DIR:-$root/build-fuzz}"
jobs="${FUZZ_JOBS:-1}"

case "$seconds" in
  ''|*[!0-9]*) echo "fuzz: SECONDS must be a whole number, not '$seconds'" >&2; exit 2 ;;
esac

packages=(clang-14 libclang-rt-14-dev cmake pkg-config libpugixml-dev libminizip-dev zlib1g-dev libicu-dev)
"$root/scripts/install_packages.sh" fuzz "${packages[@]}"

cmake -S "$root" -B "$build_dir" -DHORATAB_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 >/dev/null
cmake --build "$build_dir" --target horatab-fuzz --parallel "$(nproc)"

mkdir -p "$build_dir/corpus" "$build_dir/findings"
# The target saves two workbooks per input: a memory file system doubles
# its speed. libFuzzer ends without running exit handlers, so the scratch
# folders are removed here.
scratch_base="${TMPDIR:-/tmp}"
[ -d /dev/shm ] && [ -w /dev/shm ] && scratch_base=/dev/shm
scratch="$(mktemp -d "$scratch_base/horatab-fuzz-run-XXXXXX")"
trap 'rm -rf "$scratch"' EXIT
export TMPDIR="$scratch"
export ASAN_OPTIONS="${ASAN_OPTIONS:-halt_on_error=1:detect_leaks=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}"

echo "fuzz: running for ${seconds}s (corpus $build_dir/corpus, seeds fuzz/corpus)"
parallel=()
[ "$jobs" -gt 1 ] && parallel=(-fork="$jobs")
status=0
"$build_dir/bin/horatab-fuzz" "$build_dir/corpus" "$root/fuzz/corpus" \
  -dict="$root/fuzz/timetable.dict" -max_len=8192 -timeout=20 -rss_limit_mb=2048 \
  -max_total_time="$seconds" -print_final_stats=1 "${parallel[@]}" \
  -artifact_prefix="$build_dir/findings/" || status=$?

if [ "$status" -ne 0 ]; then
  echo "fuzz: FAILED (status $status); the input is in $build_dir/findings:" >&2
  ls -l "$build_dir/findings" >&2
  exit 1
fi
echo "fuzz: no finding in ${seconds}s"
