# Shared set-up for the end-to-end tests: a private X server (Xvfb), a window
# manager, the real morvane binary, and clean-up. Source it, then call
# e2e_start_x, e2e_start_wm NAME, e2e_start_app. Every function fails the test
# loudly; on failure a screenshot lands in $E2E_ARTIFACTS.
#
# Needs: Xvfb, openbox or jwm, xdotool, xprop, xwininfo, xclip, import (ImageMagick).

set -euo pipefail

: "${MORVANE:?MORVANE must name the morvane binary}"
: "${E2E_ARTIFACTS:=${TMPDIR:-/tmp}/morvane-e2e}"
mkdir -p "$E2E_ARTIFACTS"
E2E_NAME="${E2E_NAME:-$(basename "${BASH_SOURCE[1]:-$0}" .sh)}"
# The screen's size in device pixels, and the program's scale factor (device
# pixels per Qt logical pixel: 2 on a high-DPI screen); a test may set them.
: "${E2E_SCREEN:=1280x800}"
: "${E2E_SCALE:=1}"
E2E_PIDS=()
E2E_APP_PID=""
E2E_WIN=""

e2e_log() { printf '[%s] %s\n' "$E2E_NAME" "$*" >&2; }

e2e_screenshot() { # name
    import -window root "$E2E_ARTIFACTS/$E2E_NAME-$1.png" 2>/dev/null || true
}

e2e_cleanup() {
    local rc=$?
    if [ "$rc" -ne 0 ] && [ -n "${DISPLAY:-}" ]; then
        e2e_screenshot failure
        e2e_log "failed (status $rc); screenshot in $E2E_ARTIFACTS/$E2E_NAME-failure.png"
    fi
    local p
    for ((i = ${#E2E_PIDS[@]} - 1; i >= 0; i--)); do
        p=${E2E_PIDS[$i]}
        kill "$p" 2>/dev/null || true
    done
    wait 2>/dev/null || true
    exit "$rc"
}
trap e2e_cleanup EXIT

e2e_fail() {
    e2e_log "FAIL: $*"
    exit 1
}

# Waits until a command succeeds, up to $1 tenths of a second.
e2e_wait() { # tenths command...
    local n=$1
    shift
    for ((k = 0; k < n; k++)); do
        if "$@" >/dev/null 2>&1; then return 0; fi
        sleep 0.1
    done
    return 1
}

# Starts Xvfb on the first free display (E2E_SCREEN, no reset when clients leave).
e2e_start_x() {
    local d
    for d in $(seq 91 140); do
        if [ ! -e "/tmp/.X11-unix/X$d" ] && [ ! -e "/tmp/.X$d-lock" ]; then
            Xvfb ":$d" -screen 0 "${E2E_SCREEN}x24" -noreset -nolisten tcp >/dev/null 2>&1 &
            E2E_PIDS+=($!)
            export DISPLAY=":$d"
            if e2e_wait 100 xdpyinfo; then
                return 0
            fi
            e2e_fail "Xvfb did not start on :$d"
        fi
    done
    e2e_fail "no free X display"
}

# Starts a window manager (openbox or jwm) and waits until it has taken over.
e2e_start_wm() { # name
    case "$1" in
    openbox) openbox --sm-disable >/dev/null 2>&1 & ;;
    jwm) jwm >/dev/null 2>&1 & ;;
    *) e2e_fail "unknown window manager $1" ;;
    esac
    E2E_PIDS+=($!)
    e2e_wait 100 sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"' ||
        e2e_fail "window manager $1 did not start"
}

# Starts morvane and waits for its main window; sets E2E_APP_PID and E2E_WIN.
# The program runs in the locale E2E_LANG (C.UTF-8 unless set).
e2e_start_app() {
    # A bus of its own, or Qt would autolaunch one that outlives the test.
    [ -n "${DBUS_SESSION_BUS_ADDRESS:-}" ] || e2e_start_session_bus
    LANG=${E2E_LANG:-C.UTF-8} QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR="$E2E_SCALE" "$MORVANE" >"$E2E_ARTIFACTS/$E2E_NAME-app.log" 2>&1 &
    E2E_APP_PID=$!
    E2E_PIDS+=("$E2E_APP_PID")
    E2E_WIN=$(xdotool search --sync --onlyvisible --pid "$E2E_APP_PID" --name '^Morvane V[0-9]' | head -n 1)
    [ -n "$E2E_WIN" ] || e2e_fail "main window did not appear"
    # Let the first layout and paint happen.
    sleep 0.5
}

# The window manager's frame around a client window (the window itself without a WM).
e2e_frame_of() { # window
    local w=$1 parent
    while :; do
        parent=$(xwininfo -children -id "$w" | awk '/Parent window id/ {print $4}')
        if [ -z "$parent" ] || [ "$(xwininfo -root | awk '/Window id/ {print $4}')" = "$parent" ]; then
            echo "$w"
            return
        fi
        w=$parent
    done
}

# "x y width height" of a window in root coordinates.
e2e_geometry() { # window
    xwininfo -id "$1" | awk '
        /Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4}
        /Width:/ {w=$2} /Height:/ {h=$2} END {print x, y, w, h}'
}

e2e_app_running() { kill -0 "$E2E_APP_PID" 2>/dev/null; }

e2e_pass() { e2e_log "passed"; }

# Starts a private D-Bus session bus and exports its address. It inherits
# DISPLAY (call e2e_start_x first), so the accessibility services it starts on
# demand synthesise input on this display. Without a bus of its own the
# program would autolaunch one that outlives the test.
e2e_start_session_bus() {
    local out
    out=$(dbus-daemon --session --fork --print-address=1 --print-pid=1) ||
        e2e_fail "dbus-daemon did not start"
    DBUS_SESSION_BUS_ADDRESS=$(sed -n 1p <<<"$out")
    export DBUS_SESSION_BUS_ADDRESS
    E2E_PIDS+=("$(sed -n 2p <<<"$out")")
}

# A session bus with the accessibility bus running on it, and the program told
# to serve it (before e2e_start_app). e2e_atspi then reads the program's widgets.
e2e_start_a11y() {
    e2e_start_session_bus
    dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus \
        org.a11y.Bus.GetAddress >/dev/null || e2e_fail "the accessibility bus did not start"
    export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
}

# What the accessibility bus shows of the program now, a line per widget (see
# atspi_probe.py); fails while the program is not on the bus yet.
e2e_atspi() {
    "${E2E_PYTHON:-/usr/bin/python3}" "$(dirname "${BASH_SOURCE[0]}")/atspi_probe.py" "$E2E_APP_PID"
}

# The colour "r,g,b" of pixel x y in the screenshot e2e_screenshot NAME took.
e2e_pixel() { # name x y
    convert "$E2E_ARTIFACTS/$E2E_NAME-$1.png" -format "%[fx:round(255*p{$2,$3}.r)],%[fx:round(255*p{$2,$3}.g)],%[fx:round(255*p{$2,$3}.b)]" info:
}

# Moves the pointer to x y of the screen and waits until it is there.
# (xdotool's --sync waits for a motion, which never comes when the pointer
# already is there: it then gives up only after 15 s.)
e2e_pointer_to() { # x y
    if [ "$(xdotool getmouselocation | awk '{print $1, $2}')" != "x:$1 y:$2" ]; then
        xdotool mousemove --sync "$1" "$2"
    fi
}

# A left click at x y of the screen.
e2e_click() { # x y
    e2e_pointer_to "$1" "$2"
    xdotool click 1
}
