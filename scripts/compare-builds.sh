#!/usr/bin/env bash
# Runs two builds of the headless calculator on the same wells and fails unless their JSON
# output is byte-identical (an unoptimised and an optimised build must agree to the last bit).
set -uo pipefail
first=$1
second=$2

wells=(
    "--fluid-system Oil-Water --permeability 100 --viscosity 1 --fvf 1.2 --density-difference 0.3 --drainage-radius 1000 --well-radius 3 --zone-thickness 50 --penetration 15 --sweep --target-rate 12 --sensitivity 20"
    "--fluid-system Gas-Water --permeability 250 --viscosity 0.02 --fvf 0.9 --density-difference 0.7 --drainage-radius 1500 --well-radius 4 --zone-thickness 80 --penetration 20 --bottom-hole-pressure 2000 --sweep --target-rate 500"
    "--fluid-system Gas-Oil --permeability 75 --viscosity 0.8 --fvf 1.1 --density-difference 0.25 --drainage-radius 800 --well-radius 3.5 --zone-thickness 60 --completion-top 25 --sweep --target-rate 3.5 --sensitivity 12.5"
    "--fluid-system Oil-Water --completion partial-completion --permeability 100 --viscosity 1 --fvf 1.2 --density-difference 0.3 --drainage-radius 1000 --well-radius 3 --zone-thickness 100 --penetration 60 --completion-top 20 --sensitivity 20"
    "--fluid-system Gas-Oil --completion partial-completion --permeability 33.3 --viscosity 0.7 --fvf 1.05 --density-difference 0.11 --drainage-radius 666 --well-radius 2.875 --zone-thickness 37.5 --penetration 21.25 --completion-top 4.75"
    "--fluid-system Oil-Water --permeability 123.4 --viscosity 0.87 --fvf 1.31 --density-difference 0.27 --drainage-radius 745 --well-radius 3.5 --zone-thickness 7.9 --penetration 3.1 --sweep"
    "--fluid-system Oil-Water --permeability 100 --viscosity 1 --fvf 1.2 --density-difference 0.3 --drainage-radius 1000 --well-radius 3 --zone-thickness 2000 --penetration 100 --sweep --target-rate 40000"
)

status=0
for well in "${wells[@]}"; do
    # shellcheck disable=SC2086
    a=$("$first" $well --format json)
    # shellcheck disable=SC2086
    b=$("$second" $well --format json)
    if [ "$a" != "$b" ]; then
        echo "DIFFERENT: $well" >&2
        diff <(echo "$a") <(echo "$b") | head -5 >&2
        status=1
    fi
done
[ "$status" -eq 0 ] && echo "identical output for ${#wells[@]} wells"
exit "$status"
