#!/usr/bin/env bash
# Installs what Morvane needs to build, run and test on Debian 12, and nothing
# that is already there. Non-interactive; uses sudo when not run as root.
set -euo pipefail

packages=(
  # build
  cmake ninja-build g++ qt6-base-dev qt6-qpa-plugins libxcb1-dev pkg-config libgtest-dev libgmock-dev libbenchmark-dev ccache
  # run: a CJK font so the Chinese captions render; Qt's own texts in Chinese
  fonts-wqy-microhei qt6-translations-l10n
  # end-to-end tests in a real X server
  xvfb xauth openbox jwm xdotool xclip x11-utils imagemagick time
  # reading the running window through the accessibility bus
  python3-pyatspi gir1.2-atspi-2.0 python3-gi at-spi2-core dbus-x11
  # packaging checks (desktop entry, AppStream, Debian package, manual page) and fuzzing
  desktop-file-utils appstream dpkg-dev file man-db clang libclang-rt-14-dev
  # the driver's --check reads its results with libxml2
  libxml2-dev
  # driver tests: independent readers of the pages it writes (Python's codecs, xmllint)
  python3 libxml2-utils
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  sudo="sudo"
fi
echo "setup: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
