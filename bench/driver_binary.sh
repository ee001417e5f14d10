# Sourced by the driver benchmarks: sets `binary` to the morvane-convert given
# as the script's first argument, or to a Release build of it made in
# $MORVANE_BENCH_BUILD (default build/driver-bench). Run from the repository root.
binary="${1:-}"
if [ -z "$binary" ]; then
  build="${MORVANE_BENCH_BUILD:-build/driver-bench}"
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DMORVANE_GUI=OFF -DMORVANE_TESTS=OFF -DMORVANE_BENCH=OFF >/dev/null
  cmake --build "$build" -j2 --target morvane-convert >/dev/null
  binary="$build/tools/morvane-convert"
fi
binary="$(realpath "$binary")"
