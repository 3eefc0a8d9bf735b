# Starting and closing the real program under an X display, for the scripts that check or
# photograph it. Sourced; WINEPREFIX and the display must be set by the caller.

window_shown() { xwininfo -root -tree 2>/dev/null | grep -q '"Vellbrook"'; }

# start_program <folder>: starts <folder>/Vellbrook.exe and waits for its main window; sets
# program_pid. The first windowed program in a new prefix sometimes ends at once without a
# window: it is started again then.
start_program() {
    local folder="$1" attempt
    # Without a window manager Wine would wait for one whenever a captioned window is hidden.
    wine reg add 'HKCU\Software\Wine\AppDefaults\Vellbrook.exe\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    for attempt in 1 2 3; do
        (cd "$folder" && exec wine "$folder/Vellbrook.exe" >/dev/null 2>&1) &
        program_pid=$!
        for _ in $(seq 1 150); do
            window_shown && return 0
            kill -0 "$program_pid" 2>/dev/null || break
            sleep 0.2
        done
        kill "$program_pid" 2>/dev/null || true
    done
    echo "no main window" >&2
    return 1
}

# close_program: closes the program as its close box would and returns its exit code.
close_program() {
    wine taskkill /IM Vellbrook.exe >/dev/null 2>&1 || true
    local code=0
    wait "$program_pid" || code=$?
    return "$code"
}
