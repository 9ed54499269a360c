#!/usr/bin/env bash
# Builds the .deb with cpack in BUILD_DIR, checks it with lintian (no errors, no warnings), installs
# it with dpkg -i, runs `coning-calc --version`, imports the Python module and starts the window
# under Xvfb from the installed paths, removes the package and checks that its files are gone.
#
#   package_test.sh BUILD_DIR VERSION
#
# Exit 77 (skipped) when not root or when the package is already installed on this machine.
set -euo pipefail

package=coning-rate
title="Critical Coning Rate Calculation"

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# Runs inside xvfb-run: start the installed window program, wait for its window, close it with
# its E&xit command (Alt+X) and expect a clean exit.
if [ "${1:-}" = "--window" ]; then
    unset QT_QPA_PLATFORM
    /usr/bin/coning-rate &
    pid=$!
    window=""
    for _ in $(seq 1 300); do
        window=$(xdotool search --onlyvisible --name "^${title}\$" 2>/dev/null | head -n 1 || true)
        [ -n "$window" ] && break
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    if [ -z "$window" ]; then
        kill "$pid" 2>/dev/null || true
        fail "no window titled \"$title\" appeared"
    fi
    echo "window \"$title\" is shown ($window)"
    xdotool windowfocus --sync "$window"
    xdotool key --clearmodifiers alt+x
    for _ in $(seq 1 100); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    if kill -0 "$pid" 2>/dev/null; then
        kill "$pid" 2>/dev/null || true
        fail "the window did not close on E&xit (Alt+X)"
    fi
    status=0
    wait "$pid" || status=$?
    [ "$status" -eq 0 ] || fail "coning-rate exited with status $status"
    echo "window closed"
    exit 0
fi

if [ $# -ne 2 ]; then
    echo "usage: $0 BUILD_DIR VERSION" >&2
    exit 2
fi
build=$1
version=$2

if [ "$(id -u)" -ne 0 ]; then
    echo "SKIP: installing the package with dpkg needs root (CI runs this test as root)"
    exit 77
fi
if dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q ' installed$'; then
    echo "SKIP: $package is already installed here; remove it first (dpkg -r $package)"
    exit 77
fi
for tool in cpack dpkg dpkg-deb xvfb-run xdotool lintian; do
    command -v "$tool" >/dev/null || fail "$tool is not installed (scripts/install-deps.sh)"
done
[ -f "$build/CPackConfig.cmake" ] || fail "$build has no CPack configuration"

work=$(mktemp -d)
installed=no
cleanup() {
    if [ "$installed" = yes ]; then
        dpkg -r "$package" >/dev/null 2>&1 || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

echo "== cpack -G DEB"
(cd "$build" && cpack -G DEB -B "$work") >"$work/cpack.log" 2>&1 || {
    cat "$work/cpack.log" >&2
    fail "cpack -G DEB failed"
}
debs=("$work"/"${package}"_*.deb)
[ -f "${debs[0]}" ] || fail "cpack wrote no ${package}_*.deb"
deb=${debs[0]}
echo "built $(basename "$deb")"

echo "== package contents"
[ "$(dpkg-deb -f "$deb" Package)" = "$package" ] || fail "wrong package name"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "version is not $version"
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for dependency in qt6-qpa-plugins fonts-liberation2 fonts-dejavu-core libqt6widgets6 \
    libqt6printsupport6 libc6 python3 python3-numpy; do
    grep -qE "(^|, )$dependency( |,|$)" <<<"$depends" || fail "Depends lacks $dependency"
done
files=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $NF }' | sed 's|^\./|/|')
for file in /usr/bin/coning-rate /usr/bin/coning-calc /usr/share/applications/coning-rate.desktop; do
    grep -qx "$file" <<<"$files" || fail "the package lacks $file"
done
grep -q '^/usr/share/icons/.*/coning-rate\.' <<<"$files" || fail "the package lacks the icon"
for file in /usr/lib/python3/dist-packages/coning/__init__.py \
    /usr/share/man/man1/coning-rate.1.gz /usr/share/man/man1/coning-calc.1.gz \
    /usr/share/doc/coning-rate/copyright /usr/share/doc/coning-rate/changelog.gz; do
    grep -qx "$file" <<<"$files" || fail "the package lacks $file"
done
grep -q '^/usr/lib/python3/dist-packages/coning/_core\..*\.so$' <<<"$files" \
    || fail "the package lacks the compiled Python module"

echo "== lintian"
lintian --fail-on error,warning "$deb" || fail "lintian reports errors or warnings"

echo "== dpkg -i"
installed=yes
if ! dpkg -i "$deb"; then
    echo "dpkg -i left dependencies open; apt-get -f install"
    DEBIAN_FRONTEND=noninteractive apt-get -f install -y -qq
fi
dpkg-query -W -f='${Status}' "$package" | grep -q 'install ok installed' \
    || fail "$package is not installed after dpkg -i"
while read -r file; do
    [ -e "$file" ] || fail "$file is missing after installing"
done <<<"$files"

echo "== coning-calc --version"
output=$(/usr/bin/coning-calc --version) || fail "coning-calc --version failed"
echo "$output"
grep -qF "$version" <<<"$output" || fail "coning-calc --version does not name version $version"

echo "== python3 -c 'import coning'"
output=$(cd / && env -u PYTHONPATH /usr/bin/python3 -c "import coning; print(coning.__version__)") \
    || fail "the installed Python module cannot be imported"
[ "$output" = "$version" ] || fail "coning.__version__ is $output, not $version"
echo "coning $output"

echo "== coning-rate under Xvfb"
xvfb-run -a -s "-screen 0 1280x1024x24" "$(readlink -f "$0")" --window || fail "the window check failed"

echo "== dpkg -r"
dpkg -r "$package"
installed=no
if dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q ' installed$'; then
    fail "$package is still installed after dpkg -r"
fi
while read -r file; do
    [ ! -e "$file" ] || fail "$file is still there after dpkg -r"
done <<<"$files"
[ ! -e /usr/lib/python3/dist-packages/coning ] || fail "the Python package folder is left behind"

echo "PASS: $(basename "$deb") installs, runs and uninstalls cleanly"
