#!/usr/bin/env bash
# Sets up, builds and starts Morvane. Installs only what building and running
# need (scripts/setup.sh run); the test tools come with scripts/test.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh run
# The compiler cache keys on paths relative to the clone, so every clone shares it.
export CCACHE_BASEDIR="$PWD"
cmake -S . -B build/run -G Ninja -DCMAKE_BUILD_TYPE=Release -DMORVANE_GUI=ON \
  -DMORVANE_BENCH=OFF -DMORVANE_TESTS=OFF -DMORVANE_FUZZ=OFF >/dev/null
cmake --build build/run -j2

# The window needs a desktop session. Without one (a server, a container, a
# login over ssh without X forwarding) say so and point at the driver, which
# needs none, instead of letting the toolkit abort.
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "run.sh: built, but the Morvane window needs a desktop session and neither DISPLAY (X11) nor WAYLAND_DISPLAY (Wayland) is set; without one, try the command-line driver: build/run/tools/morvane-convert --help" >&2
  exit 3
fi
exec build/run/app/morvane "$@"
