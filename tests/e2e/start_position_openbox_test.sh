#!/usr/bin/env bash
# Under openbox, the main window starts with its title bar on a screen too small
# for it (see start_position_lib.sh).

here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.sh"
source "$here/start_position_lib.sh"
sp_run openbox
