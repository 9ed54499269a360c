#!/usr/bin/env bash
# Printing through a real spooler: a private CUPS scheduler with the cups-pdf printer as its
# default, the real program under X, and a press on the toolbar's "Print" button. A PDF must
# appear whose page shows the window.
set -euo pipefail
program=$1
out=$2
here=$(dirname "$0")
. "$here/e2e_common.sh"
require_tools xdotool convert pdftoppm
for tool in cupsd lpadmin lpstat; do
    command -v "$tool" >/dev/null 2>&1 || [ -x "/usr/sbin/$tool" ] || { echo "SKIP: $tool is not installed"; exit "$skip"; }
done
PATH=$PATH:/usr/sbin
if [ ! -x /usr/lib/cups/backend/cups-pdf ] || [ ! -f /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd ]; then
    echo "SKIP: printer-driver-cups-pdf is not installed"
    exit "$skip"
fi
if [ "$(id -u)" -ne 0 ]; then
    echo "SKIP: the scheduler must run as root to use the cups-pdf backend"
    exit "$skip"
fi

rm -rf "$out"
mkdir -p "$out"
work=$(mktemp -d /tmp/coning-cups.XXXXXX)
chmod 755 "$work"
cupsd_pid=""
cleanup()
{
    stop_window
    if [ -n "$cupsd_pid" ] && kill -0 "$cupsd_pid" 2>/dev/null; then
        kill "$cupsd_pid"
        wait "$cupsd_pid" 2>/dev/null || true
    fi
    cp "$work"/log/error_log "$out"/cupsd_error_log 2>/dev/null || true
    # Leave no empty PDF folder behind in the user's home if this test made it.
    [ -n "${made_outbox:-}" ] && rmdir "$made_outbox" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# A scheduler of its own: own configuration, spool and socket, so the system's CUPS (if any)
# is neither used nor changed.
mkdir -p "$work"/{etc/ppd,spool/tmp,cache,state,log,home,run}
cat >"$work/etc/cups-files.conf" <<CONF
ServerRoot $work/etc
RequestRoot $work/spool
TempDir $work/spool/tmp
CacheDir $work/cache
StateDir $work/state
AccessLog $work/log/access_log
ErrorLog $work/log/error_log
PageLog $work/log/page_log
ServerBin /usr/lib/cups
DataDir /usr/share/cups
Printcap $work/state/printcap
FileDevice No
CONF
cat >"$work/etc/cupsd.conf" <<CONF
Listen $work/run/cups.sock
Browsing No
WebInterface No
LogLevel info
DefaultAuthType None
DefaultPolicy open
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy open>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
CONF

cupsd -f -c "$work/etc/cupsd.conf" -s "$work/etc/cups-files.conf" &
cupsd_pid=$!
export CUPS_SERVER="$work/run/cups.sock"
# Per-user printer defaults must not override the scheduler's.
export HOME="$work/home"
unset PRINTER LPDEST
for attempt in $(seq 1 50); do
    lpstat -r 2>/dev/null | grep -q 'is running' && break
    sleep 0.2
done
lpadmin -p coning-pdf -E -v cups-pdf:/ -P /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd
lpadmin -d coning-pdf
if ! lpstat -d | grep -q coning-pdf; then
    echo "FAIL: coning-pdf did not become the default printer"
    exit 1
fi

# cups-pdf writes into the job owner's PDF folder (or its anonymous folder).
owner_home=$(getent passwd "$(id -un)" | cut -d: -f6)
outboxes=("$owner_home/PDF" /var/spool/cups-pdf/ANONYMOUS)
[ -d "$owner_home/PDF" ] && made_outbox="" || made_outbox="$owner_home/PDF"
marker="$work/started"
touch "$marker"
sleep 1

export XDG_RUNTIME_DIR="$work/run"
start_window "$program"
calculate_sample_well
sleep 2
click_client 20 22 # the toolbar's first button, "Print"

pdf=""
for attempt in $(seq 1 120); do
    pdf=$(find "${outboxes[@]}" -maxdepth 1 -name '*.pdf' -newer "$marker" 2>/dev/null | head -n 1 || true)
    if [ -n "$pdf" ]; then
        # Wait until cups-pdf has finished writing it.
        sleep 1
        break
    fi
    sleep 0.5
done
if [ -z "$pdf" ]; then
    echo "FAIL: no PDF appeared in ${outboxes[*]}"
    lpstat -W all -o || true
    exit 1
fi
mv "$pdf" "$out/printed.pdf"
pdftoppm -r 72 -png -singlefile "$out/printed.pdf" "$out/page"

# The page shows the window: a large area of its light cyan background, and the bar chart in
# the correlations' colours (the spooler's conversion may shift colours a little).
page="$out/page.png"
whole=$(convert "$page" -format '%wx%h+0+0' info:)
size=$(convert "$page" -format '%[fx:w*h]' info:)
cyan=$(count_colour "$page" "$whole" 80FFFF 6)
echo "page $whole, window background pixels: $cyan of $size"
if [ "$cyan" -lt $((size / 10)) ]; then
    echo "FAIL: the printed page does not show the window ($page)"
    exit 1
fi
for colour in $correlation_colours; do
    if [ "$(count_colour "$page" "$whole" "$colour" 6)" -lt 30 ]; then
        echo "FAIL: bar colour $colour is missing from the printed page ($page)"
        exit 1
    fi
done
echo "PASS: the toolbar's Print produced $out/printed.pdf showing the window"
