#!/usr/bin/env bash
# Edge auto-hide under openbox, which keeps about a tenth of a window on screen
# whatever a program asks: the window still goes as far beyond the top, left
# and right edges as openbox lets it, and comes back 1 pixel beyond the edge,
# active, when the pointer touches the part left showing.

here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.sh"
source "$here/auto_hide_lib.sh"
ah_start openbox

# True when the frame's x (or y) satisfies an awk condition on v.
ah_frame_x_is() { awk -v v="$(ah_frame_x)" "BEGIN {exit !($1)}"; }
ah_frame_y_is() { awk -v v="$(ah_frame_y)" "BEGIN {exit !($1)}"; }

# Waits until the frame has gone more than half beyond an edge and reports
# how much of it openbox left showing.
ah_expect_hidden() { # x|y condition what
    e2e_wait 30 "ah_frame_$1_is" "$2" ||
        e2e_fail "$3: frame at $(e2e_geometry "$AH_FRAME")"
    e2e_log "$3: frame at $(ah_frame_x) $(ah_frame_y)"
}

# Top edge: 3 - fh asked for; at least half of the frame must be gone.
ah_move_frame 300 0
ah_expect_hidden y "v < -$((fh / 2))" "hidden at the top"
y=$(ah_frame_y)
e2e_log "top: asked for $((3 - fh)), openbox left $((fh + y)) of $fh pixels showing"
ah_activate_other
ah_pointer_to $((300 + fw / 2)) $(((fh + y) / 2))
ah_expect_frame 300 -1 "revealed at the top"
ah_expect_active "revealed at the top"
ah_park_pointer
ah_expect_hidden y "v < -$((fh / 2))" "hidden again at the top"

# Left edge.
ah_move_frame 0 100
ah_expect_hidden x "v < -$((fw / 2))" "hidden at the left"
x=$(ah_frame_x)
e2e_log "left: asked for $((3 - fw)), openbox left $((fw + x)) of $fw pixels showing"
ah_activate_other
ah_pointer_to $(((fw + x) / 2)) $((100 + fh / 2))
ah_expect_frame -1 100 "revealed at the left"
ah_expect_active "revealed at the left"
ah_park_pointer
ah_expect_hidden x "v < -$((fw / 2))" "hidden again at the left"

# Right edge.
ah_move_frame $((W - fw)) 100
ah_expect_hidden x "v > $((W - fw / 2))" "hidden at the right"
x=$(ah_frame_x)
e2e_log "right: asked for $((W - 3)), openbox left $((W - x)) of $fw pixels showing"
ah_activate_other
ah_pointer_to $(((W + x) / 2)) $((100 + fh / 2))
ah_expect_frame $((W - fw + 1)) 100 "revealed at the right"
ah_expect_active "revealed at the right"

e2e_app_running || e2e_fail "morvane quit"
e2e_pass
