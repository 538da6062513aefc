#!/usr/bin/env bash
# gravitas-sim as a whole process: 1000 bodies x 1000 pushes (100 frames of 10), with the
# scalar pair loop, the vectorised pass on one thread and on every core, in the same run.
# Usage: bench/sim/sim_process.sh [BUILD_DIR] [BODIES] [REPEATS]
set -euo pipefail
HERE="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
BUILD="${1:-$HERE/../../build}"
BODIES="${2:-1000}"
REPEATS="${3:-3}"
SIM="$BUILD/tools/gravitas-sim/gravitas-sim"
SCENARIO="$(mktemp --suffix=.json)"
trap 'rm -f "$SCENARIO"' EXIT
python3 "$HERE/make_cluster_scenario.py" "$BODIES" 10 >"$SCENARIO"

# Best wall time of REPEATS runs, in seconds.
best_of() {
    local best="" t
    for ((r = 0; r < REPEATS; ++r)); do
        t=$( { /usr/bin/env time -f %e env "$@" "$SIM" "$SCENARIO" --frames 100 >/dev/null; } 2>&1 | tail -1)
        if [[ -z "$best" ]] || awk "BEGIN{exit !($t < $best)}"; then best=$t; fi
    done
    echo "$best"
}

echo "load: $(uptime)"
scalar=$(best_of GRAVITAS_PAIR_PASS=scalar)
one=$(best_of GRAVITAS_THREADS=1)
all=$(best_of GRAVITAS_THREADS="$(nproc)")
echo "bodies=$BODIES pushes=1000 best of $REPEATS"
echo "scalar      ${scalar} s"
awk -v s="$scalar" -v t="$one" 'BEGIN{printf "simd 1 core %s s  (%.2fx scalar)\n", t, s / t}'
awk -v s="$scalar" -v t="$all" -v n="$(nproc)" 'BEGIN{printf "simd %d cores %s s  (%.2fx scalar)\n", n, t, s / t}'
