#!/usr/bin/env bash
# Printing through a real spooler: a private CUPS scheduler with the cups-pdf printer as its
# default, the real program under X, and a press on the toolbar's "Print" button. A PDF must
# appear whose page shows the window; then a well with 9-digit rates is printed, and the page's
# text must hold the report and the typed values as the window shows them (the headless
# calculator gives the rates to expect).
set -euo pipefail
program=$1
out=$2
calculator=$3
here=$(dirname "$0")
. "$here/e2e_common.sh"
require_tools xdotool convert pdftoppm pdftotext pdfinfo
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
mkdir -p "$work"/{etc/ppd,spool/tmp,cache,state,log,home,run,pdf-file}
chmod 777 "$work/pdf-file"
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
FileDevice Yes
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
# A queue that keeps the page as the PDF it was sent as, written to a file as a PDF-capable
# printer would receive it. (cups-pdf takes PostScript only, and Ghostscript's conversion to
# PostScript drops which character each glyph of the fonts embedded in the PDF stands for: the
# text still prints sharp from cups-pdf, but does not read back.)
sed 's/^\*%\{0,1\} *cupsFilter:.*$/*cupsFilter2: "application\/vnd.cups-pdf application\/pdf 0 -"/' \
    /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd >"$work/pdf-in.ppd"
lpadmin -p coning-pdf-file -E -v "file://$work/pdf-file/page.pdf" -P "$work/pdf-in.ppd"
lpadmin -d coning-pdf
if ! lpstat -d | grep -q coning-pdf; then
    echo "FAIL: coning-pdf did not become the default printer"
    exit 1
fi

# cups-pdf writes into the job owner's PDF folder (or its anonymous folder).
owner_home=$(getent passwd "$(id -un)" | cut -d: -f6)
outboxes=("$owner_home/PDF" /var/spool/cups-pdf/ANONYMOUS)
[ -d "$owner_home/PDF" ] && made_outbox="" || made_outbox="$owner_home/PDF"

# whole_pdf FILE: whether no job is left on the queues and FILE reads as a whole PDF.
whole_pdf()
{
    ! lpstat -o 2>/dev/null | grep -q . && pdfinfo "$1" >/dev/null 2>&1
}

# wait_for_pdf NAME: waits for the PDF of the print just started and moves it to $out/NAME.
wait_for_pdf()
{
    local pdf=""
    for attempt in $(seq 1 120); do
        pdf=$(find "${outboxes[@]}" -maxdepth 1 -name '*.pdf' -newer "$marker" 2>/dev/null | head -n 1 || true)
        if [ -n "$pdf" ]; then
            break
        fi
        sleep 0.5
    done
    # Wait until cups-pdf has finished writing it: the queue empty and the file a whole PDF (on a
    # busy machine a second is not always enough).
    for attempt in $(seq 1 120); do
        if [ -n "$pdf" ] && whole_pdf "$pdf"; then
            break
        fi
        sleep 0.5
    done
    if [ -z "$pdf" ]; then
        echo "FAIL: no PDF appeared in ${outboxes[*]}"
        lpstat -W all -o || true
        exit 1
    fi
    mv "$pdf" "$out/$1"
    touch "$marker"
    sleep 1
}

marker="$work/started"
touch "$marker"
sleep 1

export XDG_RUNTIME_DIR="$work/run"
start_window "$program"
calculate_sample_well
sleep 2
click_client 20 22 # the toolbar's first button, "Print"
wait_for_pdf printed.pdf

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
echo "the toolbar's Print produced $out/printed.pdf showing the window"

# A well with 9-digit rates, permeability 1E9 in place of 100, on the queue that keeps the PDF.
lpadmin -d coning-pdf-file
click_client 116 212 # the permeability field, at (1440 + 615/2, 3000 + 375/2) twips
xdotool key ctrl+a
xdotool type --delay 30 1E9
click_client 116 256
sleep 2
click_client 20 22
for attempt in $(seq 1 120); do
    if [ -s "$work/pdf-file/page.pdf" ] && whole_pdf "$work/pdf-file/page.pdf"; then
        break
    fi
    sleep 0.5
done
sleep 1
if [ ! -s "$work/pdf-file/page.pdf" ]; then
    echo "FAIL: the PDF queue wrote no page"
    lpstat -W all -o || true
    exit 1
fi
cp "$work/pdf-file/page.pdf" "$out/nine_digits.pdf"
pdftotext -layout "$out/nine_digits.pdf" "$out/nine_digits.txt"
pdftoppm -r 300 -png -singlefile "$out/nine_digits.pdf" "$out/nine_digits"
# A PDF reader gives runs of blanks as one.
page_text=$(tr -s ' \n' '  ' <"$out/nine_digits.txt")
expected=$("$calculator" --fluid-system Oil-Water --permeability 1E9 --viscosity 1 --fvf 1.2 \
    --density-difference 0.3 --drainage-radius 1000 --well-radius 3 --zone-thickness 50 \
    --penetration 15 | tr -s ' ' | sed 's/^ //')
rates=$(printf '%s\n' "$expected" | sed -n 's/.* = //p')
if [ "$(printf '%s\n' "$rates" | grep -cE '^[0-9]{9}\.[0-9]$')" -ne 6 ]; then
    echo "FAIL: the headless calculator did not give six 9-digit rates: $rates"
    exit 1
fi
while IFS= read -r item; do
    case " $page_text " in
    *" $item "*) ;;
    *)
        echo "FAIL: \"$item\" is not in the text of $out/nine_digits.pdf"
        exit 1
        ;;
    esac
done <<ITEMS
$(printf '%s\n' "$expected")
1E9
1000
1.2
0.3
50
15
Oil-Water
ITEMS
echo "PASS: the pages hold the window, and the 9-digit report and typed values as text"
