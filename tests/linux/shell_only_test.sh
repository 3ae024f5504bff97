#!/usr/bin/env bash
# The shell with its default callbacks on the real platform layer.
#   shell_only_test.sh CASE PROGRAM GL_WATCH_LIB [X_CLOSE_REQUEST]
# CASE, with a display (run under scripts/with-xvfb):
#   escape, sigterm, sigint, sighup, close-request, alt-f4: once the window shows and
#   its message pump runs, that way of closing it ends the program with status 0 and
#   nothing on standard output. (Alt+F4 with no window manager: the shell's window
#   procedure hands the key to the default processing, which closes the window as
#   Windows' does.)
#   other-keys: keys other than Escape, taken in by the pump, leave it running;
#   Escape then ends it.
# CASE, without one:
#   no-display, dead-display: one "Error: ..." line on standard output and status 1.
set -u
. "$(dirname "$0")/../../scripts/lib/harness.sh"
case=$1
program=$2
export GL_WATCH_LIB=$3
closer=${4:-}
title='^shell only$'
harness_begin "shell_only ($case)"

# The pump has taken in the system's events twice since now: whatever the X server
# had for the program by now has been read.
pump_caught_up() { wait_for_polls $(( $(polls_made) + 2 )); }

case $case in
escape | sigterm | sigint | sighup | close-request | alt-f4 | other-keys)
    [ -n "${DISPLAY:-}" ] || fail "needs a display"
    start_program --watch "$program"
    wait_for_window "$title"
    pump_caught_up
    case $case in
    escape) xdotool key Escape ;;
    sigterm) kill -TERM "$PROGRAM_PID" ;;
    sigint) kill -INT "$PROGRAM_PID" ;;
    sighup) kill -HUP "$PROGRAM_PID" ;;
    alt-f4) xdotool keydown Alt_L key F4 keyup Alt_L ;;
    close-request) "$closer" "$WINDOW" || fail "could not send the close request" ;;
    other-keys)
        for key in a Return space Tab F1 Up ctrl+w alt+x; do xdotool key "$key"; done
        pump_caught_up
        kill -0 "$PROGRAM_PID" 2>/dev/null || fail "a key other than Escape ended the program"
        xdotool key Escape ;;
    esac
    wait_for_exit
    [ "$EXIT_STATUS" -eq 0 ] || fail "exit status $EXIT_STATUS, not 0"
    [ ! -s "$HARNESS_DIR/stdout" ] || fail "wrote to standard output"
    ;;
no-display | dead-display)
    env=(-u DISPLAY -u WAYLAND_DISPLAY -u XDG_RUNTIME_DIR)
    # A console with KMS/DRM access is a display; keep the run about X11 and Wayland.
    for card in /dev/dri/card*; do
        [ -r "$card" ] && [ -w "$card" ] && env+=(SDL_VIDEODRIVER=x11,wayland) && break
    done
    [ "$case" = dead-display ] && env+=("DISPLAY=$(free_display)")
    start_program -- env "${env[@]}" "$program"
    wait_for_exit
    [ "$EXIT_STATUS" -eq 1 ] || fail "exit status $EXIT_STATUS, not 1"
    grep -q '^Error: ' "$HARNESS_DIR/stdout" || fail "no \"Error: ...\" line on standard output"
    [ "$(wc -l <"$HARNESS_DIR/stdout")" -eq 1 ] || fail "more than the one error line"
    ;;
*)
    echo "unknown case $case" >&2
    exit 2
    ;;
esac
say "ok"
