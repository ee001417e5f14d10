#!/usr/bin/env bash
# Style checked by the machine, on the product code (engine, tools, platform,
# ui, app): clang-format must leave every file as it is, clang-tidy (.clang-tidy)
# must warn about nothing, and every include must keep to its layer.
# Usage: scripts/lint.sh BUILD_DIR   (a configured and built tree with compile_commands.json)
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:?usage: scripts/lint.sh BUILD_DIR}"

mapfile -t sources < <(git ls-files 'engine/*.cpp' 'engine/*.h' 'tools/*.cpp' 'tools/*.h' \
  'platform/*.cpp' 'platform/*.h' 'ui/*.cpp' 'ui/*.h' 'app/*.cpp' 'app/*.h' | grep -v '_windows\.cpp$')

echo "lint: clang-format on ${#sources[@]} files"
clang-format --dry-run -Werror "${sources[@]}"

echo "lint: include rules of the layers"
python3 tests/layers/check_layers.py .

mapfile -t units < <(printf '%s\n' "${sources[@]}" | grep '\.cpp$')
echo "lint: clang-tidy on ${#units[@]} files"
log=$(mktemp)
trap 'rm -f "$log"' EXIT
# -quiet drops the per-file "N warnings generated" noise; only warnings of our
# own files (HeaderFilterRegex) are reported.
if ! run-clang-tidy -p "$build" -quiet -j 2 "${units[@]/#/$PWD/}" >"$log" 2>&1; then
  grep -E 'warning:|error:' -A3 "$log" >&2 || cat "$log" >&2
  echo "lint: clang-tidy found problems" >&2
  exit 1
fi
if grep -qE '(warning|error):' "$log"; then
  grep -E '(warning|error):' -A3 "$log" >&2
  echo "lint: clang-tidy found problems" >&2
  exit 1
fi
echo "lint: clean"
