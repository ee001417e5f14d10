#!/usr/bin/env bash
# The About window under openbox: out of the taskbar, owned by the main window,
# and back at once when minimised.

here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.sh"
source "$here/about_window_lib.sh"
about_run openbox yes
