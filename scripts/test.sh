#!/usr/bin/env bash
# Sets up, builds and runs every test: first the whole suite under
# AddressSanitizer and UndefinedBehaviorSanitizer, then the normal build with
# the end-to-end tests in a real X server. The last lines are ctest's summary.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh

werror="${MORVANE_WERROR:-OFF}"

cmake -S . -B build/sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DMORVANE_SANITIZE=ON \
  -DMORVANE_BENCH=OFF -DMORVANE_WERROR="$werror" >/dev/null
cmake --build build/sanitize -j2
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
ctest --test-dir build/sanitize -LE 'e2e' --output-on-failure -j2

cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DMORVANE_WERROR="$werror" >/dev/null
cmake --build build/release -j2
ctest --test-dir build/release --output-on-failure -j2
