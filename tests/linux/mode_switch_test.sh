#!/usr/bin/env bash
# A real display-mode switch: a private Xorg with the dummy video driver (desktop
# 1280x1024, and 1024x768 at 60/70/75/85 Hz among its modes), the shell asking for
# 1024x768 with a 100 Hz wish. While it runs the screen must be at 1024x768 85 Hz
# (the highest rate not above the wish), read back with xrandr; after Escape and
# after SIGTERM the desktop mode must be back.
#   mode_switch_test.sh PROGRAM
# Exits 77 (reported as skipped) when Xorg cannot start on this machine.
set -u
program=$1
title='^shell mode$'
. "$(dirname "$0")/lib.sh"

dir=$(mktemp -d)
xorg=
pid=
trap '[ -n "$pid" ] && kill -9 "$pid" 2>/dev/null
      [ -n "$xorg" ] && kill "$xorg" 2>/dev/null && wait "$xorg" 2>/dev/null
      rm -rf "$dir"' EXIT
fail() {
    echo "FAIL: $*" >&2
    for f in out err; do
        [ -s "$dir/$f" ] && { echo "--- program std$f:" >&2; cat "$dir/$f" >&2; }
    done
    exit 1
}

cat >"$dir/xorg.conf" <<'CONF'
Section "ServerFlags"
  Option "AutoAddDevices" "false"
  Option "AutoEnableDevices" "false"
EndSection
Section "Monitor"
  Identifier "Monitor"
  HorizSync 28.0-80.0
  VertRefresh 48.0-85.0
EndSection
Section "Device"
  Identifier "Card"
  Driver "dummy"
  VideoRam 256000
EndSection
Section "Screen"
  Identifier "Screen"
  Device "Card"
  Monitor "Monitor"
  DefaultDepth 24
  SubSection "Display"
    Depth 24
    Modes "1280x1024" "1024x768"
    Virtual 1280 1024
  EndSubSection
EndSection
CONF

command -v Xorg >/dev/null || { echo "SKIP: no Xorg on this machine"; exit 77; }
# -displayfd: the server takes a free display number itself and writes it to fd 9.
Xorg -displayfd 9 -config "$dir/xorg.conf" -noreset -nolisten tcp -novtswitch -sharevts \
    -keeptty -logfile "$dir/xorg.log" 9>"$dir/display" >"$dir/xorg.out" 2>&1 &
xorg=$!
for _ in $(seq 200); do
    [ -s "$dir/display" ] && break
    kill -0 "$xorg" 2>/dev/null || break
    sleep 0.05
done
if [ ! -s "$dir/display" ]; then
    echo "SKIP: Xorg with the dummy driver did not start:"
    tail -n 20 "$dir/xorg.out" "$dir/xorg.log" 2>/dev/null
    exit 77
fi
export DISPLAY=":$(head -n1 "$dir/display")"

# "WIDTHxHEIGHT RATE" of the output's current mode.
current_mode() {
    xrandr --current | awk '{ for (i = 2; i <= NF; i++) if ($i ~ /\*/) {
        rate = $i; gsub(/[*+]/, "", rate); print $1, rate; exit } }'
}

desktop=$(current_mode)
[ "$desktop" = "1280x1024 75.02" ] || fail "the server's desktop mode is \"$desktop\""

wait_for_mode() {
    local wanted=$1 mode=
    for _ in $(seq 100); do
        mode=$(current_mode)
        [ "$mode" = "$wanted" ] && return 0
        sleep 0.05
    done
    fail "the screen is at \"$mode\", not \"$wanted\""
}

# With a 100 Hz wish every listed rate lies below it: 85 Hz whatever the order. A
# 72 Hz wish tells the order apart: rising rates give 70 Hz (as on Windows), falling
# ones would keep 75 Hz.
for run in "escape 100 85.00" "sigterm 100 85.00" "escape 72 70.07"; do
    read -r close wish rate <<<"$run"
    SHELL_MODE_WISH=$wish "$program" </dev/null >"$dir/out" 2>"$dir/err" &
    pid=$!
    timeout 10 xdotool search --sync --onlyvisible --name "$title" >/dev/null ||
        fail "no window appeared"
    wait_for_mode "1024x768 $rate"
    grep -qx "mode 1024x768x32@${rate%.*}" "$dir/out" || fail "the shell did not report the $rate Hz mode"
    case $close in
    escape) xdotool key Escape ;;
    sigterm) kill -TERM "$pid" ;;
    esac
    finish_within 3
    [ "$status" -ne 137 ] || fail "still running 3 s after $close"
    [ "$status" -eq 0 ] || fail "exit status $status after $close"
    wait_for_mode "$desktop"
    echo "ok ($close, wish $wish): 1024x768 at $rate Hz while running, $desktop after"
done
