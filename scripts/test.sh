#!/usr/bin/env bash
# Sets up, builds and runs every test: first the whole suite under
# AddressSanitizer and UndefinedBehaviorSanitizer, then a short fixed run of
# each engine fuzz target (a clang build), then the normal build with the
# end-to-end and packaging tests in a real X server. The last lines are
# ctest's summary.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh

werror="${MORVANE_WERROR:-OFF}"
# The compiler cache keys on paths relative to the clone, so every clone shares it.
export CCACHE_BASEDIR="$PWD"

cmake -S . -B build/sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DMORVANE_SANITIZE=ON \
  -DMORVANE_BENCH=OFF -DMORVANE_WERROR="$werror" >/dev/null
cmake --build build/sanitize -j2
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
ctest --test-dir build/sanitize -LE 'e2e' --output-on-failure -j2

cmake -S . -B build/fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DMORVANE_GUI=OFF -DMORVANE_TESTS=OFF -DMORVANE_BENCH=OFF -DMORVANE_FUZZ=ON \
  -DMORVANE_WERROR="$werror" >/dev/null
cmake --build build/fuzz -j2 --target morvane_fuzzers
ctest --test-dir build/fuzz -L fuzz --output-on-failure -j2

cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DMORVANE_WERROR="$werror" >/dev/null
cmake --build build/release -j2
ctest --test-dir build/release --output-on-failure -j2
