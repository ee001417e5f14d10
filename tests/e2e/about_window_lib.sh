# Shared steps of the About window's end-to-end tests; source it after lib.sh
# and call about_run with the window manager's name and whether that manager
# offers minimise on every dialog whatever the dialog asks (openbox does).
# The About window stays out of the taskbar, belongs to the main window, has
# no maximise (nor minimise where the manager honours the dialog's hints),
# and when minimised anyway comes straight back, so the main window is never
# left waiting for a window that is not on screen.

ABOUT_WIN=""

about_open() {
    xdotool windowactivate --sync "$E2E_WIN" 2>/dev/null || true
    xdotool key --clearmodifiers alt+a
    ABOUT_WIN=$(xdotool search --sync --onlyvisible --name '^Morvane V1\.2\.0$' | head -n 1)
    [ -n "$ABOUT_WIN" ] || e2e_fail "the About window did not appear"
}

about_prop() { xprop -id "$ABOUT_WIN" "$1"; }

# Shown, not minimised, and the active window.
about_back() {
    xwininfo -id "$ABOUT_WIN" | grep -q 'IsViewable' &&
        xprop -id "$ABOUT_WIN" WM_STATE | grep -q 'window state: Normal' &&
        ! about_prop _NET_WM_STATE | grep -q _NET_WM_STATE_HIDDEN &&
        [ "$(xdotool getactivewindow 2>/dev/null)" = "$ABOUT_WIN" ]
}

about_gone() { ! xwininfo -id "$ABOUT_WIN" 2>/dev/null | grep -q 'IsViewable'; }

about_run() { # window manager, yes|no: the manager offers minimise anyway
    e2e_start_x
    e2e_start_wm "$1"
    e2e_start_app
    about_open

    about_prop _NET_WM_STATE | grep -q _NET_WM_STATE_SKIP_TASKBAR ||
        e2e_fail "the About window is in the taskbar: $(about_prop _NET_WM_STATE)"
    about_prop WM_TRANSIENT_FOR | grep -q "$(printf '0x%x' "$E2E_WIN")\$" ||
        e2e_fail "the About window does not belong to the main window: $(about_prop WM_TRANSIENT_FOR)"
    local actions
    actions=$(about_prop _NET_WM_ALLOWED_ACTIONS)
    e2e_log "$actions"
    case "$actions" in *_NET_WM_ACTION_MAXIMIZE*) e2e_fail "the About window can be maximised" ;; esac
    case "$2:$actions" in
    no:*_NET_WM_ACTION_MINIMIZE*) e2e_fail "the About window offers minimise" ;;
    yes:*_NET_WM_ACTION_MINIMIZE*) ;;
    yes:*) e2e_log "$1 no longer offers minimise on the About window" ;;
    esac

    # Minimised anyway, twice: it comes back each time, active, and the main
    # window stays on screen.
    local n
    for n in 1 2; do
        xdotool windowminimize "$ABOUT_WIN"
        e2e_wait 30 about_back || e2e_fail "minimise $n: the About window did not come back: \
$(xwininfo -id "$ABOUT_WIN" | grep 'Map State'), $(about_prop WM_STATE | tr '\n' ' ')"
        xwininfo -id "$E2E_WIN" | grep -q IsViewable || e2e_fail "minimise $n: the main window is not shown"
        e2e_log "minimise $n: the About window is back and active"
    done

    # It still answers, and the main window takes input again once it closes.
    xdotool key --clearmodifiers Escape
    e2e_wait 30 about_gone || e2e_fail "Escape did not close the About window"
    about_open
    e2e_log "the main window answered: the About window opened again"
    xdotool key --clearmodifiers Escape
    e2e_wait 30 about_gone || e2e_fail "Escape did not close the About window the second time"

    e2e_app_running || e2e_fail "morvane quit"
    e2e_pass
}
