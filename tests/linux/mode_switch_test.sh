#!/usr/bin/env bash
# A real display-mode switch, on the private Xorg with the dummy driver that
# scripts/with-xorg-dummy starts (desktop 1280x1024, and 1024x768 at 60/70/75/85 Hz
# among its modes): the shell asks for 1024x768 with a refresh-rate wish. While it
# runs the screen must be at 1024x768 and the highest rate not above the wish, read
# back with xrandr, and the shell must report that mode; after Escape and after
# SIGTERM the desktop mode must be back.
#   mode_switch_test.sh PROGRAM GL_WATCH_LIB
set -u
. "$(dirname "$0")/../../scripts/lib/harness.sh"
program=$1
export GL_WATCH_LIB=$2
title='^shell mode$'
harness_begin mode_switch

desktop=$(current_mode)
[ "$desktop" = "1280x1024 75.02" ] || fail "the server's desktop mode is \"$desktop\""

# With a 100 Hz wish every listed rate lies below it: 85 Hz whatever the order. A
# 72 Hz wish tells the order apart: rising rates give 70 Hz (as on Windows), falling
# ones would keep 75 Hz.
for run in "escape 100 85.00" "sigterm 100 85.00" "escape 72 70.07"; do
    read -r close wish rate <<<"$run"
    start_program --watch --env "SHELL_MODE_WISH=$wish" "$program"
    wait_for_window "$title"
    wait_for_mode "1024x768 $rate"
    wait_for_line "^mode 1024x768x32@${rate%.*}\$"
    wait_for_polls 2
    case $close in
    escape) xdotool key Escape ;;
    sigterm) kill -TERM "$PROGRAM_PID" ;;
    esac
    wait_for_exit
    [ "$EXIT_STATUS" -eq 0 ] || fail "exit status $EXIT_STATUS after $close"
    wait_for_mode "$desktop"
    say "ok ($close, wish $wish): 1024x768 at $rate Hz while running, $desktop after"
done
