#!/usr/bin/env bash
# Style checked by the machine, on the product code (engine, tools, platform,
# ui, app): clang-format must leave every file as it is, clang-tidy (.clang-tidy)
# must warn about nothing, and every include must keep to its layer.
# Usage: scripts/lint.sh BUILD_DIR [WINDOWS_BUILD_DIR]
#   BUILD_DIR: a configured and built tree with compile_commands.json;
#   WINDOWS_BUILD_DIR: the same for the MinGW-w64 cross build
#   (scripts/test-windows.sh makes build/windows): clang-tidy then also checks
#   the Windows-only files (*_windows.cpp), which the Linux tree never compiles.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:?usage: scripts/lint.sh BUILD_DIR [WINDOWS_BUILD_DIR]}"
windows_build="${2:-}"

mapfile -t sources < <(git ls-files 'engine/*.cpp' 'engine/*.h' 'tools/*.cpp' 'tools/*.h' \
  'platform/*.cpp' 'platform/*.h' 'ui/*.cpp' 'ui/*.h' 'app/*.cpp' 'app/*.h')

echo "lint: clang-format on ${#sources[@]} files"
clang-format --dry-run -Werror "${sources[@]}"

echo "lint: include rules of the layers"
python3 tests/layers/check_layers.py .

mapfile -t units < <(printf '%s\n' "${sources[@]}" | grep '\.cpp$' | grep -v '_windows\.cpp$')
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
if [ -n "$windows_build" ]; then
  mapfile -t windows_units < <(printf '%s\n' "${sources[@]}" | grep '_windows\.cpp$')
  echo "lint: clang-tidy on ${#windows_units[@]} Windows files through $windows_build"
  # clang reads the cross build's commands as a MinGW-w64 target; Debian keeps
  # that compiler's C++ headers where clang does not look for them.
  cxx=/usr/lib/gcc/x86_64-w64-mingw32/12-posix/include/c++
  extra=(--target=x86_64-w64-mingw32 "-isystem$cxx" "-isystem$cxx/x86_64-w64-mingw32" "-isystem$cxx/backward")
  if ! run-clang-tidy -p "$windows_build" -quiet -j 2 "${extra[@]/#/-extra-arg=}" \
      "${windows_units[@]/#/$PWD/}" >"$log" 2>&1 || grep -qE '(warning|error):' "$log"; then
    grep -E '(warning|error):' -A3 "$log" >&2 || cat "$log" >&2
    echo "lint: clang-tidy found problems in the Windows files" >&2
    exit 1
  fi
fi
echo "lint: clean"
