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
./scripts/setup.sh

werror="${MORVANE_WERROR:-OFF}"
# The compiler cache keys on paths relative to the clone, so every clone shares it.
export CCACHE_BASEDIR="$PWD"

cmake -S . -B build/sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DMORVANE_SANITIZE=ON \
  -DMORVANE_GUI=ON -DMORVANE_TESTS=ON -DMORVANE_BENCH=OFF -DMORVANE_FUZZ=OFF \
  -DMORVANE_WERROR="$werror" >/dev/null
cmake --build build/sanitize -j2

./scripts/lint.sh build/sanitize

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
ctest --test-dir build/sanitize --no-tests=error -LE 'e2e|style' --output-on-failure -j2

cmake -S . -B build/fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DMORVANE_GUI=OFF -DMORVANE_TESTS=OFF -DMORVANE_BENCH=OFF -DMORVANE_FUZZ=ON -DMORVANE_SANITIZE=OFF \
  -DMORVANE_WERROR="$werror" >/dev/null
cmake --build build/fuzz -j2 --target morvane_fuzzers
ctest --test-dir build/fuzz --no-tests=error -L fuzz --output-on-failure -j2

cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DMORVANE_GUI=ON -DMORVANE_TESTS=ON -DMORVANE_BENCH=ON -DMORVANE_FUZZ=OFF -DMORVANE_SANITIZE=OFF \
  -DMORVANE_WERROR="$werror" >/dev/null
cmake --build build/release -j2
ctest --test-dir build/release --no-tests=error --output-on-failure -j2
