#!/usr/bin/env bash
# Sets up, builds and starts Morvane.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
cmake -S . -B build/run -G Ninja -DCMAKE_BUILD_TYPE=Release -DMORVANE_BENCH=OFF -DMORVANE_TESTS=OFF >/dev/null
cmake --build build/run -j2
if [ -x build/run/app/morvane ]; then
  exec build/run/app/morvane "$@"
fi
# Without the window yet: convert a small built-in page both ways.
printf '<?xml version="1.0" encoding="gb2312"?>\r\n<p>\xe4\xb8\xad\xe6\x96\x87 &amp; WML</p>\r\n' |
  build/run/tools/morvane-convert --gb-to-utf
