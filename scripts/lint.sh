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

# shellcheck source=scripts/require.sh
source scripts/require.sh
require_tools lint clang-format:clang-format clang-tidy:clang-tidy run-clang-tidy:clang-tidy \
  python3:python3
[ -f "$build/compile_commands.json" ] || {
  echo "lint: $build/compile_commands.json not found: configure and build $build first" >&2
  exit 2
}

# The product code: in a git checkout the files git tracks, in an unpacked
# copy (no .git) every file under the product folders. clang-format checks the
# Windows-only implementations too; clang-tidy sees them only through the
# Windows build's compile commands, since the Linux tree never compiles them.
folders=(engine tools platform ui app)
if [ -e .git ]; then
  require_tools lint git:git
  mapfile -t sources < <(git ls-files -- "${folders[@]/%//*.cpp}" "${folders[@]/%//*.h}")
else
  mapfile -t sources < <(find "${folders[@]}" -type f \( -name '*.cpp' -o -name '*.h' \) |
    LC_ALL=C sort)
fi
mapfile -t units < <(printf '%s\n' "${sources[@]}" | grep '\.cpp$' | grep -v '_windows\.cpp$' || true)
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
# own files (HeaderFilterRegex) are reported. GCC's own warning options in the
# build's commands (-Wno-restrict) are unknown to clang, and -Werror would make
# that an error.
if ! run-clang-tidy -p "$build" -quiet -j 2 -extra-arg=-Wno-unknown-warning-option \
    "${units[@]/#/$PWD/}" >"$log" 2>&1; then
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
  extra=(--target=x86_64-w64-mingw32 "-isystem$cxx" "-isystem$cxx/x86_64-w64-mingw32" "-isystem$cxx/backward"
    -Wno-unknown-warning-option)
  if ! run-clang-tidy -p "$windows_build" -quiet -j 2 "${extra[@]/#/-extra-arg=}" \
      "${windows_units[@]/#/$PWD/}" >"$log" 2>&1 || grep -qE '(warning|error):' "$log"; then
    grep -E '(warning|error):' -A3 "$log" >&2 || cat "$log" >&2
    echo "lint: clang-tidy found problems in the Windows files" >&2
    exit 1
  fi
fi
echo "lint: clean"
