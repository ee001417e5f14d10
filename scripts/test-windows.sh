#!/usr/bin/env bash
# The Windows stage: cross-builds Morvane for 64-bit Windows with MinGW-w64
# against the Windows Qt (scripts/windows-qt.sh) and tests it under Wine:
#   1. the engine tests and the window tests, headless (Wine without a display);
#   2. the platform tests on Qt's windows plugin, against Wine's user32,
#      shell32, advapi32 and kernel32, in Xvfb with openbox;
#   3. the Windows package (a zip), unpacked into a clean Wine prefix, its
#      morvane.exe started from there and driven end to end: Chinese captions,
#      a conversion through the button, the result on the clipboard, keep-on-top
#      as the window manager's "above" state;
#   4. its morvane-convert.exe on a GB2312-form page under a Chinese name (-o,
#      -i, standard output; the driver's own tests run headless in 1.).
# Each test program runs once (Wine starts once per program, not per test).
# Works from a fresh clone on a fresh Debian 12 root (run as root, or with
# sudo), with the prebuilt Qt archive at ../shared/windows/ beside the clone or
# named by MORVANE_QT_WINDOWS_ARCHIVE. The last line is "N passed, N failed".
#
# Environment: MORVANE_QT_WINDOWS_ARCHIVE, MORVANE_CACHE_DIR (see windows-qt.sh),
# MORVANE_WINDOWS_BUILD (build folder, default build/windows),
# MORVANE_WINDOWS_BUILD_TYPE (Release), MORVANE_JOBS (2).
#
# Wine hands the Unix environment to Windows programs except a few names it
# keeps for itself, QT_* among them: a Windows program sees WINEQT_X as QT_X.
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
cd "$repo"
started=$SECONDS
jobs=${MORVANE_JOBS:-2}
build=${MORVANE_WINDOWS_BUILD:-$repo/build/windows}
cache=${MORVANE_CACHE_DIR:-${XDG_CACHE_HOME:-$HOME/.cache}/morvane}
export MORVANE_CACHE_DIR=$cache
export CCACHE_BASEDIR=$repo
# Wine names Unix files in the Unix locale's charset: without a UTF-8 locale
# (a fresh root sets none) a Chinese file name cannot be made, and xdotool
# cannot match the window's Chinese title.
export LANG="${LANG:-C.UTF-8}"

log() { printf '[test-windows %4ds] %s\n' $((SECONDS - started)) "$*" >&2; }

# --- Packages ------------------------------------------------------------------
packages=(
  # the cross compiler, the build, and Debian's Qt host tools (moc, rcc, uic)
  cmake ninja-build g++-mingw-w64-x86-64-posix qt6-base-dev googletest xz-utils git
  # Wine, an X server, a window manager and the tools that drive and read it
  wine64 xvfb xauth openbox xdotool xclip x11-utils imagemagick
  # the Chinese captions' font; Qt's Chinese translations and the manual page
  # as text for the package; unzip to unpack it as a user would
  fonts-wqy-microhei qt6-translations-l10n groff-base unzip
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  log "installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache) || launcher=()

# --- Qt and GoogleTest for Windows -----------------------------------------------
qt=$("$repo/scripts/windows-qt.sh")
# Qt's translations are the same files on every system; the Windows Qt has
# none of its own, and the window tests load Chinese (and Hebrew) from it.
mkdir -p "$qt/translations"
cp /usr/share/qt6/translations/qtbase_*.qm "$qt/translations/"
gtest=$cache/googletest-mingw
if [ ! -f "$gtest/lib/cmake/GTest/GTestConfig.cmake" ]; then
  log "cross-building GoogleTest from /usr/src/googletest"
  rm -rf "$cache/googletest-build"
  cmake -S /usr/src/googletest -B "$cache/googletest-build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/mingw-w64-x86_64.cmake" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$gtest" "${launcher[@]}" >/dev/null
  cmake --build "$cache/googletest-build" -j "$jobs" >/dev/null
  cmake --install "$cache/googletest-build" >/dev/null
  rm -rf "$cache/googletest-build"
fi

# --- The cross build ----------------------------------------------------------------
log "building for Windows in $build"
cmake -S "$repo" -B "$build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/mingw-w64-x86_64.cmake" -DCMAKE_BUILD_TYPE="${MORVANE_WINDOWS_BUILD_TYPE:-Release}" \
  -DCMAKE_PREFIX_PATH="$qt;$gtest" -DQT_HOST_PATH=/usr \
  -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake -DMORVANE_WERROR=ON \
  "${launcher[@]}" >/dev/null
# Ninja writes a compiler's errors to standard output: keep them, and show
# them when the build fails.
if ! cmake --build "$build" -j "$jobs" >"$build/build.log" 2>&1; then
  grep -E -A12 'error|FAILED' "$build/build.log" | head -n 60 >&2
  log "the Windows build failed: see $build/build.log"
  exit 1
fi
(cd "$build" && cpack -G ZIP >/dev/null)
zip_file=$(ls "$build"/morvane-*-windows-x86_64.zip)
log "package $(basename "$zip_file"): $(du -k "$zip_file" | cut -f1) KiB"

# --- Wine ------------------------------------------------------------------------------
run_dir=$build/wine-run
rm -rf "$run_dir"
mkdir -p "$run_dir"
export WINEDEBUG=-all
# No Mono and no Gecko: a fresh prefix would otherwise offer to download them.
export WINEDLLOVERRIDES="mscoree=;mshtml="
export WINEARCH=win64
winpath() { echo "Z:${1//\//\\}"; }

# A fresh prefix, made once for the build's tests. The test programs find Qt's
# DLLs and the compiler's runtime through WINEPATH, and Qt its plugins beside
# its own DLLs.
export WINEPREFIX=$run_dir/prefix-tests
$wine wineboot --init >/dev/null 2>&1
runtime=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=libstdc++-6.dll)")
pthread=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=libwinpthread-1.dll)")
export WINEPATH="$(winpath "$qt/bin");$(winpath "$runtime");$(winpath "$pthread")"
graphics() { # null | x11
  if [ "$1" = null ]; then
    $wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
  else
    $wine reg delete 'HKCU\Software\Wine\Drivers' /v Graphics /f >/dev/null 2>&1 || true
  fi
  "$wineserver" -w
}

passed=0
failed=0
# Runs one GoogleTest program under Wine and adds its counts; a program that
# ends without its summary counts as one failure.
run_gtest() { # name exe [args...]
  local name=$1 exe=$2 out=$run_dir/$1.log
  shift 2
  log "running $name"
  local t0=$SECONDS rc=0
  timeout 600 "$wine" "$exe" "$@" >"$out" 2>&1 || rc=$?
  local p f s
  p=$(sed -n 's/^\[  PASSED  \] \([0-9]*\) test.*/\1/p' "$out" | tail -n 1)
  f=$(sed -n 's/^\[  FAILED  \] \([0-9]*\) test.*/\1/p' "$out" | tail -n 1)
  s=$(sed -n 's/^\[  SKIPPED \] \([0-9]*\) test.*/\1/p' "$out" | tail -n 1)
  if [ -z "$p" ]; then
    log "$name ended without a summary (status $rc): see $out"
    tail -n 20 "$out" >&2
    failed=$((failed + 1))
    return
  fi
  passed=$((passed + p))
  failed=$((failed + ${f:-0}))
  [ "${f:-0}" -eq 0 ] || grep '^\[  FAILED  \]' "$out" >&2
  [ -z "$s" ] || grep -A1 '^\[ RUN      \]' "$out" | grep -B1 'Skipped\|SKIPPED' | grep -v '^--' >&2 || true
  log "$name: $p passed, ${f:-0} failed${s:+, $s skipped} ($((SECONDS - t0)) s)"
}

# 1. Headless: Wine without a display, Qt's offscreen plugin with a font folder;
#    the driver's tests need neither.
graphics null
run_gtest engine "$build/tests/engine/morvane_engine_tests.exe"
run_gtest tools "$build/tests/tools/morvane_tools_tests.exe"
WINEQT_QPA_PLATFORM=offscreen WINEQT_QPA_FONTDIR=Z:/usr/share/fonts/truetype/wqy \
  run_gtest ui "$build/tests/ui/morvane_ui_tests.exe"

# 2. and 3. In an X server with openbox.
x_pids=()
stop_x() {
  local i
  for ((i = ${#x_pids[@]} - 1; i >= 0; i--)); do kill "${x_pids[$i]}" 2>/dev/null || true; done
}
trap stop_x EXIT
for d in $(seq 151 199); do
  if [ ! -e "/tmp/.X11-unix/X$d" ] && [ ! -e "/tmp/.X$d-lock" ]; then
    Xvfb ":$d" -screen 0 1280x800x24 -noreset -nolisten tcp >/dev/null 2>&1 &
    x_pids+=($!)
    export DISPLAY=":$d"
    break
  fi
done
source "$repo/tests/windows/wait_for.sh"
wait_for 100 xdpyinfo || { log "Xvfb did not start"; exit 1; }
openbox --sm-disable >/dev/null 2>&1 &
x_pids+=($!)
wait_for 100 sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"' ||
  { log "openbox did not start"; exit 1; }

graphics x11
WINEQT_QPA_PLATFORM=windows run_gtest platform "$build/tests/platform/morvane_platform_tests.exe"
"$wineserver" -k 2>/dev/null || true

# 3. The package in a clean prefix, with nothing on WINEPATH.
unset WINEPATH
export WINEPREFIX=$run_dir/prefix-package
$wine wineboot --init >/dev/null 2>&1
log "unpacking the package into C:\\ of the clean prefix $WINEPREFIX"
unzip -q "$zip_file" -d "$WINEPREFIX/drive_c"
app_dir=$WINEPREFIX/drive_c/$(basename "$zip_file" .zip)
# An end-to-end script: its "ok" lines count as passed checks, a failure as one failed test.
run_checks() { # name log what-to-look-at command...
  local name=$1 out=$2 look=$3 checks
  shift 3
  if "$@" >"$out" 2>&1; then
    checks=$(grep -c '^ok ' "$out" || true)
    passed=$((passed + checks))
    log "$name: $checks checks passed"
  else
    passed=$((passed + $(grep -c '^ok ' "$out" || true)))
    failed=$((failed + 1))
    tail -n 20 "$out" >&2
    log "$name failed: see $look"
  fi
  "$wineserver" -k 2>/dev/null || true
}
run_checks end-to-end "$run_dir/e2e.log" "$run_dir/e2e.log and the screenshots beside it" \
  env E2E_APP="$app_dir/morvane.exe" E2E_OUT="$run_dir" WINE="$wine" \
  "$repo/tests/windows/package_e2e_test.sh"

# 4. The driver from the same unpacked package, on a page under a Chinese name.
run_checks "driver end-to-end" "$run_dir/driver-e2e.log" "$run_dir/driver-e2e.log" \
  env E2E_CONVERT="$app_dir/morvane-convert.exe" E2E_OUT="$run_dir" WINE="$wine" \
  "$repo/tests/windows/driver_e2e_test.sh"

log "stage took $((SECONDS - started)) s"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
