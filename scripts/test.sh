#!/usr/bin/env bash
# Sets up, builds and runs every test, in four stages, each in a build folder of
# its own (run.sh builds in build/run, so the two never share a cache):
#   1. style: clang-format and clang-tidy on the product code, and the layers'
#      include rules (build/sanitize's compile commands);
#   2. the whole suite but the end-to-end tests under AddressSanitizer and
#      UndefinedBehaviorSanitizer (build/sanitize);
#   3. a short fixed run of each fuzz target (engine and driver), a clang build (build/fuzz);
#   4. the normal build with every test, the end-to-end and packaging tests in a
#      private X server included (build/release).
# Every stage sets each option it relies on, and every ctest call fails when it
# finds no test. The last lines are ctest's summary.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh test

# Every tool this command, lint.sh and the tests call, checked before the first
# build step so that a missing one stops the run at once.
# shellcheck source=scripts/require.sh
source scripts/require.sh
require_tools test cmake:cmake ninja:ninja-build ctest:cmake cpack:cmake g++:g++ \
  clang++:clang ccache:ccache pkg-config:pkg-config \
  clang-format:clang-format clang-tidy:clang-tidy run-clang-tidy:clang-tidy \
  Xvfb:xvfb xauth:xauth openbox:openbox jwm:jwm xdotool:xdotool xclip:xclip \
  xdpyinfo:x11-utils xprop:x11-utils xwininfo:x11-utils import:imagemagick convert:imagemagick \
  dbus-daemon:dbus-daemon dbus-send:dbus-bin dbus-launch:dbus-x11 \
  desktop-file-validate:desktop-file-utils appstreamcli:appstream \
  dpkg-deb:dpkg dpkg-shlibdeps:dpkg-dev objdump:binutils file:file \
  man:man-db lexgrog:man-db groff:groff-base xmllint:libxml2-utils \
  setfacl:acl getfacl:acl setfattr:attr getfattr:attr
require_python_modules test gi:python3-gi pyatspi:python3-pyatspi

werror="${MORVANE_WERROR:-OFF}"
# The tests read and write UTF-8 text; a bare root or a login without a locale
# has none set.
export LANG="${LANG:-C.UTF-8}"
# The compiler cache keys on paths relative to the clone, so every clone shares it.
export CCACHE_BASEDIR="$PWD"
# A time stamp per stage, so a slow run shows where its time went.
stage() { echo "test.sh: [$(date -u +%H:%M:%S)] $*"; }

stage "build/sanitize: building"
cmake -S . -B build/sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DMORVANE_SANITIZE=ON \
  -DMORVANE_GUI=ON -DMORVANE_TESTS=ON -DMORVANE_BENCH=OFF -DMORVANE_FUZZ=OFF \
  -DMORVANE_WERROR="$werror" >/dev/null
cmake --build build/sanitize -j2

stage "style: scripts/lint.sh"
./scripts/lint.sh build/sanitize

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
stage "sanitizers: ctest"
ctest --test-dir build/sanitize --no-tests=error -LE 'e2e|style' --output-on-failure -j2

stage "build/fuzz: building and fuzzing"
cmake -S . -B build/fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DMORVANE_GUI=OFF -DMORVANE_TESTS=OFF -DMORVANE_BENCH=OFF -DMORVANE_FUZZ=ON -DMORVANE_SANITIZE=OFF \
  -DMORVANE_WERROR="$werror" >/dev/null
cmake --build build/fuzz -j2 --target morvane_fuzzers
ctest --test-dir build/fuzz --no-tests=error -L fuzz --output-on-failure -j2

stage "build/release: building and testing"
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DMORVANE_GUI=ON -DMORVANE_TESTS=ON -DMORVANE_BENCH=ON -DMORVANE_FUZZ=OFF -DMORVANE_SANITIZE=OFF \
  -DMORVANE_WERROR="$werror" >/dev/null
cmake --build build/release -j2
ctest --test-dir build/release --no-tests=error --output-on-failure -j2
