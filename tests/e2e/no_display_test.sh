#!/usr/bin/env bash
# Without any desktop session (no DISPLAY, no WAYLAND_DISPLAY, no platform
# chosen) the real program says in one line what is missing and fails with
# status 1, instead of the toolkit's abort. Needs no X server.
#
# Environment: MORVANE (the binary).
set -euo pipefail
: "${MORVANE:?MORVANE must name the morvane binary}"

fail() { echo "FAIL: $*" >&2; exit 1; }

status=0
err=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM timeout 30 "$MORVANE" 2>&1 >/dev/null) || status=$?
[ "$status" -eq 1 ] || fail "exit status $status, expected 1; it said: $err"
[ "$(wc -l <<<"$err")" -eq 1 ] || fail "expected one line, got: $err"
grep -q 'needs a desktop session' <<<"$err" || fail "the line does not say a desktop session is needed: $err"
grep -q 'neither DISPLAY .* nor WAYLAND_DISPLAY' <<<"$err" ||
  fail "the line does not name DISPLAY and WAYLAND_DISPLAY: $err"
echo "no display: $err"
