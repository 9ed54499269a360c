# Shared steps of the real-window tests: start the program on the X display, find its window
# and work out where its client area begins. Sourced by the test scripts.

# Exit code that CTest reports as a skipped test.
skip=77

require_tools()
{
    for tool in "$@"; do
        if ! command -v "$tool" >/dev/null 2>&1; then
            echo "SKIP: $tool is not installed"
            exit "$skip"
        fi
    done
    if [ -z "${DISPLAY:-}" ]; then
        echo "SKIP: no X display (run under xvfb-run)"
        exit "$skip"
    fi
}

# start_window PROGRAM: sets app_pid, window and client_top (the menu bar's height).
start_window()
{
    "$1" &
    app_pid=$!
    window=$(timeout 30 xdotool search --sync --onlyvisible --name '^Critical Coning Rate Calculation$' | head -n 1)
    if [ -z "$window" ]; then
        echo "FAIL: the window did not appear"
        exit 1
    fi
    sleep 1
    local height
    height=$(xdotool getwindowgeometry --shell "$window" | sed -n 's/^HEIGHT=//p')
    # The client area is 404 pixels high; the menu bar sits above it.
    client_top=$((height - 404))
    xdotool mousemove --window "$window" 300 $((client_top + 380))
    xdotool windowfocus --sync "$window" || true
}

stop_window()
{
    if [ -n "${app_pid:-}" ] && kill -0 "$app_pid" 2>/dev/null; then
        kill "$app_pid"
        wait "$app_pid" 2>/dev/null || true
    fi
}

# click_client X Y: a left click at pixel (X, Y) of the client area.
click_client()
{
    xdotool mousemove --window "$window" "$1" $((client_top + $2)) click 1
}

# Types the sample well and presses "Calculate Critical Coning Rate". The keyboard starts in the
# title line; Tab goes to the combo box, where Down chooses "Oil-Water", the first system in its
# list, then through the fields in form order.
calculate_sample_well()
{
    xdotool key --delay 50 Tab Down
    for value in 3 1000 50 15 1.2 1 0.3 100; do # rwin rein hin din bin vin rhoin permin
        xdotool key Tab
        xdotool type --delay 30 "$value"
    done
    click_client 116 256 # the calculate button, at (600 + 2295/2, 3600 + 495/2) twips
}

# The six correlations' colours: Sobocinski, Muskat, Chaney, Schols, Guo-Lee, Meyer-Garder.
correlation_colours="0000FF FF0000 00FF00 3E0088 E6825C AEAE7C"

# count_colour IMAGE WIDTHxHEIGHT+X+Y HEX [FUZZ]: pixels of that colour in the area, exactly or
# within FUZZ percent.
count_colour()
{
    convert "$1" -crop "$2" +repage -fuzz "${4:-0}%" -fill white +opaque "#$3" -fill black \
        -opaque "#$3" -colorspace gray -format '%[fx:round((1-mean)*w*h)]' info:
}
