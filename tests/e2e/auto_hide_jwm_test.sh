#!/usr/bin/env bash
# Edge auto-hide under jwm, which carries out off-screen moves exactly: with
# the option ticked the window hides beyond the top, left and right edges,
# leaving 3 pixels, and comes back 1 pixel beyond the edge, active, when the
# pointer touches that strip. Clearing the option stops the edge watch.

here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.sh"
source "$here/auto_hide_lib.sh"
ah_start jwm

# Top edge.
ah_move_frame 300 0
ah_expect_frame 300 $((3 - fh)) "hidden at the top"
sleep 0.3 # later ticks keep it there
ah_expect_frame 300 $((3 - fh)) "still hidden at the top"
ah_activate_other
ah_pointer_to $((300 + fw / 2)) 0
ah_expect_frame 300 -1 "revealed at the top"
ah_expect_active "revealed at the top"
ah_park_pointer
ah_expect_frame 300 $((3 - fh)) "hidden again at the top"

# Left edge.
ah_move_frame 0 100
ah_expect_frame $((3 - fw)) 100 "hidden at the left"
ah_activate_other
ah_pointer_to 1 $((100 + fh / 2))
ah_expect_frame -1 100 "revealed at the left"
ah_expect_active "revealed at the left"
ah_park_pointer
ah_expect_frame $((3 - fw)) 100 "hidden again at the left"

# Right edge: the frame's right side on the screen's last column + 1.
ah_move_frame $((W - fw)) 100
ah_expect_frame $((W - 3)) 100 "hidden at the right"
ah_activate_other
ah_pointer_to $((W - 1)) $((100 + fh / 2))
ah_expect_frame $((W - fw + 1)) 100 "revealed at the right"
ah_expect_active "revealed at the right"

# Clearing the option (the pointer is over the revealed window) stops the
# watch: the window stays put when the pointer leaves.
ah_click_option
ah_park_pointer
sleep 0.6
ah_frame_at $((W - fw + 1)) 100 ||
    e2e_fail "moved after the option was cleared: $(e2e_geometry "$AH_FRAME")"

e2e_app_running || e2e_fail "morvane quit"
e2e_pass
