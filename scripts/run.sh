#!/usr/bin/env bash
# Installs what is missing, builds the release configuration and starts the window.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release --target coning-rate coning-calc

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display found: showing the headless calculator on the example well instead." >&2
    exec build/release/src/cli/coning-calc --fluid-system Oil-Water --permeability 100 \
        --viscosity 1 --fvf 1.2 --density-difference 0.3 --drainage-radius 1000 \
        --well-radius 3 --zone-thickness 50 --penetration 15
fi
exec build/release/src/app/coning-rate "$@"
