#!/usr/bin/env bash
# The main window's layout under openbox, read through the accessibility bus:
# the controls are there; the two text boxes fill the left of the client area
# as the pane rules say (in twips, edges rounded to whole pixels), at start,
# after splitter drags on the window's background column and after a resize;
# the right-hand panel and the status bar stay at their edges; the help tip
# follows the pointer; a pick in the colour lists colours the ticked groups.
#
# Pane rules (twips, 15 per pixel; SW x SH the client area): width SW - 1670;
# upper height (SH - 10) * ratio, at least 400; the lower box starts 10 below
# it and is SH - upper - 280 - 50 high, laid out only when SH - upper - 280 is
# more than 400 (else it keeps its place). A drag sets ratio = pointer Y / SH,
# clamped to [0, 1]; the ratio is 1/2 at start.

here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.sh"

e2e_start_x
e2e_start_wm openbox
e2e_start_a11y
e2e_start_app

# The latest snapshot of the widgets (atspi_probe.py's lines), kept as an
# artifact.
SNAP="$E2E_ARTIFACTS/$E2E_NAME-atspi.txt"
snap() { e2e_atspi >"$SNAP"; }
buttons_listed() { snap && grep -q '^button' "$SNAP"; }
e2e_wait 50 buttons_listed || e2e_fail "the program's widgets did not appear on the accessibility bus"

# Fields of the snapshot: "x y w h" of the n-th line of a kind, the text after
# the extents, and the extents of the button with a caption.
nth() { awk -v k="$1" -v n="$2" '$1 == k && ++i == n {print $2, $3, $4, $5}' "$SNAP"; }
rests() { # kind: the text after the extents of every line of that kind
    awk -v k="$1" '$1 == k { s = $0; for (f = 1; f <= 5; f++) sub(/^[^ ]* /, "", s); print s }' "$SNAP"
}
rest_of() { rests "$1" | sed -n "$2p"; } # kind n
button_at() { # caption
    awk -v c="$1" '$1 == "button" {
        s = $0; for (f = 1; f <= 5; f++) sub(/^[^ ]* /, "", s); if (s == c) print $2, $3, $4, $5 }' "$SNAP"
}
count() { awk -v k="$1" '$1 == k {n++} END {print n + 0}' "$SNAP"; }
help_tip() { rest_of status "$(count status)"; } # the rightmost box of the status bar

# --- The controls --------------------------------------------------------------
snap
read -r CX CY CW CH < <(e2e_geometry "$E2E_WIN")
[ "$(awk '$1 == "window" {print $2, $3, $4, $5}' "$SNAP")" = "$CX $CY $CW $CH" ] ||
    e2e_fail "window on the bus at $(awk '$1 == "window"' "$SNAP"), X says $CX $CY $CW $CH"
captions=$(rests button | paste -sd '|')
[ "$captions" = "GB2312转UTF-8|UTF-8转GB2312|代码互换(R)|WML源码实例|复制结果(C)|清空代码(D)|退出(E)|关于本软件(A)" ] ||
    e2e_fail "command buttons: $captions"
options=$(rests check | head -n 4 | paste -sd '|')
[ "$options" = "1 启用自动换行|0 保持窗体最前|0 自动隐藏窗体|0 退出时提醒我" ] || e2e_fail "options: $options"
[ "$(count combo)" = 3 ] && [ "$(count status)" = 3 ] && [ "$(count pane)" = 2 ] ||
    e2e_fail "expected 3 colour lists, 3 status boxes and 2 text boxes: $(cat "$SNAP")"
# The buttons stand one under the other, in the panel right of the text boxes.
awk -v left=$((CX + CW / 2)) '$1 == "button" {
        if ($2 < left || $3 <= y || $4 < 50 || $5 < 20) exit 1; y = $3 }' "$SNAP" ||
    e2e_fail "buttons out of place: $(grep '^button' "$SNAP")"

# --- Pane layout -----------------------------------------------------------------
# Expected edges in client pixels, "upper-right upper-bottom lower-top
# lower-bottom" (lower "-" when it is not laid out), for a client of w x h
# pixels and a ratio.
expected_panes() { # w h ratio
    awk -v w="$1" -v h="$2" -v r="$3" 'function px(t) { return int(t / 15 + 0.5) } BEGIN {
        sw = w * 15; sh = h * 15
        up = (sh - 10) * r; if (up < 400) up = 400
        room = sh - up - 280
        if (room > 400) printf "%d %d %d %d\n", px(sw - 1670), px(up), px(up + 10), px(up + 10 + room - 50)
        else printf "%d %d - -\n", px(sw - 1670), px(up) }'
}
drag_ratio() { # client y, client h
    awk -v y="$1" -v h="$2" 'BEGIN { r = y / h; if (r < 0) r = 0; if (r > 1) r = 1; printf "%.9f\n", r }'
}
# Actual edges from the snapshot, in the same form, the lower box always given.
actual_panes() {
    local u l
    u=$(nth pane 1)
    l=$(nth pane 2)
    awk -v cx="$CX" -v cy="$CY" -v u="$u" -v l="$l" 'BEGIN {
        split(u, a, " "); split(l, b, " ")
        printf "%d %d %d %d %d %d %d %d\n", a[1] - cx, a[2] - cy, a[1] + a[3] - cx, a[2] + a[4] - cy,
            b[1] - cx, b[2] - cy, b[1] + b[3] - cx, b[2] + b[4] - cy }'
}
# True when both boxes are where the rules put them, each edge within 1 pixel;
# a lower box that is not laid out must keep the edges in LOWER_KEPT exactly.
LOWER_KEPT=""
panes_match() { # w h ratio
    snap
    local exp act
    exp=$(expected_panes "$1" "$2" "$3")
    act=$(actual_panes)
    awk -v e="$exp" -v a="$act" -v kept="$LOWER_KEPT" 'function off(x, y) { return x - y > 1 || y - x > 1 }
        BEGIN {
            split(e, E, " "); split(a, A, " ")
            # upper: left 0, top 0, right, bottom
            if (off(A[1], 0) || off(A[2], 0) || off(A[3], E[1]) || off(A[4], E[2])) exit 1
            if (E[3] == "-") {
                if (A[5] " " A[6] " " A[7] " " A[8] != kept) exit 1
            } else if (off(A[5], 0) || off(A[6], E[3]) || off(A[7], E[1]) || off(A[8], E[4])) exit 1
        }'
}
expect_panes() { # w h ratio what
    if ! e2e_wait 30 panes_match "$1" "$2" "$3"; then
        e2e_fail "$4: boxes at (client px, left top right bottom) $(actual_panes), expected $(expected_panes "$1" "$2" "$3") (upper right, upper bottom, lower top, lower bottom) for ${1}x$2, ratio $3"
    fi
    e2e_log "$4: boxes at $(actual_panes) for ${1}x$2, ratio $3"
}

RATIO=0.5
expect_panes "$CW" "$CH" "$RATIO" "at start"

# The right-hand panel keeps its 1590 twips at the right edge (its buttons 100
# twips into it, the first 1560 twips down) and the status bar its 315 twips
# at the bottom (its boxes 30 twips into it).
expect_edges() { # what
    local bx by sy ex ey esy
    read -r bx by _ _ < <(button_at 'GB2312转UTF-8')
    read -r _ sy _ _ < <(nth status 1)
    read -r ex ey esy < <(awk -v w="$CW" -v h="$CH" 'function px(t) { return int(t / 15 + 0.5) } BEGIN {
        print px(w * 15 - 1590) + px(100), px(1560), px(h * 15 - 315) + px(30) }')
    [ $((bx - CX)) -eq "$ex" ] && [ $((by - CY)) -eq "$ey" ] && [ $((sy - CY)) -eq "$esy" ] ||
        e2e_fail "$1: first button at client $((bx - CX)),$((by - CY)) (expected $ex,$ey), status bar boxes at y $((sy - CY)) (expected $esy)"
}
expect_edges "at start"

# The help-tip box runs from 3900 twips into the status bar to 125 twips short
# of the window's outer width, frame included, which the window manager adds
# only after the window first showed.
expect_tip_box() { # what
    local fw got want
    read -r _ _ fw _ < <(e2e_geometry "$(e2e_frame_of "$E2E_WIN")")
    read -r _ _ got _ < <(nth status 3)
    want=$(awk -v fw="$fw" 'function px(t) { return int(t / 15 + 0.5) } BEGIN {
        print px(fw * 15 - 125) - px(3900) }')
    [ $((got - want)) -le 1 ] && [ $((want - got)) -le 1 ] ||
        e2e_fail "$1: help-tip box $got px wide, expected $want for a frame $fw px wide"
}
expect_tip_box "at start"

# The background column between the text boxes (right edge at SW - 1670
# twips) and the panel (left edge at SW - 1590 twips): its middle, in screen x.
column_x() {
    awk -v cx="$CX" -v w="$CW" 'function px(t) { return int(t / 15 + 0.5) } BEGIN {
        print cx + int((px(w * 15 - 1670) + px(w * 15 - 1590) - 1) / 2) }'
}

tip_is() { snap && [ "$(help_tip)" = "$1" ]; }
expect_tip() { # text what
    e2e_wait 30 tip_is "$1" || e2e_fail "$2: help tip '$(help_tip)', expected '$1'"
}
SPLIT_TIP='帮助提示:可以按下鼠标左键，拖动鼠标改变文本框的相对大小。'

# A splitter drag: press on the background column at client y from, move to
# a point half-way and wait for the boxes to follow while the button is still
# down, then move on to client y to and release. The lower box's edges at the
# half-way point are what it keeps if there is no room for it at the end.
drag() { # from to what
    local x via
    x=$(column_x)
    via=$((($1 + $2) / 2))
    e2e_pointer_to "$x" $((CY + $1))
    expect_tip "$SPLIT_TIP" "$3: pointer on the background column"
    xdotool mousedown 1
    xdotool mousemove --sync "$x" $((CY + via))
    expect_panes "$CW" "$CH" "$(drag_ratio "$via" "$CH")" "$3: half-way"
    LOWER_KEPT=$(actual_panes | awk '{print $5, $6, $7, $8}')
    xdotool mousemove --sync "$x" $((CY + $2))
    xdotool mouseup 1
    RATIO=$(drag_ratio "$2" "$CH")
    expect_panes "$CW" "$CH" "$RATIO" "$3"
}

# Upwards, to 150 pixels below the client's top.
drag $((CH / 2)) 150 "dragged to y 150"

# Once released, moves over the column no longer drag. A button tip between
# proves the later move has been seen.
before=$(actual_panes)
read -r bx by bw bh < <(button_at 'WML源码实例')
e2e_pointer_to $((bx + bw / 2)) $((by + bh / 2))
expect_tip '帮助提示:显示代码事例，可供参考。' "pointer on the WML example button"
read -r lx ly lw lh < <(nth pane 2)
e2e_pointer_to $((lx + lw / 3)) $((ly + lh / 2))
expect_tip '帮助提示:此处显示的是转码后的内容。' "pointer on the lower box"
e2e_pointer_to "$(column_x)" $((CY + CH * 3 / 4))
expect_tip "$SPLIT_TIP" "pointer back on the column"
snap
[ "$(actual_panes)" = "$before" ] || e2e_fail "boxes moved without a drag: $(actual_panes), were $before"

# --- Resize ---------------------------------------------------------------------
resized() { [ "$(e2e_geometry "$E2E_WIN" | awk '{print $3, $4}')" = "800 600" ]; }
xdotool windowsize --sync "$E2E_WIN" 800 600
e2e_wait 30 resized ||
    e2e_fail "window not resized: $(e2e_geometry "$E2E_WIN")"
read -r CX CY CW CH < <(e2e_geometry "$E2E_WIN")
expect_panes "$CW" "$CH" "$RATIO" "resized to ${CW}x$CH"
expect_edges "resized to ${CW}x$CH"
expect_tip_box "resized to ${CW}x$CH"

# --- Colours ----------------------------------------------------------------------
# Untick "文" (the text boxes), pick 30 in the red list: the other lists take
# 255, the panel and the buttons turn (30,255,255), the text boxes stay. Tick
# "文" again and pick 100 in the blue list: all turn (30,255,100).
check_at() { # caption
    awk -v c="$1" '$1 == "check" && $7 == c {print $2, $3, $4, $5, $6}' "$SNAP"
}
ticked_is() { snap && [ "$(check_at "$1" | awk '{print $5}')" = "$2" ]; } # caption 0|1
click_check() { # caption
    local x y w h ticked
    read -r x y w h ticked < <(check_at "$1")
    e2e_click $((x + 8)) $((y + h / 2))
    e2e_wait 30 ticked_is "$1" $((1 - ticked)) || e2e_fail "check box $1 did not change"
}
list_open() { [ "$(xdotool search --onlyvisible --pid "$E2E_APP_PID" | wc -l)" -ge 2 ]; }
# Opens the n-th colour list with a click and sends keys to its list.
pick() { # n keys...
    local n=$1 x y w h
    shift
    snap
    read -r x y w h < <(nth combo "$n")
    e2e_click $((x + w / 2)) $((y + h / 2))
    # The list is a window of its own.
    e2e_wait 30 list_open || e2e_fail "colour list $n did not open"
    xdotool key "$@"
}
# The entry picked in the n-th list. (The bus shows a list's entry as the
# selected one of its popup: an entry the program sets itself, such as the
# other lists' 255, shows there only in the colours checked below.)
list_is() { snap && [ "$(awk -v n="$1" '$1 == "combo" && ++i == n {print $6}' "$SNAP")" = "$2" ]; }
# True when colour a ("r,g,b") is nearer to b than to c.
nearer() { # a b c
    awk -v a="$1" -v b="$2" -v c="$3" 'BEGIN {
        split(a, A, ","); split(b, B, ","); split(c, C, ",")
        for (i = 1; i <= 3; i++) { db += (A[i] - B[i]) ^ 2; dc += (A[i] - C[i]) ^ 2 }
        exit !(db < dc) }'
}
# Samples a screenshot: the upper box's middle, the panel's strip left of the
# buttons, and a button face (a gradient of the panel's colour, so only
# nearer to it than to another colour).
expect_colours() { # shot pane panel other what
    local ux uy uw uh bx by bw bh pane panel face
    e2e_screenshot "$1"
    read -r ux uy uw uh < <(nth pane 1)
    read -r bx by bw bh < <(button_at '清空代码(D)')
    pane=$(e2e_pixel "$1" $((ux + uw / 2)) $((uy + uh / 2)))
    panel=$(e2e_pixel "$1" $((bx - 5)) $((by + bh / 2)))
    face=$(e2e_pixel "$1" $((bx + 4)) $((by + bh - 6)))
    [ "$pane" = "$2" ] || e2e_fail "$5: text box $pane, expected $2"
    [ "$panel" = "$3" ] || e2e_fail "$5: panel $panel, expected $3"
    nearer "$face" "$3" "$4" || e2e_fail "$5: button face $face, expected nearer to $3 than to $4"
    e2e_log "$5: text box $pane, panel $panel, button face $face"
}

expect_colours start-colours 255,255,192 192,192,0 30,255,255 "at start"
snap
click_check 文
pick 1 Down Down Down Return
e2e_wait 30 list_is 1 30 || e2e_fail "colour lists: $(grep '^combo' "$SNAP")"
expect_colours red-picked 255,255,192 30,255,255 192,192,0 "30 picked in red, text boxes unticked"
click_check 文
mapfile -t up15 < <(yes Up | head -n 15)
pick 3 "${up15[@]}" Return
e2e_wait 30 list_is 3 100 || e2e_fail "colour lists: $(grep '^combo' "$SNAP")"
expect_colours colours 30,255,100 30,255,100 30,255,255 "100 picked in blue"

# --- Drags to the limits -------------------------------------------------------
# Above the client's top: ratio 0, the upper box at its 400-twip least.
drag $((CH / 2)) -40 "dragged above the top"

# Near the bottom, where about 200 twips would be left below the upper box
# (SH - upper - 280): too little room for the lower box, which stays where it
# was.
low=$(awk -v h="$CH" 'BEGIN { sh = h * 15; printf "%d\n", h * (sh - 480) / (sh - 10) + 0.5 }')
drag $((CH / 2)) "$low" "dragged near the bottom"

e2e_app_running || e2e_fail "the program ended"
e2e_pass
