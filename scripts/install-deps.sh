#!/usr/bin/env bash
# Installs the Debian 12 packages needed to build, run and test the program. Only what is
# missing is installed; apt-get runs as root, through sudo otherwise.
set -euo pipefail

packages=(
    # build
    g++ cmake ninja-build pkgconf
    # the window program
    qt6-base-dev qt6-qpa-plugins libgl-dev fonts-dejavu-core fonts-liberation2
    # the headless calculator
    libcli11-dev nlohmann-json3-dev
    # tests and benchmarks
    googletest libgtest-dev libgmock-dev libbenchmark-dev
    # fuzzing
    clang libclang-rt-14-dev
    # real-window and print tests
    xvfb xauth xdotool imagemagick cups printer-driver-cups-pdf poppler-utils
    # the Python module, its tests and the package's manual page and checks
    pybind11-dev python3-pybind11 python3-dev python3-numpy python3-pandas python3-matplotlib
    python3-pytest python3-distributed
    # the test that the report ignores a locale with a decimal comma
    locales
    # packaging
    dpkg-dev file help2man lintian
    # the simulation options and their tests: the simulator flow, and its summary reader in
    # Python for a cross-check
    libopm-simulators-bin python3-opm-common
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

as_root=()
if [ "$(id -u)" -ne 0 ]; then
    as_root=(sudo)
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -qq
"${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
