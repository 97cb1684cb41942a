#!/usr/bin/env bash
# Size of the test code against the code under src/: non-blank lines and
# characters of the C++ files, then the same with fuzz/ and the test scripts.
set -euo pipefail
cd "$(dirname "$0")/.."

# Prints "LINES CHARS" of the non-blank lines of the files named on stdin.
measure() {
  xargs -0 -r cat | awk 'NF { lines++; chars += length($0) + 1 } END { printf "%d %d\n", lines, chars }'
}

cpp_under() { find "$@" -type f \( -name '*.cpp' -o -name '*.h' \) -print0 2>/dev/null; }
scripts_under() { find "$@" -type f \( -name '*.py' -o -name '*.sh' -o -name '*.cmake' \) -print0 2>/dev/null; }

read -r src_lines src_chars < <(cpp_under src | measure)
read -r test_lines test_chars < <(cpp_under tests | measure)
read -r all_lines all_chars < <({ cpp_under tests fuzz; scripts_under tests; } | measure)

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.1f %%", 100 * a / b }'; }

printf '%-34s %8s %10s\n' "" lines characters
printf '%-34s %8d %10d\n' "src (C++)" "$src_lines" "$src_chars"
printf '%-34s %8d %10d\n' "tests (C++)" "$test_lines" "$test_chars"
printf '%-34s %8d %10d\n' "tests + fuzz + test scripts" "$all_lines" "$all_chars"
printf '%-34s %8s %10s\n' "tests / src" "$(ratio "$test_lines" "$src_lines")" "$(ratio "$test_chars" "$src_chars")"
printf '%-34s %8s %10s\n' "(tests + fuzz + scripts) / src" "$(ratio "$all_lines" "$src_lines")" "$(ratio "$all_chars" "$src_chars")"
