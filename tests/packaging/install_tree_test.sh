#!/usr/bin/env bash
# Installs a build tree into a private root (cmake --install with DESTDIR) and
# checks what lands there: exactly the expected files, executables that run,
# a desktop entry, icons and AppStream metadata that the desktop tools accept
# and that point at each other through the one application id.
#
# Environment: BUILD_DIR (the build tree), APP_ID, PROJECT_VERSION, PYTHON.
set -euo pipefail
: "${BUILD_DIR:?}" "${APP_ID:?}" "${PROJECT_VERSION:?}" "${PYTHON:?}"

fail() { echo "FAIL: $*" >&2; exit 1; }

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
DESTDIR="$root" cmake --install "$BUILD_DIR" --prefix /usr >/dev/null

# path|mode: every installed file with its permission bits; nothing else may appear.
expected=(
  "usr/bin/morvane|755"
  "usr/bin/morvane-convert|755"
  "usr/share/applications/$APP_ID.desktop|644"
  "usr/share/metainfo/$APP_ID.metainfo.xml|644"
  "usr/share/icons/hicolor/scalable/apps/$APP_ID.svg|644"
  "usr/share/icons/hicolor/48x48/apps/$APP_ID.png|644"
  "usr/share/icons/hicolor/256x256/apps/$APP_ID.png|644"
  "usr/share/man/man1/morvane-convert.1.gz|644"
  "usr/share/doc/morvane/copyright|644"
)
for row in "${expected[@]}"; do
  path=${row%|*} mode=${row#*|}
  [ -f "$root/$path" ] || fail "$path was not installed"
  actual=$(stat -c %a "$root/$path")
  [ "$actual" = "$mode" ] || fail "$path has mode $actual, expected $mode"
done
unexpected=$(cd "$root" && find . -type f -printf '%P\n' | sort |
  grep -vxF -f <(printf '%s\n' "${expected[@]%|*}") || true)
[ -z "$unexpected" ] || fail "unexpected files installed: $unexpected"

[ "$("$root/usr/bin/morvane-convert" --version)" = "morvane-convert $PROJECT_VERSION" ] ||
  fail "installed morvane-convert --version does not say $PROJECT_VERSION"

# Each PNG icon must have the pixel size of the theme folder it sits in.
for size in 48 256; do
  png="$root/usr/share/icons/hicolor/${size}x${size}/apps/$APP_ID.png"
  file -b "$png" | grep -q "PNG image data, $size x $size," ||
    fail "$png is not a ${size}x${size} PNG: $(file -b "$png")"
done
"$PYTHON" -c 'import sys, xml.etree.ElementTree as t; \
  r = t.parse(sys.argv[1]).getroot(); sys.exit(r.tag != "{http://www.w3.org/2000/svg}svg")' \
  "$root/usr/share/icons/hicolor/scalable/apps/$APP_ID.svg" || fail "the scalable icon is not an SVG document"

desktop="$root/usr/share/applications/$APP_ID.desktop"
desktop-file-validate "$desktop" || fail "desktop-file-validate rejected $APP_ID.desktop"
key() { sed -n "s/^$1=//p" "$desktop"; }
[ "$(key Icon)" = "$APP_ID" ] || fail "the desktop entry's Icon is not $APP_ID"
[ -x "$root/usr/bin/$(key Exec | cut -d' ' -f1)" ] || fail "the desktop entry's Exec is not installed"

metainfo="$root/usr/share/metainfo/$APP_ID.metainfo.xml"
appstreamcli validate --no-net "$metainfo" || fail "appstreamcli rejected the metainfo file"
# The tree check also proves the launchable desktop entry is installed beside it.
appstreamcli validate-tree --no-net "$root" || fail "appstreamcli rejected the installed tree"
grep -q "<release version=\"$PROJECT_VERSION\"" "$metainfo" ||
  fail "the metainfo file has no release $PROJECT_VERSION"
for bin in morvane morvane-convert; do
  grep -q "<binary>$bin</binary>" "$metainfo" || fail "the metainfo file does not provide $bin"
  [ -x "$root/usr/bin/$bin" ] || fail "$bin is provided but not installed"
done
echo "install tree: ${#expected[@]} files, validators passed"
