#!/usr/bin/env bash
# Style checked by the machine, on the product code (engine, tools, platform,
# ui, app): clang-format must leave every file as it is, clang-tidy (.clang-tidy)
# must warn about nothing, and every include must keep to its layer.
# Usage: scripts/lint.sh BUILD_DIR   (a configured and built tree with compile_commands.json)
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:?usage: scripts/lint.sh BUILD_DIR}"

# shellcheck source=scripts/require.sh
source scripts/require.sh
require_tools lint clang-format:clang-format clang-tidy:clang-tidy run-clang-tidy:clang-tidy \
  python3:python3
[ -f "$build/compile_commands.json" ] || {
  echo "lint: $build/compile_commands.json not found: configure and build $build first" >&2
  exit 2
}

# The product code: in a git checkout the files git tracks, in an unpacked
# copy (no .git) every file under the product folders. The Windows-only
# implementations are never compiled here, so clang-tidy has no commands for them.
folders=(engine tools platform ui app)
if [ -e .git ]; then
  require_tools lint git:git
  mapfile -t sources < <(git ls-files -- "${folders[@]/%//*.cpp}" "${folders[@]/%//*.h}" |
    grep -v '_windows\.cpp$' || true)
else
  mapfile -t sources < <(find "${folders[@]}" -type f \( -name '*.cpp' -o -name '*.h' \) \
    ! -name '*_windows.cpp' | LC_ALL=C sort)
fi
mapfile -t units < <(printf '%s\n' "${sources[@]}" | grep '\.cpp$' || true)
# A run that checks nothing proves nothing.
if [ ${#sources[@]} -eq 0 ] || [ ${#units[@]} -eq 0 ]; then
  echo "lint: found no source files to check under ${folders[*]}" >&2
  exit 1
fi

echo "lint: clang-format on ${#sources[@]} files"
clang-format --dry-run -Werror "${sources[@]}"

echo "lint: include rules of the layers"
python3 tests/layers/check_layers.py .

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
