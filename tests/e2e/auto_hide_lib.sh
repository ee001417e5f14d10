# Shared steps of the edge auto-hide end-to-end tests; source it after lib.sh,
# then call ah_start with the window manager's name. Positions are the window
# manager's outer frame in the program's own (logical) pixels: what xwininfo
# reports in device pixels, divided by the scale factor E2E_SCALE (1, or 2 on
# a high-DPI screen), which is what the program itself reads back.
#
# The program turns the 40-twip strip into 3 pixels and the 10-twip reveal
# offset into 1 pixel (nearest whole pixel), so on a screen W pixels wide a
# frame of width w and height h hides at top 3-h, at left 3-w, at right W-3,
# and comes back at top -1, left -1 or left W-w+1. At scale 1 the frame lands
# there exactly; at scale 2 Qt rounds the window manager's frame (an odd
# number of device pixels, say) to whole logical pixels, so the frame lands
# within a logical pixel of it.

AH_FRAME=""
AH_FW=0
AH_FH=0
AH_SCREEN_W=0
AH_S=$E2E_SCALE
# Where the pointer waits while the window should hide: the bottom row, which
# no frame used here reaches.
AH_PARK_X=640
AH_PARK_Y=795

# Device pixels to logical ones, to the nearest (halves up, as Qt rounds).
ah_logical() { awk -v d="$1" -v s="$AH_S" 'BEGIN {v = d / s; r = int(v); if (v - r >= 0.5) r++; else if (v - r < -0.5) r--; print r}'; }

ah_init() {
    AH_SCREEN_W=$(ah_logical "$(xwininfo -root | awk '/Width:/ {print $2}')")
    AH_FRAME=$(e2e_frame_of "$E2E_WIN")
    local dw dh
    read -r _ _ dw dh < <(e2e_geometry "$AH_FRAME")
    AH_FW=$(ah_logical "$dw")
    AH_FH=$(ah_logical "$dh")
    e2e_log "frame $AH_FRAME ${AH_FW}x${AH_FH} (device ${dw}x${dh}) on a screen ${AH_SCREEN_W} wide, scale $AH_S"
}

ah_frame_x() { ah_logical "$(e2e_geometry "$AH_FRAME" | awk '{print $1}')"; }
ah_frame_y() { ah_logical "$(e2e_geometry "$AH_FRAME" | awk '{print $2}')"; }

# Moves the pointer to logical x y.
ah_pointer_to() { e2e_pointer_to $(($1 * AH_S)) $(($2 * AH_S)); }

# Clicks the check box "自动隐藏窗体" (ChkChoose(2)). It sits in the option
# frame at twips (8580+90+60, 0+0+810) of the client area, 1395 x 255 twips:
# client pixels (582, 54), 93 x 17. The click lands on its indicator.
ah_click_option() {
    local cx cy
    read -r cx cy _ _ < <(e2e_geometry "$E2E_WIN")
    xdotool mousemove --sync $((cx + (582 + 8) * AH_S)) $((cy + (54 + 8) * AH_S)) click 1
}

ah_park_pointer() { ah_pointer_to "$AH_PARK_X" "$AH_PARK_Y"; }

# Asks the window manager to put the frame's top-left corner at logical x y
# (it moves the client, so the frame's own offset is added).
ah_move_frame() { # x y
    local fx fy cx cy
    read -r fx fy _ _ < <(e2e_geometry "$AH_FRAME")
    read -r cx cy _ _ < <(e2e_geometry "$E2E_WIN")
    xdotool windowmove "$E2E_WIN" $(($1 * AH_S + cx - fx)) $(($2 * AH_S + cy - fy))
}

ah_frame_at() { # x y: true when the frame's top-left is within a logical pixel of logical x y
    local fx fy
    read -r fx fy _ _ < <(e2e_geometry "$AH_FRAME")
    awk -v fx="$fx" -v fy="$fy" -v x="$1" -v y="$2" -v s="$AH_S" \
        'BEGIN {dx = fx - x * s; dy = fy - y * s; exit !(dx > -s && dx < s && dy > -s && dy < s)}'
}

# Waits (up to 3 s) for the frame's top-left corner to reach x y.
ah_expect_frame() { # x y what
    if ! e2e_wait 30 ah_frame_at "$1" "$2"; then
        e2e_fail "$3: frame at $(e2e_geometry "$AH_FRAME"), expected top-left $1 $2"
    fi
    e2e_log "$3: frame at $1 $2"
}

ah_is_active() { [ "$(xdotool getactivewindow 2>/dev/null)" = "$E2E_WIN" ]; }

# A small window of another program that takes the focus away before each
# reveal, so the reveal has something to win the focus back from.
AH_OTHER=""
ah_start_other() {
    xmessage -geometry +$((560 * AH_S))+$((650 * AH_S)) 'another program' >/dev/null 2>&1 &
    E2E_PIDS+=($!)
    AH_OTHER=$(xdotool search --sync --onlyvisible --class Xmessage | head -n 1)
    [ -n "$AH_OTHER" ] || e2e_fail "the other program's window did not appear"
}

ah_activate_other() {
    xdotool windowactivate --sync "$AH_OTHER" 2>/dev/null || true
    e2e_wait 20 sh -c "[ \"\$(xdotool getactivewindow)\" = $AH_OTHER ]" ||
        e2e_fail "could not give the focus to the other program"
}

# Waits (up to 3 s) for the main window to be the active one.
ah_expect_active() { # what
    e2e_wait 30 ah_is_active || e2e_fail "$1: the main window is not active"
    e2e_log "$1: active"
}

# A private X server with the window manager, the program, another program's
# window, the option ticked and the pointer parked; sets fw, fh (the frame's
# size) and W (the screen's width).
ah_start() { # window manager
    e2e_start_x
    e2e_start_wm "$1"
    e2e_start_app
    ah_init
    ah_start_other
    local start
    start=$(e2e_geometry "$AH_FRAME")
    ah_click_option
    ah_park_pointer
    # The window starts centred, away from every edge: the watch leaves it be.
    sleep 0.5
    [ "$(e2e_geometry "$AH_FRAME")" = "$start" ] ||
        e2e_fail "the option moved a window away from the edges: $start -> $(e2e_geometry "$AH_FRAME")"
    fw=$AH_FW
    fh=$AH_FH
    W=$AH_SCREEN_W
}
