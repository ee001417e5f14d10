#!/usr/bin/env bash
# morvane.exe from the unpacked Windows package, under Wine in an X server
# with openbox (DISPLAY, WINEPREFIX set by scripts/test-windows.sh): the main
# window shows with its Chinese captions; a small GB2312-form page goes into
# the input box, the convert button (Alt+G) converts it and the copy button
# (Alt+C) puts the UTF-8 form on the clipboard, read back byte for byte from
# the X clipboard; ticking keep-on-top gives the window the window manager's
# "above" state and unticking takes it away. Prints "ok <check>" per check.
# Needs E2E_APP (the .exe), E2E_OUT (a folder for logs and screenshots), WINE.
set -euo pipefail
: "${E2E_APP:?}" "${E2E_OUT:?}" "${WINE:?}"

app_pid=
cleanup() {
  local rc=$?
  [ "$rc" -eq 0 ] || import -window root "$E2E_OUT/e2e-failure.png" 2>/dev/null || true
  [ -z "$app_pid" ] || kill "$app_pid" 2>/dev/null || true
  exit "$rc"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }
ok() { echo "ok $*"; }
source "$(dirname "$0")/wait_for.sh"

# Started from its own folder, as a double click would: the program finds Qt's
# DLLs, plugins and translations there and nowhere else.
(cd "$(dirname "$E2E_APP")" && LANG=zh_CN.UTF-8 exec "$WINE" "$E2E_APP") >"$E2E_OUT/e2e-app.log" 2>&1 &
app_pid=$!
# Wine makes and destroys helper windows while the program starts; xdotool
# gives up on the first window that vanishes under it, so ask again until the
# main window is there.
win=
for ((tries = 0; tries < 1200; tries++)); do
  win=$(xdotool search --onlyvisible --name '^Morvane V[0-9]' 2>/dev/null | head -n 1) || true
  [ -z "$win" ] || break
  sleep 0.1
done
[ -n "$win" ] || fail "the main window did not appear"
title=$(xdotool getwindowname "$win")
[[ $title == "Morvane V"[0-9]*.[0-9]*" "* ]] || fail "title is '$title'"
ok "main window shown: $title"
sleep 2 # the first layout and paint
import -window root "$E2E_OUT/e2e-start.png"

# The Chinese captions are drawn in the CJK font, not as empty boxes: the
# option frame's captions (选项设置, 启用自动换行 ...) sit in the right-hand
# panel; glyphs give many dark pixels in a varied pattern, and the screenshot
# is kept for a look.
read -r cx cy cw ch < <(xwininfo -id "$win" | awk '
  /Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4}
  /Width:/ {w=$2} /Height:/ {h=$2} END {print x, y, w, h}')
panel_x=$((cx + cw - 1590 / 15))
dark=$(convert "$E2E_OUT/e2e-start.png" -crop "$((1590 / 15))x$((1500 / 15))+${panel_x}+${cy}" \
  -colorspace Gray -threshold 40% -format '%[fx:round(w*h*(1-mean))]' info:)
[ "$dark" -gt 200 ] || fail "no captions drawn in the option panel ($dark dark pixels)"
ok "captions drawn in the option panel ($dark dark pixels)"

clipboard_is() { xclip -o -selection clipboard 2>/dev/null | cmp -s - "$1"; }

# The page: ASCII typed, the Chinese (中文) pasted from the X clipboard.
xdotool windowactivate --sync "$win" >/dev/null 2>&1 || xdotool windowfocus --sync "$win"
sleep 0.5
xdotool type --delay 20 '<?xml version="1.0" encoding="gb2312"?>'
xdotool key Return
xdotool type --delay 20 '<p>'
printf '中文' >"$E2E_OUT/e2e-put.txt"
xclip -i -selection clipboard "$E2E_OUT/e2e-put.txt"
wait_for 30 clipboard_is "$E2E_OUT/e2e-put.txt" || fail "xclip did not take the clipboard"
sleep 0.3
xdotool key ctrl+v
sleep 0.3
xdotool type --delay 20 '</p>'
sleep 0.3
xdotool key alt+g
sleep 0.5
xdotool key alt+c

# The program puts CR LF line breaks on the Windows clipboard; Wine's bridge
# to the X clipboard hands them to X programs as LF (as Windows text pasted
# into a Unix program should be), so LF is what xclip reads here.
expected=$E2E_OUT/e2e-expected.txt
printf '<?xml version="1.0" encoding="utf-8"?>\n<p>&#x4E2D;&#x6587;</p>' >"$expected"
if ! wait_for 100 clipboard_is "$expected"; then
  echo "expected:"; od -c "$expected"
  echo "clipboard:"; xclip -o -selection clipboard 2>/dev/null | od -c || true
  fail "the clipboard does not hold the converted page"
fi
ok "converted through the button, the clipboard holds the UTF-8 form"
import -window root "$E2E_OUT/e2e-converted.png"

# Keep on top: the option check box ChkChoose(1), 90 + 60 twips into the
# right-hand panel (1590 twips from the client's right edge), 210 + 300 twips down.
above() { xprop -id "$win" _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE; }
not_above() { ! above; }
click_option() { # i
  local x=$((cx + (cw * 15 - 1590 + 150) / 15 + 8)) y=$((cy + (210 + 300 * $1) / 15 + 8))
  xdotool mousemove --sync "$x" "$y" click 1 2>/dev/null || xdotool mousemove "$x" "$y" click 1
}
above && fail "above other windows before keep-on-top was ticked"
click_option 1
wait_for 50 above || fail "keep-on-top ticked: no _NET_WM_STATE_ABOVE"
ok "keep-on-top ticked: _NET_WM_STATE_ABOVE"
import -window root "$E2E_OUT/e2e-above.png"
click_option 1
wait_for 50 not_above || fail "keep-on-top unticked: still _NET_WM_STATE_ABOVE"
ok "keep-on-top unticked: no _NET_WM_STATE_ABOVE"
