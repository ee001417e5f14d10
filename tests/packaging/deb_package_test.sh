#!/usr/bin/env bash
# Builds the Debian package from a build tree with CPack, checks its control
# fields and contents, extracts it with dpkg -x into a private root and runs
# the programs from there: the driver prints its version, and the desktop
# program opens its window in a private X server (Xvfb + openbox) and closes
# cleanly when the window manager asks it to.
#
# Environment: BUILD_DIR (the build tree), PROJECT_VERSION, E2E_ARTIFACTS.
set -euo pipefail
: "${BUILD_DIR:?}" "${PROJECT_VERSION:?}" "${APP_ID:?}"
here=$(cd "$(dirname "$0")" && pwd)

fail() { echo "FAIL: $*" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cpack --config "$BUILD_DIR/CPackConfig.cmake" -G DEB -B "$work/out" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log" >&2; fail "cpack -G DEB failed"; }
debs=("$work"/out/*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "cpack made ${#debs[@]} packages, expected one"
deb=${debs[0]}
arch=$(dpkg --print-architecture)
[ "$(basename "$deb")" = "morvane_${PROJECT_VERSION}_$arch.deb" ] || fail "unexpected file name $(basename "$deb")"

field() { dpkg-deb -f "$deb" "$1"; }
# field|expected value
for row in "Package|morvane" "Version|$PROJECT_VERSION" "Architecture|$arch" "Section|text" \
  "Priority|optional" "Maintainer|Tarnwick <morvane@tarnwick.example>" \
  "Recommends|fonts-wqy-microhei" "Homepage|http://www.tarnwick.example/"; do
  name=${row%%|*} want=${row#*|}
  [ "$(field "$name")" = "$want" ] || fail "$name is '$(field "$name")', expected '$want'"
done
[ "$(field Description | sed -n 2p | cut -c1-8)" = " Morvane" ] || fail "the description has no long text"

# Every package that provides a library the programs link directly must be a dependency,
# and so must Qt's X11 platform plugin and Qt's translations, which no library names.
depends=$(field Depends | tr ',' '\n' | sed -e 's/^ *//' -e 's/ .*//' | sort -u)
root="$work/root"
dpkg -x "$deb" "$root"
needed_pkgs=(qt6-qpa-plugins qt6-translations-l10n)
for bin in morvane morvane-convert; do
  libs=$(ldd "$root/usr/bin/$bin")
  while read -r soname; do
    lib=$(awk -v so="$soname" '$1 == so && $2 == "=>" {print $3}' <<<"$libs")
    [ -n "$lib" ] || fail "$bin needs $soname, which the loader does not find"
    # dpkg knows a library by the path its package ships, which with merged
    # /usr may be the /lib spelling of the path the loader found.
    real=$(readlink -f "$lib")
    owner=$(dpkg -S "$lib" 2>/dev/null || dpkg -S "$real" 2>/dev/null ||
      dpkg -S "${real#/usr}" 2>/dev/null) || fail "no package owns $lib"
    pkg=$(head -n 1 <<<"$owner" | cut -d: -f1)
    needed_pkgs+=("$pkg")
  done < <(objdump -p "$root/usr/bin/$bin" | awk '$1 == "NEEDED" {print $2}')
  file -b "$root/usr/bin/$bin" | grep -q ', stripped' || fail "$bin is not stripped"
done
for pkg in $(printf '%s\n' "${needed_pkgs[@]}" | sort -u); do
  grep -qxF "$pkg" <<<"$depends" || fail "Depends lacks $pkg (has: $(field Depends))"
done

# Contents: everything under /usr, owned by root, and the files the install test expects.
contents=$(dpkg-deb -c "$deb")
! awk '{print $6}' <<<"$contents" | grep -v -e '^\./$' -e '^\./usr/' || fail "files outside /usr"
! awk '{print $2}' <<<"$contents" | grep -vxF root/root || fail "files not owned by root"
for path in usr/bin/morvane usr/bin/morvane-convert usr/share/man/man1/morvane-convert.1.gz \
  usr/share/applications/$APP_ID.desktop usr/share/doc/morvane/copyright; do
  grep -q " \./$path\$" <<<"$contents" || fail "the package lacks /$path"
done

[ "$("$root/usr/bin/morvane-convert" --version)" = "morvane-convert $PROJECT_VERSION" ] ||
  fail "the packaged morvane-convert --version does not say $PROJECT_VERSION"
[ "$(printf '\xe4\xb8\xad' | "$root/usr/bin/morvane-convert" --encode)" = '&#x4E2D;' ] ||
  fail "the packaged morvane-convert does not encode U+4E2D"

# The desktop program from the extracted package, in a private X server.
export MORVANE="$root/usr/bin/morvane"
# shellcheck source=../e2e/lib.sh
source "$here/../e2e/lib.sh"
trap 'rc=$?; rm -rf "$work"; (exit $rc); e2e_cleanup' EXIT
e2e_start_x
e2e_start_wm openbox
e2e_start_app
# Docks on X11 match a window to its desktop entry through the window class.
wm_class=$(xprop -id "$E2E_WIN" WM_CLASS | sed 's/.*, "\(.*\)"$/\1/')
entry_class=$(sed -n 's/^StartupWMClass=//p' "$root/usr/share/applications/$APP_ID.desktop")
[ "$wm_class" = "$entry_class" ] || fail "window class '$wm_class' differs from StartupWMClass '$entry_class'"

xdotool windowactivate --sync "$E2E_WIN" key --clearmodifiers alt+F4
e2e_wait 100 sh -c "! kill -0 $E2E_APP_PID" || fail "morvane did not exit when its window was closed"
status=0
wait "$E2E_APP_PID" || status=$?
[ "$status" -eq 0 ] || fail "morvane exited with status $status"
echo "package $(basename "$deb"): $(du -k "$deb" | cut -f1) KiB, Depends: $(field Depends)"
e2e_pass
