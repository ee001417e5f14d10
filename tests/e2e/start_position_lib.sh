# Shared steps of the start-position end-to-end tests; source it after lib.sh
# and call sp_run with the window manager's name. A 1280x800 screen at Qt's
# scale factor 2 is 640x400 logical pixels, too small for the main window
# (678x556 logical, its client area alone 1356x1112 device pixels): the
# window still starts with its whole title bar's height on screen and its
# right end, where the close box sits, inside the screen, so the user can
# move and close it.

export E2E_SCREEN=1280x800 E2E_SCALE=2

sp_run() { # window manager
    e2e_start_x
    e2e_start_wm "$1"
    e2e_start_app
    local frame x y w h extents top
    frame=$(e2e_frame_of "$E2E_WIN")
    # The window manager may frame it a moment after mapping; the program
    # places it again then.
    sleep 0.5
    read -r x y w h < <(e2e_geometry "$frame")
    extents=$(xprop -id "$E2E_WIN" _NET_FRAME_EXTENTS | sed 's/.*= //')
    top=$(cut -d, -f3 <<<"$extents" | tr -d ' ')
    e2e_log "frame at $x $y, ${w}x$h; frame extents $extents"
    [ "$y" -ge 0 ] || e2e_fail "the title bar starts above the screen (frame top $y)"
    [ "$top" -gt 0 ] || e2e_fail "no title bar reported: $extents"
    [ $((x + w)) -le 1280 ] && [ $((x + w)) -ge $((1280 - 4)) ] ||
        e2e_fail "the frame's right end ($((x + w))) is not at the screen's right edge"
    e2e_app_running || e2e_fail "morvane quit"
    e2e_pass
}
