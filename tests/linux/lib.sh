# Shared by the real-run test scripts (sourced, not run).

# Waits for the background process $pid to end, for at most $1 seconds, and sets
# status to its exit status (137 when it had to be killed) and pid to empty.
finish_within() {
    (
        trap 'kill "$sleeper" 2>/dev/null; exit 0' TERM
        sleep "$1" &
        sleeper=$!
        wait "$sleeper"
        kill -9 "$pid" 2>/dev/null
    ) >/dev/null 2>&1 &
    local watchdog=$!
    wait "$pid"
    status=$?
    pid=
    kill "$watchdog" 2>/dev/null
    wait "$watchdog" 2>/dev/null
}
