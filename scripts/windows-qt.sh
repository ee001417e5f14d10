#!/usr/bin/env bash
# Makes Qt 6.4.2 for 64-bit Windows (MinGW-w64) available and prints its
# prefix (the folder holding bin/, lib/, plugins/) on standard output.
#
# The Qt is kept in a cache folder and made only once:
# - from the prebuilt archive when there is one (MORVANE_QT_WINDOWS_ARCHIVE,
#   else ../shared/windows/ beside the clone), after checking its sha256;
# - otherwise built from Debian 12's own qt6-base source package (about 35
#   minutes on 2 cores), configured exactly as the archive was.
# The moc, rcc and uic that the Windows build runs are Debian's own Qt 6.4.2
# host tools, so the two must stay the same version.
#
# Environment:
#   MORVANE_QT_WINDOWS_ARCHIVE  the archive (default: <clone>/../shared/windows/qt-6.4.2-mingw-w64-x86_64.tar.xz)
#   MORVANE_CACHE_DIR           the cache (default: ${XDG_CACHE_HOME:-~/.cache}/morvane)
#   MORVANE_QT_FROM_SOURCE=1    build from the source package even when the archive exists
#   MORVANE_DEBIAN_MIRROR       where the source package comes from (default: the machine's configured mirror)
set -euo pipefail

readonly qt_version=6.4.2
readonly archive_name=qt-${qt_version}-mingw-w64-x86_64.tar.xz
readonly archive_sha256=39534d74324872ec869ad0ddde8c04e3f08c783741db239bf911ce5a8fc5e244
readonly source_package=qt6-base
readonly source_tarball=qt6-base_${qt_version}+dfsg.orig.tar.xz

repo=$(cd "$(dirname "$0")/.." && pwd)
archive=${MORVANE_QT_WINDOWS_ARCHIVE:-$(git -C "$repo" rev-parse --show-toplevel 2>/dev/null || echo "$repo")/../shared/windows/$archive_name}
cache=${MORVANE_CACHE_DIR:-${XDG_CACHE_HOME:-$HOME/.cache}/morvane}
target=$cache/qt-${qt_version}-mingw-w64-x86_64
prefix=$target/qt6-mingw
stamp=$target/.complete

log() { echo "windows-qt: $*" >&2; }

if [ -f "$stamp" ] && [ -f "$prefix/lib/cmake/Qt6/Qt6Config.cmake" ]; then
  log "using $prefix ($(cat "$stamp"))"
  echo "$prefix"
  exit 0
fi

# The host tools must match the Windows libraries' version exactly.
host_version=$(dpkg-query -W -f='${Version}' qt6-base-dev-tools 2>/dev/null || true)
case $host_version in
  ${qt_version}+*) ;;
  *) log "Debian's qt6-base-dev-tools ${qt_version} is needed as host tools (found: '${host_version:-none}')"; exit 1 ;;
esac

mkdir -p "$cache"
rm -rf "$target"
work=$(mktemp -d "$cache/.qt-work.XXXXXX")
trap 'rm -rf "$work"' EXIT

if [ "${MORVANE_QT_FROM_SOURCE:-0}" != 1 ] && [ -f "$archive" ]; then
  log "checking $archive"
  echo "$archive_sha256  $archive" | sha256sum --check --status || {
    log "$archive does not have the expected sha256 $archive_sha256"; exit 1; }
  tar -xJf "$archive" -C "$work"
  [ -f "$work/qt6-mingw/lib/cmake/Qt6/Qt6Config.cmake" ] || { log "$archive holds no qt6-mingw/ tree"; exit 1; }
  mkdir -p "$target"
  mv "$work/qt6-mingw" "$prefix"
  echo "unpacked from $archive_name, sha256 $archive_sha256" > "$stamp"
  log "unpacked into $prefix"
  echo "$prefix"
  exit 0
fi

if [ "${MORVANE_QT_FROM_SOURCE:-0}" != 1 ]; then
  log "no archive at $archive: building Qt from Debian's $source_package source package (about 35 minutes at -j2)"
fi

# The source package through a private apt configuration: a deb-src entry for
# the configured mirror, with its own lists, so the machine's apt set-up is
# neither needed nor changed and no root is required.
mirror=${MORVANE_DEBIAN_MIRROR:-}
if [ -z "$mirror" ]; then
  mirror=$( { sed -n 's/^URIs:[[:space:]]*\([^[:space:]]*\).*/\1/p' /etc/apt/sources.list.d/*.sources 2>/dev/null
              sed -n 's/^deb[[:space:]]\+\(\[[^]]*\][[:space:]]\+\)\?\([^[:space:]]*debian\/\?\)[[:space:]].*/\2/p' /etc/apt/sources.list 2>/dev/null
            } | grep -v -e security -e '^$' | head -n 1 || true)
fi
mirror=${mirror:-http://deb.debian.org/debian}
mkdir -p "$work/apt/lists/partial" "$work/apt/cache/archives/partial" "$work/src"
echo "deb-src $mirror bookworm main" > "$work/apt/sources.list"
apt_private=(-o "Dir::Etc::SourceList=$work/apt/sources.list" -o "Dir::Etc::SourceParts=-"
             -o "Dir::State::Lists=$work/apt/lists" -o "Dir::Cache=$work/apt/cache"
             -o "APT::Sandbox::User=$(id -un)" -o "Debug::NoLocking=1")
log "fetching $source_package from $mirror"
apt-get "${apt_private[@]}" -qq update
(cd "$work/src" && apt-get "${apt_private[@]}" -qq source --download-only "$source_package")
[ -f "$work/src/$source_tarball" ] || {
  log "the mirror's $source_package is not ${qt_version} (found: $(ls "$work/src"))"; exit 1; }
tar -xJf "$work/src/$source_tarball" -C "$work/src"
src=$work/src/qtbase-everywhere-src-${qt_version}
[ -d "$src" ] || { log "$source_tarball holds no qtbase-everywhere-src-${qt_version}/"; exit 1; }

# Debian's own patches are left out (they serve the Linux build). This one lets
# the Windows platform plugin build with OpenGL and Direct2D off.
patch -d "$src" -p1 --forward --quiet < "$repo/scripts/windows/qtbase-${qt_version}-windows-without-opengl.patch"

# Debian's tarball drops src/3rdparty/wintab, hence no tablet events.
cmake -S "$src" -B "$work/build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/mingw-w64-x86_64.cmake" \
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
  -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON -DCMAKE_INSTALL_PREFIX="$prefix" \
  -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DFEATURE_tabletevent=OFF -DFEATURE_opengl=OFF \
  -DFEATURE_direct2d=OFF -DFEATURE_jpeg=OFF -DFEATURE_network=OFF -DFEATURE_sql=OFF -DFEATURE_xml=OFF \
  -DFEATURE_dbus=OFF -DFEATURE_printsupport=OFF -DFEATURE_concurrent=OFF -DINPUT_openssl=no >&2
cmake --build "$work/build" -j "${MORVANE_JOBS:-2}" >&2
cmake --install "$work/build" >&2
[ -f "$prefix/lib/cmake/Qt6/Qt6Config.cmake" ] || { log "the Qt build installed nothing usable"; exit 1; }
echo "built from Debian's $source_package source package $(ls "$work/src"/*.dsc | xargs -n1 basename)" > "$stamp"
log "built into $prefix"
echo "$prefix"
