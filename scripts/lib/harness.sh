# The one harness for everything that starts an X server, Wine or a program under
# test: scripts/, tests/ and bench/ source it (". scripts/lib/harness.sh") rather
# than keeping loops of their own.
#
# Every wait here is for a condition. Its deadline, $HARNESS_DEADLINE seconds
# (default 60), only tells a hang from a slow machine: it is never a speed check.
# A wait that runs out, or whose program ends first, fails with what it waited for
# and what it saw last, and the program's output.
#
#   harness_begin NAME          message prefix, scratch folder $HARNESS_DIR, and an
#                               EXIT trap that stops what was started, newest first
#   harness_on_exit COMMAND     one more thing for that trap to run (a string)
#   say MESSAGE / fail MESSAGE  "NAME: MESSAGE" on stdout / on stderr, then exit 1
#   wait_until WHAT COMMAND...  polls COMMAND until it succeeds; WHAT names it for
#                               the failure message; $WAIT_SEEN, when the command
#                               sets it, says what it saw
#
#   free_display                prints ":N" of a display number no server holds
#   start_xvfb [WxHxD]          private Xvfb (default 1024x768x24); exports DISPLAY
#   start_xorg_dummy            private Xorg with the dummy driver and a real mode
#                               list (scripts/lib/xorg-dummy.conf); exports DISPLAY;
#                               fails, with the server's log, when it cannot start
#   current_mode                the screen's mode as "WxH RATE" (xrandr)
#   wait_for_mode "WxH RATE"
#   screenshot FILE             the whole screen; FILE.xwd as dumped, else converted
#
#   start_program [--watch] [--env NAME=VALUE]... [--] PROGRAM [ARGS...]
#       starts PROGRAM in the background from the current shell (not a subshell:
#       its status is collected with wait), standard input from /dev/null, output
#       to $HARNESS_DIR/stdout and $HARNESS_DIR/stderr; sets PROGRAM_PID. --watch
#       preloads the gl_watch observer ($GL_WATCH_LIB) with its live counters and
#       its exit report in $HARNESS_DIR/report. Check scripts run later inherit
#       HARNESS_WATCHED_PID and HARNESS_LIVE: their waits end early when that
#       program ends, and they can count its frames too.
#   wait_for_window TITLE_RE    a visible window whose name matches; sets WINDOW
#   wait_for_frames N           the watched program has swapped N frames in all
#   wait_for_polls N            ... and taken in the system's events N times (its
#                               message pump runs)
#   frames_drawn / polls_made   the live counters now
#   wait_for_line ERE [FILE]    a line of FILE (default the program's stdout)
#   wait_for_exit [SECONDS]     sets EXIT_STATUS; past the deadline (default
#                               $HARNESS_DEADLINE) the program is killed and the
#                               wait fails
#   program_output              the program's stdout and stderr, for a report
#
#   wine_prefix DIR             makes a private 64-bit prefix once (later calls
#                               reuse it; concurrent callers wait on a lock)
#   wine_env DIR                exports what a run in that prefix needs, and has
#                               the EXIT trap stop the prefix's Wine processes
#   start_wine_program EXE [ARGS...]   as start_program, under wine64
#
# Standard error of the harness's own tools is kept out of the way; its messages
# start with the name given to harness_begin.

HARNESS_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
HARNESS_DEADLINE=${HARNESS_DEADLINE:-60}
HARNESS_NAME=${HARNESS_NAME:-harness}
HARNESS_DIR=""
_harness_cleanups=()

harness_begin() {
  HARNESS_NAME=$1
  HARNESS_DIR=$(mktemp -d "${TMPDIR:-/tmp}/harness.XXXXXX")
  _harness_cleanups=("rm -rf '$HARNESS_DIR'")
  trap _harness_exit EXIT
  trap 'exit 130' INT
  trap 'exit 143' TERM
}

harness_on_exit() { _harness_cleanups+=("$1"); }

_harness_exit() {
  local status=$? i
  for ((i = ${#_harness_cleanups[@]} - 1; i >= 0; --i)); do
    eval "${_harness_cleanups[i]}" >/dev/null 2>&1
  done
  exit "$status"
}

say() { echo "$HARNESS_NAME: $*"; }

fail() {
  echo "$HARNESS_NAME: $*" >&2
  if [ -n "${PROGRAM_PID:-}" ] || [ -s "$HARNESS_DIR/stdout" ] || [ -s "$HARNESS_DIR/stderr" ]; then
    program_output >&2
  fi
  exit 1
}

now_ms() { echo $(( $(date +%s%N) / 1000000 )); }

# wait_until WHAT COMMAND...: polls; fails past the deadline or when the program
# being watched (PROGRAM_PID, if any) has ended.
wait_until() {
  local what=$1
  shift
  local start deadline watched=${PROGRAM_PID:-${HARNESS_WATCHED_PID:-}}
  start=$(now_ms)
  deadline=$(( start + HARNESS_DEADLINE * 1000 ))
  WAIT_SEEN=""
  while ! "$@"; do
    if [ -n "$watched" ] && ! kill -0 "$watched" 2>/dev/null; then
      local ended="the program ended"
      if [ -n "${PROGRAM_PID:-}" ]; then
        _harness_collect
        ended="$ended (status $EXIT_STATUS)"
      fi
      "$@" && break  # what it waited for came just before the end
      fail "waited for $what, but $ended${WAIT_SEEN:+; saw: $WAIT_SEEN}"
    fi
    [ "$(now_ms)" -lt "$deadline" ] ||
      fail "waited ${HARNESS_DEADLINE}s for $what${WAIT_SEEN:+; saw: $WAIT_SEEN}"
    sleep 0.05
  done
  WAITED_MS=$(( $(now_ms) - start ))
}

# --- X servers -----------------------------------------------------------------------

free_display() {
  local n=90
  while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
  echo ":$n"
}

_display_written() { [ -s "$1" ] || { kill -0 "$2" 2>/dev/null || return 2; return 1; }; }

# _start_server NAME LOG DISPLAYFILE COMMAND...: the server writes its display
# number to fd 9 once it accepts clients.
_start_server() {
  local name=$1 log=$2 file=$3
  shift 3
  "$@" 9>"$file" >"$log" 2>&1 &
  local pid=$!
  harness_on_exit "kill $pid; wait $pid"
  local start deadline
  start=$(now_ms)
  deadline=$(( start + HARNESS_DEADLINE * 1000 ))
  while ! [ -s "$file" ]; do
    if ! kill -0 "$pid" 2>/dev/null; then
      tail -n 30 "$log" >&2
      fail "$name did not start (it ended; its log is above)"
    fi
    if [ "$(now_ms)" -ge "$deadline" ]; then
      tail -n 30 "$log" >&2
      fail "$name did not start within ${HARNESS_DEADLINE}s (its log is above)"
    fi
    sleep 0.05
  done
  export DISPLAY=":$(head -n1 "$file")"
  unset WAYLAND_DISPLAY
}

start_xvfb() {
  local size=${1:-1024x768x24}
  command -v Xvfb >/dev/null || fail "no Xvfb (scripts/install-deps installs it)"
  _start_server Xvfb "$HARNESS_DIR/xvfb.log" "$HARNESS_DIR/xvfb.display" \
    Xvfb -displayfd 9 -screen 0 "$size" -nolisten tcp -noreset
}

start_xorg_dummy() {
  command -v Xorg >/dev/null || fail "no Xorg (scripts/install-deps installs xserver-xorg-core)"
  _start_server "Xorg (dummy driver)" "$HARNESS_DIR/xorg.out" "$HARNESS_DIR/xorg.display" \
    Xorg -displayfd 9 -config "$HARNESS_ROOT/scripts/lib/xorg-dummy.conf" -noreset \
      -nolisten tcp -novtswitch -sharevts -keeptty -logfile "$HARNESS_DIR/xorg.log"
}

current_mode() {
  xrandr --current 2>/dev/null | awk '{ for (i = 2; i <= NF; i++) if ($i ~ /\*/) {
      rate = $i; gsub(/[*+]/, "", rate); print $1, rate; exit } }'
}

_mode_is() { WAIT_SEEN="\"$(current_mode)\""; [ "$WAIT_SEEN" = "\"$1\"" ]; }
wait_for_mode() { wait_until "the screen's mode \"$1\"" _mode_is "$1"; }

screenshot() {
  case $1 in
    *.xwd) xwd -root -silent >"$1" ;;
    *) xwd -root -silent | convert xwd:- "$1" ;;
  esac || fail "could not take a screenshot into $1"
}

# --- Programs -------------------------------------------------------------------------

PROGRAM_PID=""
EXIT_STATUS=""
_harness_live=${HARNESS_LIVE:-}

start_program() {
  local watch=false envs=()
  while [ $# -gt 0 ]; do
    case $1 in
      --watch) watch=true; shift ;;
      --env) envs+=("$2"); shift 2 ;;
      --) shift; break ;;
      *) break ;;
    esac
  done
  [ $# -gt 0 ] || fail "start_program: no program given"
  _harness_live=""
  if $watch; then
    [ -e "${GL_WATCH_LIB:-}" ] || fail "start_program --watch: no observer at GL_WATCH_LIB='${GL_WATCH_LIB:-}'"
    _harness_live=$HARNESS_DIR/live
    rm -f "$_harness_live" "$HARNESS_DIR/report"
    # A sanitizer build's runtime need not come first when the observer is preloaded.
    envs+=("LD_PRELOAD=$(realpath "$GL_WATCH_LIB")" "GL_WATCH_REPORT=$HARNESS_DIR/report"
           "GL_WATCH_LIVE=$_harness_live"
           "ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0")
  fi
  : >"$HARNESS_DIR/stdout"
  : >"$HARNESS_DIR/stderr"
  env ${envs[@]+"${envs[@]}"} "$@" </dev/null >"$HARNESS_DIR/stdout" 2>"$HARNESS_DIR/stderr" &
  PROGRAM_PID=$!
  EXIT_STATUS=""
  export HARNESS_WATCHED_PID=$PROGRAM_PID HARNESS_LIVE=$_harness_live
  harness_on_exit "[ \"\$PROGRAM_PID\" = $PROGRAM_PID ] && kill -KILL $PROGRAM_PID"
}

# The observer's live counters: 64-bit words, frames first, then event polls.
_live_word() {
  local value
  value=$(od -An -t u8 -j "$(( $1 * 8 ))" -N 8 "$_harness_live" 2>/dev/null | tr -d ' ')
  echo "${value:-0}"
}
# Whether the program's frames can be counted (Windows programs under Wine cannot).
frames_countable() { [ -n "$_harness_live" ]; }
frames_drawn() { _live_word 0; }
polls_made() { _live_word 1; }

_frames_at_least() { WAIT_SEEN="$(frames_drawn) frames"; [ "$(frames_drawn)" -ge "$1" ]; }
_polls_at_least() { WAIT_SEEN="$(polls_made) event polls"; [ "$(polls_made)" -ge "$1" ]; }
wait_for_frames() {
  [ -n "$_harness_live" ] || fail "wait_for_frames: the program is not watched (start_program --watch)"
  wait_until "$1 frames drawn" _frames_at_least "$1"
}
wait_for_polls() {
  [ -n "$_harness_live" ] || fail "wait_for_polls: the program is not watched (start_program --watch)"
  wait_until "$1 event polls" _polls_at_least "$1"
}

_find_window() {
  WINDOW=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1)
  [ -n "$WINDOW" ]
}
wait_for_window() { wait_until "a visible window named '$1'" _find_window "$1"; }

_has_line() { grep -Eq -- "$1" "$2" 2>/dev/null; }
wait_for_line() {
  local file=${2:-$HARNESS_DIR/stdout}
  wait_until "a line matching '$1' in $(basename "$file")" _has_line "$1" "$file"
}

# Reaps the program once it has ended; EXIT_STATUS is its status.
_harness_collect() {
  [ -n "${PROGRAM_PID:-}" ] || return 0
  wait "$PROGRAM_PID" 2>/dev/null
  EXIT_STATUS=$?
  PROGRAM_PID=""
}

_program_ended() { ! kill -0 "$PROGRAM_PID" 2>/dev/null; }

wait_for_exit() {
  local limit=${1:-$HARNESS_DEADLINE}
  [ -n "${PROGRAM_PID:-}" ] || fail "wait_for_exit: no program running"
  local start deadline
  start=$(now_ms)
  deadline=$(( start + limit * 1000 ))
  while ! _program_ended; do
    if [ "$(now_ms)" -ge "$deadline" ]; then
      kill -KILL "$PROGRAM_PID" 2>/dev/null
      _harness_collect
      fail "the program did not end within ${limit}s (killed)"
    fi
    sleep 0.02
  done
  _harness_collect
  WAITED_MS=$(( $(now_ms) - start ))
}

program_output() {
  local f
  for f in stdout stderr; do
    if [ -s "$HARNESS_DIR/$f" ]; then
      echo "--- the program's $f"
      tr -d '\r' <"$HARNESS_DIR/$f"
    fi
  done
}

# --- Wine -----------------------------------------------------------------------------

HARNESS_WINE=${WINE64:-/usr/lib/wine/wine64}
HARNESS_WINESERVER=${WINESERVER:-/usr/lib/wine/wineserver}

# Made without a display and without network: no Mono or Gecko installers
# (mscoree, mshtml off), no desktop entries in $HOME (winemenubuilder off), and a
# crash prints a backtrace instead of opening a dialogue nobody could close.
wine_prefix() {
  local dir=$1
  case $dir in /*) ;; *) dir=$PWD/$dir ;; esac
  [ -e "$dir/.ready" ] && return 0
  [ -x "$HARNESS_WINE" ] || fail "no $HARNESS_WINE (scripts/install-deps installs wine64)"
  mkdir -p "$(dirname "$dir")"
  (
    flock 8
    [ -e "$dir/.ready" ] && exit 0
    rm -rf "$dir"
    export WINEPREFIX=$dir WINEARCH=win64 WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
    unset DISPLAY WAYLAND_DISPLAY
    start=$(now_ms)
    if ! { "$HARNESS_WINE" wineboot --init &&
           "$HARNESS_WINE" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f &&
           "$HARNESS_WINESERVER" -w; } >"$dir.log" 2>&1; then
      cat "$dir.log" >&2
      exit 1
    fi
    touch "$dir/.ready"
    echo "$HARNESS_NAME: made the Wine prefix $dir in $(( $(now_ms) - start )) ms" >&2
  ) 8>"$dir.lock" || fail "could not make the Wine prefix $dir (its log is above)"
}

wine_env() {
  local dir=$1
  case $dir in /*) ;; *) dir=$PWD/$dir ;; esac
  export WINEPREFIX=$dir WINEDEBUG=${WINEDEBUG:--all}
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  # No Wine process may outlive the X server it talks to.
  harness_on_exit "'$HARNESS_WINESERVER' -k; '$HARNESS_WINESERVER' -w"
}

start_wine_program() { start_program -- "$HARNESS_WINE" "$@"; }
