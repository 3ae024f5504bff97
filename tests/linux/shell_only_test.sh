#!/usr/bin/env bash
# The shell with its default callbacks on the real platform layer.
#   shell_only_test.sh CASE PROGRAM [X_CLOSE_REQUEST]
# CASE, with a display (run under scripts/with-xvfb):
#   escape, sigterm, sigint, close-request: the window appears, the way of closing
#   it ends the program with status 0 and nothing on standard output, and no
#   window is left behind.
# CASE, without one:
#   no-display, dead-display: one "Error: ..." line on standard output and status 1.
set -u
case=$1
program=$2
closer=${3:-}
title='^shell only$'
. "$(dirname "$0")/lib.sh"

dir=$(mktemp -d)
pid=
trap '[ -n "$pid" ] && kill -9 "$pid" 2>/dev/null; rm -rf "$dir"' EXIT
fail() {
    echo "FAIL ($case): $*" >&2
    for f in out err; do [ -s "$dir/$f" ] && { echo "--- program std$f:" >&2; cat "$dir/$f" >&2; }; done
    exit 1
}

# Starts the program in the background with standard input from /dev/null (no
# dialog can wait for anyone), in the environment given as arguments.
start() {
    env "$@" "$program" </dev/null >"$dir/out" 2>"$dir/err" &
    pid=$!
}

case $case in
escape | sigterm | sigint | close-request)
    [ -n "${DISPLAY:-}" ] || fail "needs a display"
    start
    window=$(timeout 10 xdotool search --sync --onlyvisible --name "$title" | head -n1)
    [ -n "$window" ] || { kill -9 "$pid"; fail "no window appeared"; }
    case $case in
    escape) xdotool key Escape ;;
    sigterm) kill -TERM "$pid" ;;
    sigint) kill -INT "$pid" ;;
    close-request) "$closer" "$window" || fail "could not send the close request" ;;
    esac
    finish_within 3
    [ "$status" -ne 137 ] || fail "still running 3 s after the close"
    [ "$status" -eq 0 ] || fail "exit status $status, not 0"
    [ ! -s "$dir/out" ] || fail "wrote to standard output"
    if xdotool search --name "$title" >/dev/null; then fail "a window is left behind"; fi
    ;;
no-display | dead-display)
    env=(-u DISPLAY -u WAYLAND_DISPLAY -u XDG_RUNTIME_DIR)
    # A console with KMS/DRM access is a display; keep the run about X11 and Wayland.
    for card in /dev/dri/card*; do
        [ -r "$card" ] && [ -w "$card" ] && env+=(SDL_VIDEODRIVER=x11,wayland) && break
    done
    if [ "$case" = dead-display ]; then
        n=90
        while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
        env+=(DISPLAY=":$n")
    fi
    start "${env[@]}"
    finish_within 5
    [ "$status" -ne 137 ] || fail "hung without a display"
    [ "$status" -eq 1 ] || fail "exit status $status, not 1"
    grep -q '^Error: ' "$dir/out" || fail "no \"Error: ...\" line on standard output"
    [ "$(wc -l <"$dir/out")" -eq 1 ] || fail "more than the one error line"
    ;;
*)
    echo "unknown case $case" >&2
    exit 2
    ;;
esac
echo "ok ($case)"
