#!/usr/bin/env bash
# Installs the Debian 12 packages Morvane needs, by purpose, and nothing that is
# already there. Non-interactive; uses sudo when not run as root.
# Usage: scripts/setup.sh [run|test|all]
#   run   building and running the program (what scripts/run.sh needs)
#   test  that, plus every tool the test command and its tests call (scripts/test.sh)
#   all   the same as test (the default: a developer's machine)
set -euo pipefail

group="${1:-all}"

# Building the program and the driver, and running the window as it should look.
run_packages=(
  cmake ninja-build g++ pkg-config ccache
  qt6-base-dev qt6-qpa-plugins libxcb1-dev
  # the driver's --check reads its results with libxml2
  libxml2-dev
  # a CJK font so the Chinese captions render; Qt's own texts in Chinese
  fonts-wqy-microhei qt6-translations-l10n
)

# Everything scripts/test.sh, scripts/lint.sh and the tests call.
test_packages=(
  # the checkout, the style checks (lint.sh), the fuzz build (clang, libFuzzer)
  git clang-format clang-tidy clang libclang-rt-14-dev
  # unit tests and benchmarks
  libgtest-dev libgmock-dev libbenchmark-dev
  # end-to-end tests in a real X server (Xvfb, xdpyinfo/xprop/xwininfo, import/convert)
  xvfb xauth openbox jwm xdotool xclip x11-utils imagemagick
  # reading the running window through the accessibility bus
  python3 python3-pyatspi gir1.2-atspi-2.0 python3-gi at-spi2-core dbus-daemon dbus-x11
  # packaging checks: desktop entry, AppStream, the Debian package (dpkg-deb,
  # dpkg-shlibdeps, objdump), file types, the manual page (man, lexgrog, groff)
  desktop-file-utils appstream dpkg-dev binutils file man-db groff-base
  # driver tests: an independent XML reader of the pages it writes; access
  # control lists and extended attributes of the files it replaces
  libxml2-utils acl attr
  # benchmark scripts (bench/): /usr/bin/time
  time
)

case "$group" in
run) packages=("${run_packages[@]}") ;;
test | all) packages=("${run_packages[@]}" "${test_packages[@]}") ;;
*)
  echo "usage: scripts/setup.sh [run|test|all]" >&2
  exit 2
  ;;
esac

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

sudo=()
if [ "$(id -u)" -ne 0 ]; then
  sudo=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
# Wait for another apt run to release its lock instead of failing at once.
apt=("${sudo[@]}" apt-get -o DPkg::Lock::Timeout=300 -o Acquire::Retries=3)

# Runs an apt-get step that fetches from the network; a failure to fetch is
# tried again a few times, any other failure stops at once.
fetch() { # what apt-get-arguments...
  local what=$1 attempt log
  shift
  log=$(mktemp)
  for attempt in 1 2 3 4; do
    if "${apt[@]}" "$@" >"$log" 2>&1; then
      rm -f "$log"
      return 0
    fi
    if ! grep -qE 'Failed to fetch|Temporary failure resolving|Could not resolve|Could not connect|Connection (failed|timed out|refused)|Unable to connect|Network is unreachable|Hash Sum mismatch|Some index files failed to download' "$log"; then
      cat "$log" >&2
      rm -f "$log"
      echo "setup: apt-get could not $what (see above)" >&2
      exit 1
    fi
    echo "setup: could not $what (attempt $attempt of 4): the network or the mirror failed; trying again" >&2
    sleep $((attempt * 15))
  done
  cat "$log" >&2
  rm -f "$log"
  echo "setup: could not $what after 4 attempts: the network (or the package mirror) is not reachable" >&2
  exit 1
}

echo "setup: installing ${missing[*]}"
fetch "read the package lists" update -qq
fetch "download the packages" install -y -qq --download-only --no-install-recommends "${missing[@]}"
"${apt[@]}" install -y -qq --no-install-recommends "${missing[@]}"
