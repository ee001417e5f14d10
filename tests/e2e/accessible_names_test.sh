#!/usr/bin/env bash
# What a screen reader finds, read through the accessibility bus as Orca
# reads it: in the main window and in the About window every control that
# can take the focus has a name, no two share one within a window, and each
# says what it is (its caption, else what it shows) and has a description.

here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.sh"

e2e_start_x
e2e_start_wm openbox
e2e_start_a11y
e2e_start_app

LIST="$E2E_ARTIFACTS/$E2E_NAME-focusable.txt"
focusable() { # the controls of the program's shown windows; fails while none
    "${E2E_PYTHON:-/usr/bin/python3}" "$here/atspi_probe.py" --focusable "$E2E_APP_PID" >"$LIST" &&
        [ -s "$LIST" ]
}

# Fails unless every line of the list for windows titled like $1 has a name
# and a description, and no name comes twice; then each of the names given
# after it must be there.
expect_named() { # title-pattern name...
    local title=$1 rows
    shift
    rows=$(awk -F '\t' -v t="$title" '$1 ~ t' "$LIST")
    [ -n "$rows" ] || e2e_fail "no controls in a window titled $title: $(cat "$LIST")"
    awk -F '\t' '$3 == "" || $4 == ""' <<<"$rows" | grep -q . &&
        e2e_fail "unnamed or undescribed controls in $title: $(awk -F '\t' '$3 == "" || $4 == ""' <<<"$rows")"
    local twice
    twice=$(cut -f3 <<<"$rows" | sort | uniq -d)
    [ -z "$twice" ] || e2e_fail "names shared in $title: $twice"
    local name
    for name in "$@"; do
        cut -f3 <<<"$rows" | grep -qxF -- "$name" || e2e_fail "no control named $name in $title: $(cut -f2,3 <<<"$rows")"
    done
    e2e_log "$title: $(wc -l <<<"$rows") controls, every one named and described, no name twice"
}

e2e_wait 100 focusable || e2e_fail "the program's controls did not appear on the accessibility bus"
expect_named '^Morvane V[0-9.]+  --' \
    输入框 输出框 红色成分 绿色成分 蓝色成分 现在时间 帮助提示 \
    GB2312转UTF-8 '关于本软件(A)' 启用自动换行 文 窗 钮
# The About window, over the main window.
xdotool windowactivate --sync "$E2E_WIN"
xdotool key alt+a
e2e_wait 100 sh -c "'${E2E_PYTHON:-/usr/bin/python3}' '$here/atspi_probe.py' --focusable $E2E_APP_PID |
    cut -f1 | grep -qx 'Morvane V[0-9.]*'" || e2e_fail "the About window did not appear on the bus"
focusable
expect_named '^Morvane V[0-9.]+$' 确定 '系统信息(S)...'
xdotool key Escape

e2e_pass
