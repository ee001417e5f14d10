#!/usr/bin/env bash
# The same edge auto-hide under jwm on a high-DPI screen: 2560x1600 device
# pixels at Qt's scale factor 2, so the program works in a 1280x800 screen of
# logical pixels while the X server reports the frame in device pixels.

export E2E_SCREEN=2560x1600 E2E_SCALE=2 E2E_NAME=auto_hide_jwm_scale2_test
source "$(cd "$(dirname "$0")" && pwd)/auto_hide_jwm_test.sh"
