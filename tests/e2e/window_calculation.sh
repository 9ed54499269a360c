#!/usr/bin/env bash
# The real program under X: type the sample well into the fields, choose "Oil-Water", click the
# calculate button and find the six correlations' colours in a screenshot of the bar chart.
set -euo pipefail
program=$1
out=$2
here=$(dirname "$0")
. "$here/e2e_common.sh"
require_tools xdotool import convert
mkdir -p "$out"
export XDG_RUNTIME_DIR=$(mktemp -d)
trap 'stop_window; rm -rf "$XDG_RUNTIME_DIR"' EXIT

start_window "$program"

calculate_sample_well

shot="$out/window.png"
bar_area="169x105+32+$((client_top + 280))"
chart_area="233x185+408+$((client_top + 208))"
for attempt in $(seq 1 20); do
    sleep 0.5
    import -window "$window" "$shot"
    missing=""
    for colour in $correlation_colours; do
        if [ "$(count_colour "$shot" "$bar_area" "$colour")" -lt 50 ]; then
            missing="$missing $colour"
        fi
    done
    [ -z "$missing" ] && break
done
if [ -n "$missing" ]; then
    echo "FAIL: bar colours missing from $shot:$missing"
    exit 1
fi
# The chart is drawn too: the correlations' series and the red design-point marker.
for colour in $correlation_colours; do
    if [ "$(count_colour "$shot" "$chart_area" "$colour")" -lt 5 ]; then
        echo "FAIL: chart colour $colour missing from $shot"
        exit 1
    fi
done
echo "report, six bars and the chart are on screen ($shot)"

# "E&xit" by its access key closes the window and ends the program.
xdotool key --clearmodifiers alt+x
for attempt in $(seq 1 100); do
    kill -0 "$app_pid" 2>/dev/null || break
    sleep 0.1
done
if kill -0 "$app_pid" 2>/dev/null; then
    echo "FAIL: the program did not end on E&xit"
    exit 1
fi
echo "PASS"
