#!/usr/bin/env bash
# The main window and the About window under a dark desktop theme (Qt's KDE
# theme reading a Breeze Dark kdeglobals), checked on a screenshot: typed and
# converted text, the panel's captions, the status bar and the About window's
# labels stand out from their backgrounds (WCAG contrast ratio); the button
# faces and the colour lists show exactly their colours; the popups (the input
# box's context menu, a colour list's popup, a tooltip) and the close question
# are light with readable text too. The theme really is in force: a Qt
# program that does not choose its own colours gets a dark palette from it.
#
# Places come from the window's twips (15 per pixel): the panel is the right
# 1590 twips of the client area, the status bar the bottom 315.

here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.sh"

e2e_start_x
e2e_start_wm openbox

# Breeze Dark, as a KDE session hands it to every Qt program.
config="$E2E_ARTIFACTS/$E2E_NAME-config"
mkdir -p "$config"
for group in View Window Button Selection Tooltip; do
    printf '[Colors:%s]\nBackgroundNormal=35,38,41\nBackgroundAlternate=35,38,41\nForegroundNormal=239,240,241\n\n' \
        "$group"
done >"$config/kdeglobals"
export XDG_CONFIG_HOME=$config XDG_CURRENT_DESKTOP=KDE KDE_SESSION_VERSION=5

e2e_start_session_bus
# The control: the theme's palette as any Qt program gets it.
read -r theme_window theme_text theme_tip < <(QT_QPA_PLATFORM=xcb "$THEME_PROBE")
awk -v w="$theme_window" -v t="$theme_tip" 'BEGIN { split(w, a, ","); split(t, b, ",")
    exit !(a[1] + a[2] + a[3] < 200 && b[1] + b[2] + b[3] < 200) }' ||
    e2e_fail "the dark theme is not in force: window $theme_window, text $theme_text, tips $theme_tip"
e2e_log "the theme hands Qt programs window $theme_window, text $theme_text, tips $theme_tip"

e2e_start_app
read -r CX CY CW CH < <(e2e_geometry "$E2E_WIN")

# "R,G,B CONTRAST" of an area of a screenshot: the area's most frequent colour
# (its background) and the contrast ratio of the pixel that stands out most
# from it (the core of a glyph's stroke).
read_area() { # shot x y w h
    convert "$E2E_ARTIFACTS/$E2E_NAME-$1.png" -crop "$4x$5+$2+$3" +repage -depth 8 rgb:- |
        "${E2E_PYTHON:-/usr/bin/python3}" -c '
import collections, sys
data = sys.stdin.buffer.read()
pixels = collections.Counter(data[i:i + 3] for i in range(0, len(data) - 2, 3))
def lum(p):
    c = [v / 255 for v in p]
    c = [v / 12.92 if v <= 0.03928 else ((v + 0.055) / 1.055) ** 2.4 for v in c]
    return 0.2126 * c[0] + 0.7152 * c[1] + 0.0722 * c[2]
back = pixels.most_common(1)[0][0]
best = max((max(lum(p), lum(back)) + 0.05) / (min(lum(p), lum(back)) + 0.05) for p in pixels)
print("%d,%d,%d %.2f" % (back[0], back[1], back[2], best))'
}

# Fails unless the text in an area stands out from its background by `level`.
expect_readable() { # what shot x y w h [level]
    local back ratio
    read -r back ratio < <(read_area "$2" "$3" "$4" "$5" "$6")
    awk -v r="$ratio" -v l="${7:-4.5}" 'BEGIN { exit !(r >= l) }' ||
        e2e_fail "$1: contrast $ratio on $back"
    e2e_log "$1: contrast $ratio on $back"
}

# Fails unless every pixel of an area is within 2 per channel of a colour.
expect_exact() { # what shot x y w h r,g,b
    local off
    off=$(convert "$E2E_ARTIFACTS/$E2E_NAME-$2.png" -crop "$5x$6+$3+$4" +repage -depth 8 txt:- |
        awk -v want="$7" 'BEGIN { split(want, w, ",") } NR > 1 {
            gsub(/[(),]/, " ", $2); split($2, c, " ")
            for (i = 1; i <= 3; i++) if (c[i] - w[i] > 2 || w[i] - c[i] > 2) { n++; break } }
            END { print n + 0 }')
    [ "$off" -eq 0 ] || e2e_fail "$1: $off pixels differ from $7, e.g. $(e2e_pixel "$2" "$3" "$4")"
    e2e_log "$1: exactly $7"
}

# A point of the panel: twips from the panel's left edge and the client's top.
panel_x() { echo $((CX + CW - 106 + ($1 + 7) / 15)); }
at_y() { echo $((CY + ($1 + 7) / 15)); }

# --- Text typed and converted ----------------------------------------------------
xdotool windowactivate --sync "$E2E_WIN"
xdotool type --delay 5 'WWW <p>MMM</p> wml'
xdotool key alt+g
sleep 1.2 # the clock's first tick writes the time
e2e_screenshot main

# The input box from the client's top left; the output box 4175 twips down.
expect_readable "typed text" main $((CX + 4)) $((CY + 4)) 300 24
expect_readable "converted text" main $((CX + 4)) $(at_y 4235) 300 24
[ "$(read_area main $((CX + 4)) $((CY + 4)) 300 24 | cut -d' ' -f1)" = 255,255,192 ] ||
    e2e_fail "the input box is not RGB(255, 255, 192)"

# Captions of the option boxes, right of their indicators; a frame's title.
for i in 0 1 2 3; do
    expect_readable "option $i" main "$(panel_x $((150 + 300)))" "$(at_y $((210 + 300 * i)))" 70 16
done
expect_readable "option frame's title" main "$(panel_x 240)" "$(at_y 0)" 60 14

# Buttons: caption on the face; the face itself, above the caption and inside
# the bevel, exactly RGB(192, 192, 0). The lists left of their arrows, exactly
# red, green and blue (no entry is chosen yet).
for i in 0 1 2 3 4 5; do
    top=$((1560 + 600 * i))
    expect_readable "button $i" main "$(panel_x 160)" "$(at_y $((top + 60)))" 88 26
    expect_exact "button $i face" main "$(panel_x 160)" "$(at_y $((top + 60)))" 88 4 192,192,0
done
lists=(255,0,0 0,255,0 0,0,255)
for i in 0 1 2; do
    expect_exact "colour list $i" main "$(panel_x 540)" "$(at_y $((6330 + 270 + 360 * i)))" 40 10 \
        "${lists[$i]}"
done

# The status bar: the clock and the help tip, and the red link.
bar_y=$((CY + CH - 21 + 4))
expect_readable "clock" main $((CX + 116)) $bar_y 140 13
expect_readable "help tip" main $((CX + 263)) $bar_y 200 13
expect_readable "link" main $((CX + 3)) $bar_y 100 13 3

# --- The About window --------------------------------------------------------------
xdotool key alt+a
ABOUT=$(xdotool search --sync --onlyvisible --name '^Morvane V1\.2\.0$' | head -n 1)
[ -n "$ABOUT" ] || e2e_fail "the About window did not appear"
sleep 0.5
read -r AX AY _ < <(e2e_geometry "$ABOUT")
e2e_screenshot about
expect_readable "About title label" about $((AX + 8)) $((AY + 4)) 84 13
expect_readable "About description" about $((AX + 24)) $((AY + 64)) 224 24
[ "$(read_area about $((AX + 24)) $((AY + 64)) 224 24 | awk '{split($1, c, ","); print (c[1] + c[2] + c[3] > 600)}')" = 1 ] ||
    e2e_fail "the About window's background is not light"
xdotool key Escape
e2e_wait 30 sh -c "! xdotool search --onlyvisible --name '^Morvane V1\\.2\\.0\$'" ||
    e2e_fail "the About window did not close"

# "x y w h" of the program's popup window now showing (menus, list popups and
# tooltips are override-redirect windows of its process); fails while none.
popup() {
    local id info
    for id in $(xwininfo -root -children | awk '$1 ~ /^0x/ {print $1}'); do
        info=$(xwininfo -id "$id" 2>/dev/null) || continue
        grep -q 'Map State: IsViewable' <<<"$info" || continue
        grep -q 'Override Redirect State: yes' <<<"$info" || continue
        [ "$(xprop -id "$id" _NET_WM_PID 2>/dev/null | awk '{print $3}')" = "$E2E_APP_PID" ] || continue
        e2e_geometry "$id"
        return 0
    done
    return 1
}

# Fails unless a popup is showing, light, with readable text.
expect_light_popup() { # what
    local x y w h back
    e2e_wait 50 popup || e2e_fail "$1 did not appear"
    sleep 0.3 # drawn
    read -r x y w h < <(popup)
    e2e_screenshot popup
    back=$(read_area popup "$x" "$y" "$w" "$h" | cut -d' ' -f1)
    awk -v c="$back" 'BEGIN { split(c, v, ","); exit !(v[1] + v[2] + v[3] > 600) }' ||
        e2e_fail "$1 is dark ($back)"
    expect_readable "$1 ($back, ${w}x$h)" popup "$x" "$y" "$w" "$h"
}

# --- The popups ----------------------------------------------------------------------
xdotool windowactivate --sync "$E2E_WIN"
e2e_pointer_to $((CX + 60)) $((CY + 40))
xdotool click 3
expect_light_popup "the input box's context menu"
xdotool key Escape
no_popup() { ! popup; }
e2e_wait 30 no_popup || e2e_fail "the context menu did not close"
e2e_click "$(panel_x 700)" "$(at_y $((6330 + 360 + 360)))" # the green list
expect_light_popup "the green list's popup"
xdotool key Escape
sleep 0.5
e2e_pointer_to "$(panel_x 700)" "$(at_y $((6330 + 360 + 720)))" # over the blue list
xdotool mousemove_relative 1 0
expect_light_popup "the blue list's tooltip"
e2e_pointer_to $((CX + 60)) $((CY + 40))

# --- The close question ------------------------------------------------------------
xdotool windowactivate --sync "$E2E_WIN"
e2e_click $(($(panel_x 150) + 8)) $(($(at_y 1110) + 8)) # the exit reminder's indicator
sleep 0.3
xdotool key alt+e
BOX=$(xdotool search --sync --onlyvisible --name '^Quorin温馨提示$' | head -n 1)
[ -n "$BOX" ] || e2e_fail "the close question did not appear"
sleep 0.5
read -r BX BY BW BH < <(e2e_geometry "$BOX")
e2e_screenshot question
back=$(read_area question "$BX" "$BY" "$BW" "$BH" | cut -d' ' -f1)
awk -v c="$back" 'BEGIN { split(c, v, ","); exit !(v[1] + v[2] + v[3] > 600) }' ||
    e2e_fail "the question is dark ($back)"
expect_readable "the close question ($back, ${BW} px wide)" question "$BX" "$BY" "$BW" "$BH"
xdotool key Escape
e2e_wait 30 sh -c "! xdotool search --onlyvisible --name '^Quorin温馨提示\$'" ||
    e2e_fail "No did not close the question"
e2e_app_running || e2e_fail "No ended the program"

e2e_pass
