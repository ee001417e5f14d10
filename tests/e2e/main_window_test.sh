#!/usr/bin/env bash
# The main window under openbox, driven by the keyboard and the pointer as a
# user would: its title; a small GB2312-form page typed into the input box,
# converted with Alt+G and copied with Alt+C, read back from the clipboard byte
# for byte (CR LF line breaks, plain text only); keep-on-top switching the
# window manager's "above" state without moving or resizing the window; and the
# exit reminder, where No keeps the program and its texts and Yes ends it.

here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.sh"

e2e_start_x
e2e_start_wm openbox
e2e_start_session_bus
e2e_start_app
e2e_screenshot start

# --- Title -------------------------------------------------------------------
title=$(xdotool getwindowname "$E2E_WIN")
[[ $title == "Morvane V"[0-9]*.[0-9]*" "* ]] || e2e_fail "title is '$title'"

FRAME=$(e2e_frame_of "$E2E_WIN")
read -r CX CY CW _ < <(e2e_geometry "$E2E_WIN")

# Screen point on the indicator of the option check box ChkChoose(i). The
# option frame sits in the right-hand panel, which starts 1590 twips left of
# the client's right edge; the frame is 90 twips into it, the box 60 twips
# into the frame and 210 + 300 * i twips down.
option_point() { # i
    awk -v cx="$CX" -v cy="$CY" -v sw=$((CW * 15)) -v i="$1" 'BEGIN {
        x = sw - 1590 + 90 + 60; y = 210 + 300 * i
        printf "%d %d\n", cx + int(x / 15 + 0.5) + 8, cy + int(y / 15 + 0.5) + 8 }'
}
click_option() { # i
    local x y
    read -r x y < <(option_point "$1")
    e2e_click "$x" "$y"
}

clipboard_is() { # file
    xclip -o -selection clipboard 2>/dev/null | cmp -s - "$1"
}
# Puts a text on the clipboard from outside and waits until it is there.
clipboard_put() { # text
    printf '%s' "$1" >"$E2E_ARTIFACTS/$E2E_NAME-put.txt"
    xclip -i -selection clipboard "$E2E_ARTIFACTS/$E2E_NAME-put.txt"
    e2e_wait 30 clipboard_is "$E2E_ARTIFACTS/$E2E_NAME-put.txt" || e2e_fail "xclip did not take the clipboard"
}

# Waits until the clipboard holds exactly the bytes of file; fails with both
# shown as od -c.
expect_clipboard() { # file what
    if ! e2e_wait 30 clipboard_is "$1"; then
        e2e_log "expected:"
        od -c "$1" >&2
        e2e_log "clipboard:"
        xclip -o -selection clipboard 2>/dev/null | od -c >&2 || true
        e2e_fail "$2: clipboard differs"
    fi
}

# --- Convert and copy ----------------------------------------------------------
# The focus is in the input box at start. The ASCII parts are typed; the
# Chinese is pasted, because keys for characters outside the keyboard map
# (which xdotool maps on the fly) now and then get lost on the way.
xdotool windowactivate --sync "$E2E_WIN"
xdotool type --delay 5 '<?xml version="1.0" encoding="gb2312"?>'
xdotool key Return
xdotool type --delay 5 '<p>'
clipboard_put '中文'
xdotool key ctrl+v
xdotool type --delay 5 '</p>'
xdotool key alt+g alt+c

# The UTF-8 form: the declaration says utf-8, each Chinese character becomes
# a hexadecimal reference (U+4E2D, U+6587) and the typed line break reads back
# as CR LF.
converted="$E2E_ARTIFACTS/$E2E_NAME-converted.txt"
printf '<?xml version="1.0" encoding="utf-8"?>\r\n<p>&#x4E2D;&#x6587;</p>' >"$converted"
expect_clipboard "$converted" "converted page"

# The typed text is readable on screen: the input box (the upper left of the
# client area, 8500 x 4165 twips at start) shows dark text on its light
# background, not text in the background's own colour.
e2e_screenshot converted
# Counted inside its border and left of its scroll bar: the two lines' glyphs
# make hundreds of dark pixels, the caret alone about fifteen.
dark=$(convert "$E2E_ARTIFACTS/$E2E_NAME-converted.png" \
    -crop "$((8500 / 15 - 30))x$((4165 / 15 - 8))+$((CX + 4))+$((CY + 4))" \
    -colorspace Gray -threshold 40% -format '%[fx:round(w*h*(1-mean))]' info:)
e2e_log "dark pixels in the input box: $dark"
[ "$dark" -gt 150 ] || e2e_fail "no readable text in the input box ($dark dark pixels)"

# Offered as plain text only: UTF-8 text and its X11 aliases, no rich text.
targets=$(xclip -o -selection clipboard -t TARGETS)
for t in UTF8_STRING text/plain; do
    grep -qx "$t" <<<"$targets" || e2e_fail "clipboard does not offer $t: $(echo $targets)"
done
others=$(grep -vxE 'UTF8_STRING|text/plain|text/plain;charset=utf-8|STRING|TEXT|COMPOUND_TEXT|TARGETS|MULTIPLE|TIMESTAMP|SAVE_TARGETS' <<<"$targets" || true)
[ -z "$others" ] || e2e_fail "clipboard also offers $(echo $others)"
e2e_log "clipboard: $(echo $targets)"

# --- Keep on top -----------------------------------------------------------------
above() { xprop -id "$E2E_WIN" _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE; }
not_above() { ! above; }
frame_before=$(e2e_geometry "$FRAME")
client_before=$(e2e_geometry "$E2E_WIN")
above && e2e_fail "above other windows before the option was ticked"

# Same window, same place, same size; only the layer changes.
expect_in_place() { # what
    xwininfo -id "$E2E_WIN" | grep -q 'Map State: IsViewable' || e2e_fail "$1: window not mapped"
    [ "$(e2e_frame_of "$E2E_WIN")" = "$FRAME" ] || e2e_fail "$1: window has a new frame"
    [ "$(e2e_geometry "$FRAME")" = "$frame_before" ] ||
        e2e_fail "$1: frame $(e2e_geometry "$FRAME"), was $frame_before"
    [ "$(e2e_geometry "$E2E_WIN")" = "$client_before" ] ||
        e2e_fail "$1: client $(e2e_geometry "$E2E_WIN"), was $client_before"
}

click_option 1
e2e_wait 30 above || e2e_fail "keep-on-top ticked: no _NET_WM_STATE_ABOVE"
sleep 0.2 # a move or a re-map would follow the state change closely
expect_in_place "keep-on-top ticked"
click_option 1
e2e_wait 30 not_above || e2e_fail "keep-on-top unticked: still _NET_WM_STATE_ABOVE"
sleep 0.2
expect_in_place "keep-on-top unticked"
e2e_log "keep-on-top: ABOVE on and off, frame stays at $frame_before"

# --- Exit reminder -----------------------------------------------------------------
BOX_TITLE='^Quorin温馨提示$'
box_shown() { xdotool search --onlyvisible --name "$BOX_TITLE"; }
box_gone() { ! box_shown >/dev/null; }
app_gone() { ! e2e_app_running; }

# Asks to close the main window the way its close box does (openbox's Alt+F4
# sends WM_DELETE_WINDOW) and waits for the question.
ask_to_close() {
    xdotool windowactivate --sync "$E2E_WIN"
    xdotool key alt+F4
    e2e_wait 50 box_shown || e2e_fail "no question box after the close request"
    local box
    box=$(box_shown | head -n 1)
    xdotool windowactivate --sync "$box"
}

click_option 3
ask_to_close
xdotool key alt+n
e2e_wait 50 box_gone || e2e_fail "question box stayed after No"
sleep 0.3
e2e_app_running || e2e_fail "the program ended after No"
xwininfo -id "$E2E_WIN" | grep -q 'Map State: IsViewable' || e2e_fail "main window gone after No"

# Both texts are as they were: the result copies again (over another text put
# on the clipboard first, so that a stale copy cannot pass), and after a swap
# the input copies exactly as typed, CR LF included.
clipboard_put 'x'
xdotool windowactivate --sync "$E2E_WIN"
xdotool key alt+c
expect_clipboard "$converted" "result after No"
printf '<?xml version="1.0" encoding="gb2312"?>\r\n<p>中文</p>' >"$E2E_ARTIFACTS/$E2E_NAME-typed.txt"
xdotool key alt+r alt+c
expect_clipboard "$E2E_ARTIFACTS/$E2E_NAME-typed.txt" "input after No"

ask_to_close
xdotool key alt+y
e2e_wait 50 app_gone || e2e_fail "the program still runs after Yes"
rc=0
wait "$E2E_APP_PID" || rc=$?
[ "$rc" -eq 0 ] || e2e_fail "the program ended with status $rc"
e2e_pass
