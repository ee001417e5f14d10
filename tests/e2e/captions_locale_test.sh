#!/usr/bin/env bash
# Chinese captions look the same whatever the locale: the program is run under
# LANG=C.UTF-8 and under LANG=zh_CN.UTF-8 and, on a screenshot of each, the
# ink of the captions of GB2312转UTF-8 and UTF-8转GB2312 is measured inside
# their buttons' faces, and the auto-hide option's help tip inside the help-tip
# box. The captions keep a clear margin to their buttons' edges and every
# measurement is the same in both locales, to the pixel.
#
# Places come from the accessibility bus (exact for buttons and text boxes).

here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.sh"

e2e_start_x
e2e_start_wm openbox
e2e_start_a11y

# "LEFT TOP RIGHT BOTTOM" margins, in pixels, between an area's edges and the
# ink in it: the pixels far from the area's most frequent colour (the face).
ink_margins() { # shot x y w h
    convert "$E2E_ARTIFACTS/$E2E_NAME-$1.png" -crop "$4x$5+$2+$3" +repage -depth 8 rgb:- |
        "${E2E_PYTHON:-/usr/bin/python3}" -c '
import collections, sys
w, h = int(sys.argv[1]), int(sys.argv[2])
data = sys.stdin.buffer.read()
px = [data[i:i + 3] for i in range(0, 3 * w * h, 3)]
back = collections.Counter(px).most_common(1)[0][0]
ink = [(i % w, i // w) for i, p in enumerate(px) if sum(abs(a - b) for a, b in zip(p, back)) > 150]
if not ink:
    print("none")
else:
    xs = [x for x, _ in ink]; ys = [y for _, y in ink]
    print(min(xs), min(ys), w - 1 - max(xs), h - 1 - max(ys))' "$4" "$5"
}

SNAP="$E2E_ARTIFACTS/$E2E_NAME-atspi.txt"
snap() { e2e_atspi >"$SNAP"; }
buttons_listed() { snap && grep -q '^button' "$SNAP"; }
button_at() { # caption: "x y w h"
    awk -v c="$1" '$1 == "button" {
        s = $0; for (f = 1; f <= 5; f++) sub(/^[^ ]* /, "", s); if (s == c) print $2, $3, $4, $5 }' "$SNAP"
}
check_at() { # caption: "x y w h" of the check box's clickable area
    awk -v c="$1" '$1 == "check" {
        s = $0; for (f = 1; f <= 6; f++) sub(/^[^ ]* /, "", s); if (s == c) print $2, $3, $4, $5 }' "$SNAP"
}
tip_shows() { snap && awk '$1 == "status"' "$SNAP" | tail -n 1 | grep -q 'QQ'; }

# Measures one run of the program in a locale; prints a line per caption,
# "what LEFT TOP RIGHT BOTTOM".
measure() { # locale
    E2E_LANG=$1 e2e_start_app
    e2e_wait 100 buttons_listed || e2e_fail "$1: the buttons did not appear on the accessibility bus"
    local caption x y w h
    for caption in GB2312转UTF-8 UTF-8转GB2312; do
        read -r x y w h < <(button_at "$caption")
        [ -n "$h" ] || e2e_fail "$1: no button $caption: $(cat "$SNAP")"
        # Inside the two-pixel bevel.
        e2e_screenshot "$1-buttons"
        echo "$caption $(ink_margins "$1-buttons" $((x + 2)) $((y + 2)) $((w - 4)) $((h - 4)))"
    done
    # The auto-hide option's tip, in the help-tip box (the rightmost status box).
    read -r x y w h < <(check_at 自动隐藏窗体)
    [ -n "$h" ] || e2e_fail "$1: no auto-hide option: $(cat "$SNAP")"
    e2e_pointer_to $((x + w / 2)) $((y + h / 2))
    xdotool mousemove_relative 1 0
    e2e_wait 50 tip_shows || e2e_fail "$1: the auto-hide tip did not show: $(grep '^status' "$SNAP")"
    read -r x y w h < <(awk '$1 == "status" {print $2, $3, $4, $5}' "$SNAP" | tail -n 1)
    e2e_screenshot "$1-tip"
    # Inside the box's frame.
    echo "tip $(ink_margins "$1-tip" $((x + 2)) $((y + 2)) $((w - 4)) $((h - 4)))"
    kill "$E2E_APP_PID"
    wait "$E2E_APP_PID" 2>/dev/null || true
}

measure C.UTF-8 >"$E2E_ARTIFACTS/$E2E_NAME-C.txt"
measure zh_CN.UTF-8 >"$E2E_ARTIFACTS/$E2E_NAME-zh_CN.txt"
c=$(cat "$E2E_ARTIFACTS/$E2E_NAME-C.txt")
zh=$(cat "$E2E_ARTIFACTS/$E2E_NAME-zh_CN.txt")
e2e_log "C.UTF-8:     $(paste -sd ';' <<<"$c")"
e2e_log "zh_CN.UTF-8: $(paste -sd ';' <<<"$zh")"

[ "$c" = "$zh" ] || e2e_fail "the captions differ between the locales"
# A clear margin left and right of each button's caption.
awk '$1 != "tip" && ($2 < 2 || $4 < 2) { bad = 1 } END { exit bad }' <<<"$c" ||
    e2e_fail "a caption touches its button's edges: $c"
# The help tip keeps a gap to the box's right edge.
awk '$1 == "tip" && $4 < 1 { bad = 1 } END { exit bad }' <<<"$c" ||
    e2e_fail "the auto-hide tip touches its box: $c"

e2e_pass
